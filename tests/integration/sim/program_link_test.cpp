// The program's own link and telegram functions, loading the simulated camera by bare library
// name from the folder of the executables, as the program does after a fresh build.
#include <cstring>

#include "link/link.h"
#include "link/telegrams.h"
#include "sim_fixture.h"

namespace tarvo::simtest {
namespace {

class ProgramLink : public SimCameraTest {
 protected:
  ~ProgramLink() override { CloseLink(); }
};

TEST_F(ProgramLink, IdentifiesTheCameraOnEveryInterface) {
  Configure([](sim::CameraState& state) { state.settings.extraEntries = 25; });
  for (InterfaceType type : {INTERFACE_USB2, INTERFACE_GIGE, INTERFACE_USB3}) {
    ASSERT_EQ(OpenLink(type), 0u) << type;
    std::uint16_t cameraType = 0;
    std::uint32_t serial = 0;
    ASSERT_EQ(GetCameraType(&cameraType, &serial), 0u);
    EXPECT_EQ(cameraType, 0x1000u);
    EXPECT_EQ(serial, 4711u);
    DeviceVersionEntry table[kVersionTableCapacity];
    std::uint32_t count = 0;
    ASSERT_EQ(GetDeviceVersions(table, &count), 0u);
    EXPECT_EQ(count, kVersionTableCapacity);
    EXPECT_EQ(DeviceIndexFromCameraName(table[7].name), DEVICE_HDSDI_FPGA);
    EXPECT_EQ(CloseLink(), 0u);
  }
}

TEST_F(ProgramLink, ProgramsAndReadsBackADevice) {
  ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
  ASSERT_EQ(SelectDevice(DeviceSelectCode(DEVICE_COLOR_DATA)), 0u);
  ASSERT_EQ(EraseDevice(30), 0u);
  std::uint8_t data[100];
  for (int i = 0; i < 100; ++i) data[i] = static_cast<std::uint8_t>(200 - i);
  ASSERT_EQ(WriteBlock(0x1000, data, 100), 0u);
  std::uint8_t back[256] = {};
  ASSERT_EQ(ReadBlock(0x1000, 100, back), 0u);
  EXPECT_EQ(std::memcmp(back, data, 100), 0);
  EXPECT_EQ(WriteBlock(0x1000, data, 1), sim::CameraError(87));
  ASSERT_EQ(EndDeviceAccess(), 0u);
  RequestReboot();
  CloseLink();
  ASSERT_EQ(OpenLink(INTERFACE_USB3), 0u);
  std::uint16_t cameraType = 0;
  std::uint32_t serial = 0;
  EXPECT_EQ(GetCameraType(&cameraType, &serial), 0u);
}

TEST_F(ProgramLink, OlderCameraFallsBackToTheSingleVersionsForm) {
  Configure([](sim::CameraState& state) {
    state.settings.pagedVersions = 0;
    state.settings.extraEntries = 5;
  });
  ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
  DeviceVersionEntry table[kVersionTableCapacity];
  std::uint32_t count = 0;
  ASSERT_EQ(GetDeviceVersions(table, &count), 0u);
  EXPECT_EQ(count, 10u);
}

}  // namespace
}  // namespace tarvo::simtest
