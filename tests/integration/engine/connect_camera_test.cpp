// Connect and identify against the simulated camera: which cameras are accepted, how reported
// device names land on device rows, and what a failed connect leaves in place.
#include <gmock/gmock.h>

#include <algorithm>

#include "engine_fixture.h"
#include "link/link.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class ConnectCamera : public EngineFixture {
 protected:
  std::vector<std::string> DeviceLines(const std::vector<std::string>& lines) {
    std::vector<std::string> devices;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(devices),
                 [](const std::string& line) { return line.rfind("- Device ", 0) == 0; });
    return devices;
  }
};

TEST_F(ConnectCamera, ReadsSerialNumberAndEveryDeviceVersion) {
  Start();
  NewLogLines();
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  EXPECT_EQ(window_.StatusText(), "Connected to orva.tarvo SN 4711");
  EXPECT_EQ(Dlg().Camera().serialNumber, 4711);
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_EQ(lines.front(), "Connected to orva.tarvo SN 4711");
  // The camera reports "HDSDI FPGA" and "Colordata"; both land on their rows.
  EXPECT_THAT(DeviceLines(lines), ElementsAre("- Device Boot uP          version: 001 V01.00",
                                              "- Device Boot FPGA        version: 001 V01.00",
                                              "- Device Main FPGA        version: 001 V01.00",
                                              "- Device Mem FPGA 1       version: 001 V01.00",
                                              "- Device Mem FPGA 2       version: 001 V01.00",
                                              "- Device Main uP          version: 001 V01.00",
                                              "- Device Power uP         version: 001 V01.00",
                                              "- Device HDSDI FPGA       version: 001 V01.00",
                                              "- Device Color Data       version: 001 V01.00"));
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_EQ(window_.Row(device).cameraText, "001 V01.00") << device;
    EXPECT_EQ(Dlg().Camera().current[device], (DeviceVersion{1, 1, 0})) << device;
  }
  // The link is never held between operations.
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

TEST_F(ConnectCamera, RefusesAnotherModelAfterClosingTheLinkAndKeepsEarlierVersions) {
  Start();
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  const ConnectedCamera before = Dlg().Camera();
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 1, 2, 0));
  ChangeCamera([](sim::CameraState& state) { state.faults.wrongCameraType = 0x1001; });
  window_.ClearRecords();
  NewLogLines();

  EXPECT_EQ(Dlg().ConnectCamera(), 0);
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
  EXPECT_EQ(window_.MessageBoxes()[0].text, "Camera found is not a orva.tarvo!");
  EXPECT_EQ(window_.MessageBoxes()[0].title, "Operation Status:");
  EXPECT_EQ(window_.MessageBoxes()[0].icon, MessageIcon::kError);
  EXPECT_THAT(NewLogLines(), ElementsAre("ERROR: Camera found is not a orva.tarvo!"));
  EXPECT_EQ(CurrentLinkState().library, nullptr);
  EXPECT_EQ(Dlg().Camera().current, before.current);
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).cameraText, "001 V01.00");
}

// The second camera type is accepted; entries of other boards are skipped silently.
TEST_F(ConnectCamera, AcceptsTheSecondCameraTypeAndSkipsOtherBoards) {
  ChangeCamera([](sim::CameraState& state) {
    state.settings.cameraType = 0x1010;
    state.settings.extraEntries = 5;
  });
  Start();
  NewLogLines();
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  EXPECT_TRUE(window_.MessageBoxes().empty());
  EXPECT_EQ(DeviceLines(NewLogLines()).size(), 9u);
}

TEST_F(ConnectCamera, CameraWithoutEntriesConnectsWithEveryDeviceNotAvailable) {
  ResetCamera(/*withFirmware=*/false);
  Start();
  NewLogLines();
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  EXPECT_THAT(NewLogLines(), ElementsAre("Connected to orva.tarvo SN 4711"));
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_EQ(window_.Row(device).cameraText, "not avail") << device;
    EXPECT_FALSE(Dlg().Camera().current[device].IsAvailable()) << device;
  }
}

TEST_F(ConnectCamera, VersionTextWidensForLargeVariants) {
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 1234, 4, 11));
  FactoryWrite(RecognisedImage(DEVICE_MAIN_UP, 1, 4, 11));
  Start();
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).cameraText, "1234 V04.11");
  EXPECT_EQ(window_.Row(DEVICE_MAIN_UP).cameraText, "001 V04.11");
}

TEST_F(ConnectCamera, FailureLeavesTheLastSuccessInPlace) {
  Start(/*emergency=*/true);
  Dlg().OnConnect();
  ASSERT_TRUE(Dlg().Camera().connected);
  const ConnectedCamera before = Dlg().Camera();
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  NewLogLines();

  Dlg().OnConnect();
  EXPECT_EQ(window_.StatusText(), "ERROR: Connecting to camera failed!");
  EXPECT_THAT(NewLogLines(),
              ElementsAre("ERROR: Connecting to camera failed!", "  - function return 80312001."));
  EXPECT_TRUE(Dlg().Camera().connected);
  EXPECT_EQ(Dlg().Camera().serialNumber, before.serialNumber);
  EXPECT_EQ(Dlg().Camera().current, before.current);
  EXPECT_EQ(window_.Row(DEVICE_BOOT_UP).cameraText, "001 V01.00");
  EXPECT_TRUE(window_.Control(CommandControl::kBackup).enabled);
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

// The interface is taken from the radio buttons at the moment of the connect.
TEST_F(ConnectCamera, UsesTheInterfaceSelectedAtThatMoment) {
  Start();
  window_.SelectInterface(CommandControl::kGige);
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  NewLogLines();
  EXPECT_EQ(Dlg().ConnectCamera(), 0);
  // The GigE library reports a missing camera with its own driver as the source.
  EXPECT_THAT(NewLogLines(),
              ElementsAre("ERROR: Connecting to camera failed!", "  - function return 80322001."));
}

}  // namespace
}  // namespace tarvo::test
