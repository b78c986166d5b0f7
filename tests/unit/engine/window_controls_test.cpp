// The window operations the engine drives: holding controls disabled around an action, the
// progress bars' states, the interface selection and the paced waits.
#include <gmock/gmock.h>

#include "window_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class WindowControls : public WindowFixture {
 protected:
  void SetUp() override { Start(); }
};

TEST_F(WindowControls, DisablingRemembersWhatWasEnabledAndRestoresExactlyThat) {
  window_.EnableDevice(DEVICE_MAIN_UP, true);
  dlg_->EnableControls(false);
  for (CommandControl control : kAllCommandControls) {
    EXPECT_FALSE(window_.Control(control).enabled) << CommandControlName(control);
  }
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_UP).enabled);
  EXPECT_EQ(window_.Calls().back(), "PumpMessages");

  dlg_->EnableControls(true);
  EXPECT_TRUE(window_.Control(CommandControl::kConnect).enabled);
  EXPECT_TRUE(window_.Control(CommandControl::kSkipBackup).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kProgram).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kBackup).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_UP).enabled);
  EXPECT_FALSE(window_.Row(DEVICE_BOOT_UP).enabled);
}

// A nested disable must not overwrite the memory with the all-disabled state.
TEST_F(WindowControls, RepeatedFlagChangesNothing) {
  dlg_->EnableControls(false);
  window_.ClearRecords();
  dlg_->EnableControls(false);
  EXPECT_TRUE(window_.Calls().empty());
  dlg_->EnableControls(true);
  EXPECT_TRUE(window_.Control(CommandControl::kConnect).enabled);
  window_.ClearRecords();
  dlg_->EnableControls(true);
  EXPECT_TRUE(window_.Calls().empty());
}

// What an action enables while the controls are held shows once they come back.
TEST_F(WindowControls, EnablingWhileHeldTakesEffectOnRestore) {
  dlg_->EnableControls(false);
  dlg_->EnableCommand(CommandControl::kProgram, true);
  dlg_->EnableDeviceBox(DEVICE_POWER_UP, true);
  EXPECT_FALSE(window_.Control(CommandControl::kProgram).enabled);
  EXPECT_FALSE(window_.Row(DEVICE_POWER_UP).enabled);
  dlg_->EnableControls(true);
  EXPECT_TRUE(window_.Control(CommandControl::kProgram).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_POWER_UP).enabled);
}

TEST_F(WindowControls, ProgressStatesShowTheirColoursAndPositions) {
  const ProgressColour lightGrey{248, 248, 248};
  window_.SetDeviceProgressPosition(DEVICE_BOOT_FPGA, 37);
  dlg_->SetDeviceProgress(DEVICE_BOOT_FPGA, PROGRESS_QUEUED);
  EXPECT_TRUE(window_.Row(DEVICE_BOOT_FPGA).progressVisible);
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressBar, (ProgressColour{160, 160, 160}));
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressBackground, (ProgressColour{160, 160, 160}));
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressPosition, 37);
  EXPECT_EQ(window_.Calls().back(), "PumpMessages");

  dlg_->SetDeviceProgress(DEVICE_BOOT_FPGA, PROGRESS_RUNNING);
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressBar, (ProgressColour{0, 0, 255}));
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressBackground, lightGrey);
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressPosition, 0);

  dlg_->SetDeviceProgress(DEVICE_BOOT_FPGA, PROGRESS_DONE);
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressBar, (ProgressColour{0, 255, 0}));
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressPosition, 100);

  dlg_->SetDeviceProgress(DEVICE_BOOT_FPGA, PROGRESS_FAILED);
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressBar, (ProgressColour{255, 0, 0}));
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressBackground, lightGrey);
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressPosition, 100);

  dlg_->SetDeviceProgress(DEVICE_BOOT_FPGA, 3);  // no state of its own: looks queued
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressBar, (ProgressColour{160, 160, 160}));
  EXPECT_EQ(window_.Row(DEVICE_BOOT_FPGA).progressPosition, 100);
}

TEST_F(WindowControls, InterfaceIsReadFromTheRadioButtons) {
  EXPECT_EQ(dlg_->SelectedInterface(), INTERFACE_USB2);
  window_.SelectInterface(CommandControl::kUsb3);
  EXPECT_EQ(dlg_->SelectedInterface(), INTERFACE_USB3);
  window_.SelectInterface(CommandControl::kGige);
  EXPECT_EQ(dlg_->SelectedInterface(), INTERFACE_GIGE);
  window_.SetControlChecked(CommandControl::kGige, false);
  EXPECT_EQ(dlg_->SelectedInterface(), INTERFACE_USB2);
}

TEST_F(WindowControls, CountsCheckedDevices) {
  EXPECT_EQ(dlg_->CountCheckedDevices(), 0);
  window_.ClickDevice(DEVICE_BOOT_UP, true);
  window_.ClickDevice(DEVICE_COLOR_DATA, true);
  EXPECT_EQ(dlg_->CountCheckedDevices(), 2);
}

TEST_F(WindowControls, WaitsInSlicesAndKeepsTheWindowAlive) {
  window_.ClearRecords();
  dlg_->Wait(250);
  EXPECT_THAT(clock_.Sleeps(), ElementsAre(100, 100, 50));
  EXPECT_EQ(window_.PumpCount(), 3);
  clock_.Reset();
  dlg_->Wait(0);
  EXPECT_TRUE(clock_.Sleeps().empty());
}

TEST_F(WindowControls, ResultBoxesCarryTheTitleAndIconAndFailuresAreLoggedAsErrors) {
  dlg_->ShowResult(true, "Updating firmware\nin camera SN %d\n%s", 12, "successful.");
  dlg_->ShowResult(false, "Updating firmware\nin camera SN %d\n%s", 12, "FAILED!");
  ASSERT_EQ(window_.MessageBoxes().size(), 2u);
  EXPECT_EQ(window_.MessageBoxes()[0].text, "Updating firmware\nin camera SN 12\nsuccessful.");
  EXPECT_EQ(window_.MessageBoxes()[0].title, "Operation Status:");
  EXPECT_EQ(window_.MessageBoxes()[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(window_.MessageBoxes()[1].text, "Updating firmware\nin camera SN 12\nFAILED!");
  EXPECT_EQ(window_.MessageBoxes()[1].icon, MessageIcon::kError);
  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(lines[lines.size() - 2], "Updating firmware in camera SN 12 successful.");
  EXPECT_EQ(lines.back(), "ERROR: Updating firmware in camera SN 12 FAILED!");
}

TEST_F(WindowControls, StatusLineIsShownLoggedAndPainted) {
  window_.ClearRecords();
  dlg_->ShowStatus("Waiting %d seconds ...", 5);
  EXPECT_THAT(window_.Calls(), ElementsAre("SetStatusText: Waiting 5 seconds ...", "PumpMessages"));
  EXPECT_EQ(LogLines().back(), "Waiting 5 seconds ...");
}

}  // namespace
}  // namespace tarvo::test
