// Holding the window's controls disabled around an action: what comes back afterwards.
#include "window_fixture.h"

namespace tarvo::test {
namespace {

class WindowControls : public WindowFixture {};

// The memory keeps what was enabled before; a nested disable must not overwrite it with the
// all-disabled state; what an action enables while the controls are held shows once they come
// back.
TEST_F(WindowControls, DisablingRemembersWhatWasEnabledAndRestoresExactlyThat) {
  Start();
  window_.EnableDevice(DEVICE_MAIN_UP, true);
  dlg_->EnableControls(false);
  dlg_->EnableControls(false);
  for (CommandControl control : kAllCommandControls) {
    EXPECT_FALSE(window_.Control(control).enabled) << static_cast<int>(control);
  }
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_UP).enabled);
  dlg_->EnableCommand(CommandControl::kVerify, true);
  dlg_->EnableDeviceBox(DEVICE_POWER_UP, true);
  EXPECT_FALSE(window_.Control(CommandControl::kVerify).enabled);

  dlg_->EnableControls(true);
  EXPECT_TRUE(window_.Control(CommandControl::kConnect).enabled);
  EXPECT_TRUE(window_.Control(CommandControl::kSkipBackup).enabled);
  EXPECT_TRUE(window_.Control(CommandControl::kVerify).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kProgram).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kBackup).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_UP).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_POWER_UP).enabled);
  EXPECT_FALSE(window_.Row(DEVICE_BOOT_UP).enabled);
}

}  // namespace
}  // namespace tarvo::test
