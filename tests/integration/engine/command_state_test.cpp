// The window's command state through Connect and Load File in either order, the controls held
// while they run, and the device boxes and notes of the version policy.
#include <gmock/gmock.h>

#include "engine_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class CommandState : public EngineFixture {
 protected:
  void LoadPacket() {
    window_.ScriptOpenFile(
        WritePacket(temp_.File("p.tvf"), {RecognisedImage(DEVICE_MAIN_FPGA, 1, 1, 5)}));
    Dlg().OnLoadFile();
    ASSERT_TRUE(Dlg().PacketLoaded());
  }
  bool Enabled(CommandControl control) const { return window_.Control(control).enabled; }
  void ExpectIdleControlsEnabled() const {
    for (CommandControl control :
         {CommandControl::kConnect, CommandControl::kLoadFile, CommandControl::kSupport,
          CommandControl::kQuit, CommandControl::kUsb2, CommandControl::kUsb3,
          CommandControl::kGige, CommandControl::kSkipBackup}) {
      EXPECT_TRUE(Enabled(control)) << static_cast<int>(control);
    }
  }
};

TEST_F(CommandState, ConnectFirstThenLoadEnablesProgramAndVerifyWithTheLoad) {
  Start();
  Dlg().OnConnect();
  EXPECT_TRUE(Enabled(CommandControl::kBackup));
  EXPECT_FALSE(Enabled(CommandControl::kProgram));
  EXPECT_FALSE(Enabled(CommandControl::kVerify));
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).enabled);  // no packet versions yet
  LoadPacket();
  EXPECT_TRUE(Enabled(CommandControl::kProgram));
  EXPECT_TRUE(Enabled(CommandControl::kVerify));
  ExpectIdleControlsEnabled();
}

// A click dispatched while Load File or Connect runs finds every control disabled. A failed
// connect without an earlier success leaves the runs disabled; the policy's boxes survive the
// controls coming back.
TEST_F(CommandState, LoadFirstThenConnectEnablesEverythingAndPreselectsNewerDevices) {
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
  LoadPacket();
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  Dlg().OnConnect();
  EXPECT_FALSE(Enabled(CommandControl::kProgram));
  EXPECT_FALSE(Enabled(CommandControl::kVerify));
  EXPECT_FALSE(Enabled(CommandControl::kBackup));
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).enabled);
  ExpectIdleControlsEnabled();

  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 0; });
  Dlg().OnConnect();
  EXPECT_GT(window_.PumpCount(), 0);
  EXPECT_FALSE(sawEnabledControl);
  EXPECT_TRUE(Enabled(CommandControl::kProgram));
  EXPECT_TRUE(Enabled(CommandControl::kVerify));
  EXPECT_TRUE(Enabled(CommandControl::kBackup));
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_FPGA).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_FPGA).checked);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_UP).enabled);
  ExpectIdleControlsEnabled();
}

// A packet of another variant and one below Boot uP's floor, each on its own device: both are
// refused, the variant box comes before the older-version box, both as errors, and the floor is
// logged. An older Main uP stays offered, unchecked.
TEST_F(CommandState, RefusedDevicesAreShownAndLoggedWithTheirNotes) {
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 2, 1, 0));
  FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 4, 10));
  EngineFixture::LoadPacket({RecognisedImage(DEVICE_MAIN_FPGA, 1, 3, 0),
                             RecognisedImage(DEVICE_BOOT_UP, 1, 4, 9),
                             RecognisedImage(DEVICE_MAIN_UP, 1, 0, 9)});
  Dlg().OnConnect();
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).enabled);
  EXPECT_FALSE(window_.Row(DEVICE_BOOT_UP).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_UP).enabled);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_UP).checked);
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_THAT(lines, Contains("Prohibit loading Boot uP with version earlier than 4.11 (camera "
                              "may get stuck)."));
  EXPECT_THAT(lines, Contains("ERROR: Note that some or all versions to be loaded are older than "
                              "the current firmware versions in the camera!"));
  EXPECT_THAT(BoxTexts(),
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
