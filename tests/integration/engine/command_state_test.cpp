// The window's command state through Connect and Load File in either order, and the controls
// held while Connect runs.
#include <gmock/gmock.h>

#include "engine_fixture.h"

namespace tarvo::test {
namespace {

class CommandState : public EngineFixture {
 protected:
  void LoadPacket() {
    window_.ScriptOpenFile(
        WritePacket(PacketPath("p.tvf"), {RecognisedImage(DEVICE_MAIN_FPGA, 1, 1, 5)}));
    Dlg().OnLoadFile();
    ASSERT_TRUE(Dlg().PacketLoaded());
  }
  bool Enabled(CommandControl control) const { return window_.Control(control).enabled; }
  void ExpectIdleControlsEnabled() const {
    for (CommandControl control :
         {CommandControl::kConnect, CommandControl::kLoadFile, CommandControl::kSupport,
          CommandControl::kQuit, CommandControl::kUsb2, CommandControl::kUsb3,
          CommandControl::kGige, CommandControl::kSkipBackup}) {
      EXPECT_TRUE(Enabled(control)) << CommandControlName(control);
    }
  }
};

TEST_F(CommandState, ConnectFirstThenLoadEnablesProgramAndVerifyWithTheLoad) {
  Start();
  Dlg().OnConnect();
  EXPECT_TRUE(Enabled(CommandControl::kBackup));
  EXPECT_FALSE(Enabled(CommandControl::kProgram));
  EXPECT_FALSE(Enabled(CommandControl::kVerify));
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_FALSE(window_.Row(device).enabled) << device;  // no packet versions yet
  }
  LoadPacket();
  EXPECT_TRUE(Enabled(CommandControl::kProgram));
  EXPECT_TRUE(Enabled(CommandControl::kVerify));
  ExpectIdleControlsEnabled();
}

// The policy's boxes survive the controls coming back after Connect.
TEST_F(CommandState, LoadFirstThenConnectEnablesEverythingAndPreselectsNewerDevices) {
  Start();
  LoadPacket();
  EXPECT_FALSE(Enabled(CommandControl::kProgram));
  EXPECT_FALSE(Enabled(CommandControl::kBackup));
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).enabled);
  Dlg().OnConnect();
  EXPECT_TRUE(Enabled(CommandControl::kProgram));
  EXPECT_TRUE(Enabled(CommandControl::kVerify));
  EXPECT_TRUE(Enabled(CommandControl::kBackup));
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_FPGA).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_FPGA).checked);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_UP).enabled);
  ExpectIdleControlsEnabled();
}

TEST_F(CommandState, FailedConnectWithoutEarlierSuccessLeavesRunsDisabled) {
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  Start();
  LoadPacket();
  Dlg().OnConnect();
  EXPECT_FALSE(Dlg().Camera().connected);
  EXPECT_FALSE(Enabled(CommandControl::kProgram));
  EXPECT_FALSE(Enabled(CommandControl::kVerify));
  EXPECT_FALSE(Enabled(CommandControl::kBackup));
  ExpectIdleControlsEnabled();
}

// A click dispatched by Connect's status lines finds every control disabled.
TEST_F(CommandState, ConnectHoldsEveryControlWhileItDispatchesEvents) {
  Start();
  LoadPacket();
  int pumps = 0;
  bool sawEnabledControl = false;
  window_.OnPump([&] {
    ++pumps;
    for (CommandControl control : kAllCommandControls) {
      sawEnabledControl |= window_.IsControlEnabled(control);
    }
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      sawEnabledControl |= window_.IsDeviceEnabled(device);
    }
  });
  Dlg().OnConnect();
  EXPECT_GT(pumps, 0);
  EXPECT_FALSE(sawEnabledControl);
  EXPECT_TRUE(Enabled(CommandControl::kConnect));
}

}  // namespace
}  // namespace tarvo::test
