// Connect against the simulated camera: what a failed connect leaves in place, the window's
// command state through Connect and Load File in either order, and the version policy's boxes
// and notes.
#include <gmock/gmock.h>

#include "engine_fixture.h"
#include "link/link.h"

namespace tarvo::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class ConnectCamera : public EngineFixture {
 protected:
  void LoadFile() {
    window_.ScriptOpenFile(
        WritePacket(temp_.File("p.tvf"), {RecognisedImage(DEVICE_MAIN_FPGA, 1, 1, 5)}));
    Dlg().OnLoadFile();
    ASSERT_TRUE(Dlg().PacketLoaded());
  }
  // The runs need a camera and a packet; the rest is enabled whenever no action runs.
  void ExpectRunsEnabled(bool program, bool backup) const {
    for (CommandControl control : kAllCommandControls) {
      bool enabled = control != CommandControl::kPacket;
      if (control == CommandControl::kProgram || control == CommandControl::kVerify) {
        enabled = program;
      } else if (control == CommandControl::kBackup) {
        enabled = backup;
      }
      EXPECT_EQ(window_.Control(control).enabled, enabled) << static_cast<int>(control);
    }
  }
};

// Without a camera, over GigE (whose library reports a missing camera with its own driver as
// the source: the interface is read at the moment of the connect) and with another model, the
// connect fails and the runs stay disabled. A good connect enables the backup, a packet loaded
// then the runs, with the newer device preselected. A failed connect later leaves that success
// in place. A click dispatched meanwhile finds every control disabled; the link is closed.
TEST_F(ConnectCamera, CommandStateFollowsConnectAndLoad) {
  Start();
  bool sawEnabledControl = false;
  window_.OnPump([&] {
    for (CommandControl control : kAllCommandControls) {
      sawEnabledControl |= window_.IsControlEnabled(control);
    }
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      sawEnabledControl |= window_.IsDeviceEnabled(device);
    }
  });
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  NewLogLines();
  Dlg().OnConnect();
  EXPECT_EQ(window_.StatusText(), "ERROR: Connecting to camera failed!");
  EXPECT_THAT(NewLogLines(),
              ElementsAre("ERROR: Connecting to camera failed!", "  - function return 80312001."));
  window_.SelectInterface(CommandControl::kGige);
  Dlg().OnConnect();
  EXPECT_THAT(NewLogLines(),
              ElementsAre("ERROR: Connecting to camera failed!", "  - function return 80322001."));
  ChangeCamera([](sim::CameraState& state) {
    state.faults.noCamera = 0;
    state.faults.wrongCameraType = 0x1001;
  });
  Dlg().OnConnect();
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
  EXPECT_EQ(window_.MessageBoxes()[0].text, "Camera found is not a orva.tarvo!");
  EXPECT_EQ(window_.MessageBoxes()[0].title, "Operation Status:");
  EXPECT_EQ(window_.MessageBoxes()[0].icon, MessageIcon::kError);
  EXPECT_THAT(NewLogLines(), ElementsAre("ERROR: Camera found is not a orva.tarvo!"));
  ExpectRunsEnabled(false, false);

  ChangeCamera([](sim::CameraState& state) { state.faults.wrongCameraType = 0; });
  Dlg().OnConnect();
  ExpectRunsEnabled(false, true);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).enabled);  // no packet versions yet
  LoadFile();
  ExpectRunsEnabled(true, true);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_FPGA).enabled && window_.Row(DEVICE_MAIN_FPGA).checked);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_UP).enabled);

  const ConnectedCamera before = Dlg().Camera();
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 1, 2, 0));
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  Dlg().OnConnect();
  EXPECT_EQ(Dlg().Camera().serialNumber, before.serialNumber);
  EXPECT_EQ(Dlg().Camera().current, before.current);
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).cameraText, "001 V01.00");
  ExpectRunsEnabled(true, true);
  EXPECT_GT(window_.PumpCount(), 0);
  EXPECT_FALSE(sawEnabledControl);
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

// A packet of another variant and one below Boot uP's floor, each on its own device: both are
// refused, the variant box comes before the older-version box, both as errors, and the floor is
// logged. An older Main uP stays offered, unchecked.
TEST_F(ConnectCamera, RefusedDevicesAreShownAndLoggedWithTheirNotes) {
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 2, 1, 0));
  FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 4, 10));
  LoadPacket({RecognisedImage(DEVICE_MAIN_FPGA, 1, 3, 0), RecognisedImage(DEVICE_BOOT_UP, 1, 4, 9),
              RecognisedImage(DEVICE_MAIN_UP, 1, 0, 9)});
  Dlg().OnConnect();
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).enabled || window_.Row(DEVICE_BOOT_UP).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_UP).enabled && !window_.Row(DEVICE_MAIN_UP).checked);
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_THAT(lines, Contains("Prohibit loading Boot uP with version earlier than 4.11 (camera "
                              "may get stuck)."));
  EXPECT_THAT(lines, Contains("ERROR: Note that some or all versions to be loaded are older than "
                              "the current firmware versions in the camera!"));
  EXPECT_THAT(window_.BoxTexts(),
              ElementsAre("Variants of update file and camera\nfirmware are different. File "
                          "seems\nnot to be for that camera type!",
                          "Note that some or all versions to\nbe loaded are older than the "
                          "current\nfirmware versions in the camera!"));
  for (const ShownMessageBox& box : window_.MessageBoxes()) {
    EXPECT_EQ(box.icon, MessageIcon::kError);
  }
}

}  // namespace
}  // namespace tarvo::test
