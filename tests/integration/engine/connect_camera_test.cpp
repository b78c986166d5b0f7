// Connect and identify against the simulated camera: which cameras are accepted, how reported
// versions land on device rows, and what a failed connect leaves in place.
#include <gmock/gmock.h>

#include <algorithm>

#include "engine_fixture.h"
#include "link/link.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class ConnectCamera : public EngineFixture {};

// The second camera type is accepted and entries of other boards are skipped silently; the
// version text widens for large variants; a camera without entries has every device
// "not avail".
TEST_F(ConnectCamera, ShowsWhatTheCameraReports) {
  ChangeCamera([](sim::CameraState& state) {
    state.settings.cameraType = 0x1010;
    state.settings.extraEntries = 5;
  });
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 1234, 4, 11));
  Start();
  NewLogLines();
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  EXPECT_TRUE(window_.MessageBoxes().empty());
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.starts_with("- Device "); }),
            9);
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).cameraText, "1234 V04.11");
  EXPECT_EQ(window_.Row(DEVICE_MAIN_UP).cameraText, "001 V01.00");

  ResetCamera(/*withFirmware=*/false);
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  EXPECT_THAT(NewLogLines(), ElementsAre("Connected to orva.tarvo SN 4711"));
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_EQ(window_.Row(device).cameraText, "not avail") << device;
    EXPECT_FALSE(Dlg().Camera().current[device].IsAvailable()) << device;
  }
}

// A failed connect leaves the last success in place, and closes the link. The interface is
// taken from the radio buttons at the moment of the connect: the GigE library reports a missing
// camera with its own driver as the source. Another model is refused with a box.
TEST_F(ConnectCamera, FailureLeavesTheLastSuccessInPlace) {
  Start(/*emergency=*/true);
  Dlg().OnConnect();
  ASSERT_TRUE(Dlg().Camera().connected);
  const ConnectedCamera before = Dlg().Camera();
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 1, 2, 0));
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  NewLogLines();
  Dlg().OnConnect();
  EXPECT_EQ(window_.StatusText(), "ERROR: Connecting to camera failed!");
  EXPECT_THAT(NewLogLines(),
              ElementsAre("ERROR: Connecting to camera failed!", "  - function return 80312001."));
  window_.SelectInterface(CommandControl::kGige);
  EXPECT_EQ(Dlg().ConnectCamera(), 0);
  EXPECT_THAT(NewLogLines(),
              ElementsAre("ERROR: Connecting to camera failed!", "  - function return 80322001."));

  ChangeCamera([](sim::CameraState& state) {
    state.faults.noCamera = 0;
    state.faults.wrongCameraType = 0x1001;
  });
  EXPECT_EQ(Dlg().ConnectCamera(), 0);
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
  EXPECT_EQ(window_.MessageBoxes()[0].text, "Camera found is not a orva.tarvo!");
  EXPECT_EQ(window_.MessageBoxes()[0].title, "Operation Status:");
  EXPECT_EQ(window_.MessageBoxes()[0].icon, MessageIcon::kError);
  EXPECT_THAT(NewLogLines(), ElementsAre("ERROR: Camera found is not a orva.tarvo!"));

  EXPECT_TRUE(Dlg().Camera().connected);
  EXPECT_EQ(Dlg().Camera().serialNumber, before.serialNumber);
  EXPECT_EQ(Dlg().Camera().current, before.current);
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).cameraText, "001 V01.00");
  EXPECT_TRUE(window_.Control(CommandControl::kBackup).enabled);
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

}  // namespace
}  // namespace tarvo::test
