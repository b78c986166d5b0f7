// Connect against the simulated camera: what a failed connect leaves in place, the window's
// command state through Connect and Load File, and the version policy's boxes and notes.
#include <gmock/gmock.h>

#include "engine_fixture.h"
#include "link/link.h"
#include "log/format_text.h"

namespace tarvo::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class ConnectCamera : public EngineFixture {
 protected:
  // Main FPGA newer than the camera's; Mem FPGA 1 of variant 1 where the camera holds variant 2;
  // Boot uP 4.09, below its floor; Main uP older than the camera's.
  void LoadFile() {
    window_.ScriptOpenFile(WritePacket(
        temp_.File("p.tvf"),
        {RecognisedImage(DEVICE_MAIN_FPGA, 1, 1, 5), RecognisedImage(DEVICE_MEM_FPGA_1, 1, 3, 0),
         RecognisedImage(DEVICE_BOOT_UP, 1, 4, 9), RecognisedImage(DEVICE_MAIN_UP, 1, 0, 9)}));
    Dlg().OnLoadFile();
    ASSERT_TRUE(Dlg().PacketLoaded());
  }
  // The runs need a camera and a packet, the backup a camera.
  void ExpectRunsEnabled(bool program, bool backup) const {
    EXPECT_EQ(window_.Control(CommandControl::kProgram).enabled, program);
    EXPECT_EQ(window_.Control(CommandControl::kVerify).enabled, program);
    EXPECT_EQ(window_.Control(CommandControl::kBackup).enabled, backup);
    EXPECT_TRUE(window_.Control(CommandControl::kConnect).enabled);
  }
};

// Without a camera, over GigE (whose library reports a missing camera with its own driver as
// the source: the interface is read at the moment of the connect) and with another model, the
// connect fails and the runs stay disabled. A good connect enables the backup, a packet loaded
// then the runs, with the newer device preselected and the refused ones disabled. A failed
// connect later leaves that success in place. A click dispatched meanwhile finds every control
// disabled; the link is closed.
TEST_F(ConnectCamera, CommandStateFollowsConnectAndLoad) {
  Start();
  bool sawEnabledControl = false;
  window_.OnPump([&] {
    for (CommandControl control : kAllCommandControls)
      sawEnabledControl |= window_.IsControlEnabled(control);
    for (DeviceIndex device = 0; device < kDeviceCount; ++device)
      sawEnabledControl |= window_.IsDeviceEnabled(device);
  });
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  NewLogLines();
  for (const char* code : {"80312001", "80322001"}) {
    Dlg().OnConnect();
    EXPECT_THAT(NewLogLines(), ElementsAre("ERROR: Connecting to camera failed!",
                                           FormatText("  - function return %s.", code)));
    window_.SelectInterface(CommandControl::kGige);
  }
  ChangeCamera([](sim::CameraState& state) {
    state.faults.noCamera = 0;
    state.faults.wrongCameraType = 0x1001;
  });
  Dlg().OnConnect();
  EXPECT_EQ(window_.MessageBoxes().at(0).icon, MessageIcon::kError);  // its text: below
  EXPECT_THAT(NewLogLines(), ElementsAre("ERROR: Camera found is not a orva.tarvo!"));
  ExpectRunsEnabled(false, false);

  ChangeCamera([](sim::CameraState& state) { state.faults.wrongCameraType = 0; });
  FactoryWrite(RecognisedImage(DEVICE_MEM_FPGA_1, 2, 1, 0));
  FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 4, 10));
  Dlg().OnConnect();
  ExpectRunsEnabled(false, true);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).enabled);  // no packet versions yet
  NewLogLines();
  LoadFile();
  ExpectRunsEnabled(true, true);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_FPGA).enabled && window_.Row(DEVICE_MAIN_FPGA).checked);
  EXPECT_FALSE(window_.Row(DEVICE_MEM_FPGA_1).enabled || window_.Row(DEVICE_BOOT_UP).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_UP).enabled && !window_.Row(DEVICE_MAIN_UP).checked);
  // The variant box before the older-version box, both as errors; the floor is logged.
  EXPECT_THAT(window_.BoxTexts(),
              ElementsAre("Camera found is not a orva.tarvo!",
                          "Variants of update file and camera\nfirmware are different. File "
                          "seems\nnot to be for that camera type!",
                          "Note that some or all versions to\nbe loaded are older than the "
                          "current\nfirmware versions in the camera!"));
  EXPECT_EQ(window_.MessageBoxes().at(2).icon, MessageIcon::kError);
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_THAT(lines, Contains("Prohibit loading Boot uP with version earlier than 4.11 (camera "
                              "may get stuck)."));
  EXPECT_THAT(lines, Contains("ERROR: Note that some or all versions to be loaded are older than "
                              "the current firmware versions in the camera!"));

  const ConnectedCamera before = Dlg().Camera();
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 1, 2, 0));
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  Dlg().OnConnect();
  EXPECT_TRUE(Dlg().Camera().serialNumber == before.serialNumber &&
              Dlg().Camera().current == before.current);
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).cameraText, "001 V01.00");
  ExpectRunsEnabled(true, true);
  EXPECT_TRUE(window_.PumpCount() > 0 && !sawEnabledControl);
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

}  // namespace
}  // namespace tarvo::test
