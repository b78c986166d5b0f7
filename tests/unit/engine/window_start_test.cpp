// The window start in the three modes, the log lines it leaves, and the packet it finds beside
// the program (and keeps when a damaged one is loaded later).
#include <gmock/gmock.h>

#include "platform/folders.h"
#include "platform/local_time.h"
#include "window_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

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
  EXPECT_THAT(LogLines(), ElementsAre("==============================",
                                      testing::StartsWith("Programmer started "),
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

// A log read later must show that its pauses were not the real ones. The log is held by the
// first instance; a second one runs without it but still knows where the log and the backups
// belong.
TEST_F(WindowStart, ScaledClockIsNotedInTheLogWhichASecondInstanceRunsWithout) {
  platform::ScaledClock fast(0.5), real(1.0);
  Create(&fast);
  EXPECT_EQ(LogLines().back(), "Time scale 0.5: waits are scaled for simulation.");
  FakeWindow otherWindow;
  CProgrammerDlg second(otherWindow, real, programFolder_);
  EXPECT_FALSE(second.Log().IsOpen());
  EXPECT_EQ(second.LogFolder(), temp_.File("data/orva"));
  second.StartWindow();
  EXPECT_EQ(otherWindow.StatusText(), "No camera connected.");
  dlg_.reset();
  Create(&real);
  EXPECT_TRUE(LogLines().back().starts_with("Programmer started ")) << LogLines().back();
}

// Only an unambiguous packet is taken: with none or several files beside the program nothing
// is loaded; a lone file that does not load is counted and reported. A damaged packet loaded
// later keeps the good one, its versions and its image: the runs go on using it. (That Load
// File holds the controls is pinned with Connect's command state.)
TEST_F(WindowStart, StartupLoadsTheOnePacketBesideTheProgramAndADamagedOneKeepsIt) {
  const auto ProgramFile = [&](const char* name) {
    return platform::JoinPath(programFolder_, name);
  };
  Create();
  EXPECT_EQ(dlg_->LoadStartupPacket(), 0);
  WriteFileText(ProgramFile("broken.tvf"), "not a packet");
  EXPECT_EQ(dlg_->LoadStartupPacket(), 1);
  EXPECT_FALSE(dlg_->PacketLoaded());
  EXPECT_EQ(window_.MessageBoxes().size(), 1u);
  WritePacket(ProgramFile("b.TVF"), {{DEVICE_MAIN_FPGA, 4, 12}});
  EXPECT_EQ(dlg_->LoadStartupPacket(), 0);
  EXPECT_FALSE(dlg_->PacketLoaded());

  std::remove(ProgramFile("broken.tvf").c_str());
  std::remove(ProgramFile("b.TVF").c_str());
  const std::string path =
      WritePacket(ProgramFile("update.tvf"), {{DEVICE_MAIN_FPGA, 4, 11}, {DEVICE_BOOT_UP, 4, 12}});
  dlg_.reset();
  Start();
  EXPECT_TRUE(dlg_->PacketLoaded());
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).packetText, "001 V04.11");
  EXPECT_THAT(LogLines(), Contains("Loaded packetfile " + path + "."));
  EXPECT_THAT(LogLines(), Contains("- Device Main FPGA        version: 001 V04.11"));
  // No camera: nothing to program or verify yet.
  EXPECT_FALSE(window_.Control(CommandControl::kProgram).enabled ||
               window_.Control(CommandControl::kVerify).enabled);

  std::vector<std::uint8_t> damaged = ReadFileBytes(path);
  damaged[damaged.size() / 2] ^= 0x01;
  WriteFileBytes(temp_.File("damaged.tvf"), damaged);
  EXPECT_EQ(dlg_->LoadPacketFile(temp_.File("damaged.tvf")), 0);
  EXPECT_EQ(window_.MessageBoxes().back().text, "Firmware packet file integrity check failed.");
  EXPECT_EQ(window_.MessageBoxes().back().icon, MessageIcon::kError);
  EXPECT_EQ(LogLines().back(), "ERROR: Firmware packet file integrity check failed.");
  EXPECT_EQ(window_.Row(DEVICE_BOOT_UP).packetText, "001 V04.12");
  EXPECT_EQ(dlg_->LoadedVersions()[DEVICE_BOOT_UP], (DeviceVersion{1, 4, 12}));
  std::uint32_t start = 0, end = 0, size = 0;
  EXPECT_TRUE(dlg_->Packet().GetImage(DEVICE_BOOT_UP, dlg_->ImageBuffer(), &start, &end, &size));
  EXPECT_EQ(size, 64u);
}

}  // namespace
}  // namespace tarvo::test
