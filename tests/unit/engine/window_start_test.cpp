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
  EXPECT_FALSE(window_.Control(CommandControl::kPacket).visible);
  EXPECT_FALSE(window_.Control(CommandControl::kBackup).visible);
  EXPECT_TRUE(window_.Control(CommandControl::kSkipBackup).checked);
  EXPECT_TRUE(window_.Control(CommandControl::kUsb2).checked);
  EXPECT_FALSE(window_.Control(CommandControl::kUsb3).checked);
  for (CommandControl control :
       {CommandControl::kConnect, CommandControl::kLoadFile, CommandControl::kSupport,
        CommandControl::kQuit, CommandControl::kUsb2, CommandControl::kSkipBackup}) {
    EXPECT_TRUE(window_.Control(control).enabled) << CommandControlName(control);
  }
  for (CommandControl control :
       {CommandControl::kBackup, CommandControl::kProgram, CommandControl::kVerify}) {
    EXPECT_FALSE(window_.Control(control).enabled) << CommandControlName(control);
  }
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_FALSE(window_.Row(device).enabled);
    EXPECT_FALSE(window_.Row(device).progressVisible);
    EXPECT_EQ(window_.Row(device).cameraText, "");
    EXPECT_EQ(window_.Row(device).packetText, "");
  }
  // Banner, mode lines, then the title.
  EXPECT_THAT(LogLines(),
              ElementsAre("==============================",
                          FullyMatches("Programmer started [0-9]{4}\\.[0-9]{2}\\.[0-9]{2}\\."),
                          "Emergency Mode off.", "Packet Generation Mode off.", title));
}

TEST_F(WindowStart, PacketGenerationModeOffersPacketFromTheStart) {
  Start(/*emergency=*/false, /*packetGeneration=*/true);
  EXPECT_TRUE(window_.Control(CommandControl::kPacket).visible);
  EXPECT_TRUE(window_.Control(CommandControl::kPacket).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kBackup).visible);
  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(lines[2], "Emergency Mode off.");
  EXPECT_EQ(lines[3], "!!! Packet Generation Mode Enabled !!!");
}

// Programming in emergency mode makes no backup, so "Skip Backup" is checked and stays disabled,
// also after an action held the controls.
TEST_F(WindowStart, EmergencyModeShowsBackupDisabledUntilConnectedAndSkipBackupFixed) {
  Start(/*emergency=*/true);
  EXPECT_TRUE(window_.Control(CommandControl::kBackup).visible);
  EXPECT_FALSE(window_.Control(CommandControl::kBackup).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kPacket).visible);
  dlg_->EnableControls(false);
  dlg_->EnableControls(true);
  EXPECT_TRUE(window_.Control(CommandControl::kSkipBackup).checked);
  EXPECT_FALSE(window_.Control(CommandControl::kSkipBackup).enabled);
  EXPECT_TRUE(window_.Control(CommandControl::kConnect).enabled);
  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(lines[2], "!!! Emergency Mode Enabled !!!");
  EXPECT_EQ(lines[3], "Packet Generation Mode off.");
}

// A log read later must show that its pauses were not the real ones.
TEST_F(WindowStart, ScaledClockIsNotedOnceInTheLog) {
  platform::ScaledClock fast(0.5);
  Create(&fast);
  EXPECT_EQ(LogLines().back(), "Time scale 0.5: waits are scaled for simulation.");
}

TEST_F(WindowStart, UnscaledClockLeavesNoNote) {
  platform::ScaledClock real(1.0);
  Create(&real);
  EXPECT_EQ(LogLines().size(), 2u);
}

TEST_F(WindowStart, LogOfTheRunIsSealedWhenTheWindowObjectGoes) {
  Start();
  const std::string path = dlg_->Log().Path();
  dlg_.reset();
  const std::vector<std::string> lines = LogLineTexts(path);
  EXPECT_EQ(lines.back(), "==================");
  EXPECT_EQ(lines[lines.size() - 2], "Programmer closed.");
}

// The log is held by the first instance; a second one runs without it but still knows where
// the log and the backups belong.
TEST_F(WindowStart, SecondInstanceRunsWithoutLog) {
  Start();
  FakeWindow otherWindow;
  CProgrammerDlg second(otherWindow, clock_, programFolder_);
  EXPECT_FALSE(second.Log().IsOpen());
  EXPECT_EQ(second.LogFolder(), dlg_->LogFolder());
  EXPECT_EQ(second.LogFolder(), temp_.File("data/orva"));
  second.StartWindow();
  second.ShowStatus("Verify device %s ...", "Main uP");
  EXPECT_EQ(otherWindow.StatusText(), "Verify device Main uP ...");
}

}  // namespace
}  // namespace tarvo::test
