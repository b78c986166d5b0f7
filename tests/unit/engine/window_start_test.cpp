// The window start in the three modes, and the log lines it leaves.
#include <gmock/gmock.h>

#include <regex>

#include "platform/local_time.h"
#include "window_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

// std::regex: GoogleTest's own regular expressions on Windows know no [] or {}.
MATCHER_P(FullyMatches, pattern, "") {
  return std::regex_match(arg, std::regex(pattern));
}

class WindowStart : public WindowFixture {};

TEST_F(WindowStart, NormalModeStartsWithNoCameraAndNoPacket) {
  Start();
  const std::string title = std::string("Firmware programmer for orva.tarvo Rev 25, built ") +
                            platform::BuildDateText() + " " + platform::BuildTimeText();
  EXPECT_EQ(window_.Title(), title);
  EXPECT_EQ(window_.StatusText(), "No camera connected.");
  EXPECT_FALSE(window_.Control(CommandControl::kPacket).visible ||
               window_.Control(CommandControl::kBackup).visible);
  EXPECT_TRUE(window_.Control(CommandControl::kSkipBackup).checked &&
              window_.Control(CommandControl::kUsb2).checked);
  for (CommandControl control : kAllCommandControls) {
    const bool needsCameraOrMode =
        control == CommandControl::kBackup || control == CommandControl::kProgram ||
        control == CommandControl::kVerify || control == CommandControl::kPacket;
    EXPECT_EQ(window_.Control(control).enabled, !needsCameraOrMode) << static_cast<int>(control);
  }
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_FALSE(window_.Row(device).enabled || window_.Row(device).progressVisible);
  }
  // Banner, mode lines, then the title.
  EXPECT_THAT(LogLines(),
              ElementsAre("==============================",
                          FullyMatches("Programmer started [0-9]{4}\\.[0-9]{2}\\.[0-9]{2}\\."),
                          "Emergency Mode off.", "Packet Generation Mode off.", title));
}

// Programming in emergency mode makes no backup, so "Skip Backup" is checked and stays disabled,
// also after an action held the controls. Holding the controls (twice: a nested hold must not
// overwrite the memory) gives back exactly what was enabled before, and what an action enabled
// meanwhile. Packet generation mode offers "Packet" from the start.
TEST_F(WindowStart, ModesShowTheirControlsAndLogLines) {
  Start(/*emergency=*/true);
  EXPECT_TRUE(window_.Control(CommandControl::kBackup).visible &&
              !window_.Control(CommandControl::kPacket).visible);
  window_.EnableDevice(DEVICE_MAIN_UP, true);
  dlg_->EnableControls(false);
  dlg_->EnableControls(false);
  EXPECT_FALSE(window_.Control(CommandControl::kConnect).enabled ||
               window_.Row(DEVICE_MAIN_UP).enabled);
  dlg_->EnableCommand(CommandControl::kVerify, true);
  dlg_->EnableDeviceBox(DEVICE_POWER_UP, true);
  EXPECT_FALSE(window_.Control(CommandControl::kVerify).enabled);
  dlg_->EnableControls(true);
  EXPECT_TRUE(window_.Control(CommandControl::kConnect).enabled &&
              window_.Control(CommandControl::kVerify).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kProgram).enabled ||
               window_.Control(CommandControl::kBackup).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_UP).enabled && window_.Row(DEVICE_POWER_UP).enabled);
  EXPECT_FALSE(window_.Row(DEVICE_BOOT_UP).enabled);
  EXPECT_TRUE(window_.Control(CommandControl::kSkipBackup).checked &&
              !window_.Control(CommandControl::kSkipBackup).enabled);
  EXPECT_EQ(LogLines()[2], "!!! Emergency Mode Enabled !!!");
  dlg_.reset();
  Start(/*emergency=*/false, /*packetGeneration=*/true);
  EXPECT_TRUE(window_.Control(CommandControl::kPacket).visible &&
              window_.Control(CommandControl::kPacket).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kBackup).visible);
  EXPECT_THAT(LogLines(), testing::Contains("!!! Packet Generation Mode Enabled !!!"));
}

// A log read later must show that its pauses were not the real ones.
TEST_F(WindowStart, ScaledClockIsNotedInTheLog) {
  platform::ScaledClock fast(0.5);
  Create(&fast);
  EXPECT_EQ(LogLines().back(), "Time scale 0.5: waits are scaled for simulation.");
  dlg_.reset();
  platform::ScaledClock real(1.0);
  Create(&real);
  EXPECT_TRUE(LogLines().back().starts_with("Programmer started ")) << LogLines().back();
}

// The log is held by the first instance; a second one runs without it but still knows where
// the log and the backups belong.
TEST_F(WindowStart, SecondInstanceRunsWithoutLog) {
  Start();
  FakeWindow otherWindow;
  CProgrammerDlg second(otherWindow, clock_, programFolder_);
  EXPECT_FALSE(second.Log().IsOpen());
  EXPECT_EQ(second.LogFolder(), temp_.File("data/orva"));
  second.StartWindow();
  second.ShowStatus("Verify device %s ...", "Main uP");
  EXPECT_EQ(otherWindow.StatusText(), "Verify device Main uP ...");
}

}  // namespace
}  // namespace tarvo::test
