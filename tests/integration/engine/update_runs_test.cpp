// The Program and Verify runs against the simulated camera: the backup before an update, the
// steps of the programming order, the pauses, the final reboot and version check, and the
// result box that ends each run.
#include <gmock/gmock.h>

#include "engine/program_order.h"
#include "link/telegram_layout.h"
#include "run_fixture.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kUpdateOk = "Updating firmware\nin camera SN 4711\nsuccessful.";
constexpr const char* kUpdateFailed = "Updating firmware\nin camera SN 4711\nFAILED!";
constexpr const char* kVerifyOk = "Verifying firmware\nin camera SN 4711\nsuccessful.";
constexpr const char* kVerifyFailed = "Verifying firmware\nin camera SN 4711\nFAILED!";

class UpdateRuns : public RunFixture {
 protected:
  std::vector<std::string> Erased() const { return StatusLinesStartingWith("Erase device "); }
  std::vector<std::string> Verified() const { return StatusLinesStartingWith("Verify device "); }
  std::string LastBoxText() const {
    return window_.MessageBoxes().empty() ? "" : window_.MessageBoxes().back().text;
  }
  int Reboots() const {
    return static_cast<int>(StatusLinesStartingWith("Rebooting camera.").size());
  }
  bool LogHas(const std::vector<std::string>& lines, const std::string& text) const {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }
  // The camera already holds the packet images of these devices.
  void CameraHolds(const std::vector<PacketImage>& images) {
    for (const PacketImage& image : images) FactoryWrite(image);
  }
};

TEST_F(UpdateRuns, NothingCheckedMeansNothingHappens) {
  ConnectWithOrder({RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12)}, {DEVICE_MAIN_FPGA});
  CheckOnly({});
  Dlg().OnProgram();
  Dlg().OnVerify();
  EXPECT_TRUE(NewLogLines().empty());
  EXPECT_TRUE(window_.Calls().empty());
}

TEST_F(UpdateRuns, ProgramWithBackupUpdatesTheCameraAndSaysSo) {
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_MAIN_UP, 1, 4, 12)};
  ConnectWithOrder(images, {DEVICE_MAIN_UP, DEVICE_MAIN_FPGA});
  window_.SetControlChecked(CommandControl::kSkipBackup, false);
  Dlg().OnProgram();
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_EQ(lines.front(), "Creating backup of camera firmware.");
  EXPECT_TRUE(LogHas(lines, "Programming firmware started."));
  EXPECT_TRUE(LogHas(lines, "Version check after update successful."));
  EXPECT_EQ(lines.back(), "Updating firmware in camera SN 4711 successful.");
  EXPECT_FALSE(Dlg().LastBackupFile().empty());
  EXPECT_THAT(Erased(), ElementsAre("Erase device Main uP ...", "Erase device Main FPGA ..."));
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
  EXPECT_EQ(LastBoxText(), kUpdateOk);
  EXPECT_EQ(window_.MessageBoxes()[0].icon, MessageIcon::kInformation);
  for (const PacketImage& image : images) EXPECT_TRUE(FlashHolds(image));
  EXPECT_EQ(Dlg().Camera().current[DEVICE_MAIN_FPGA], (DeviceVersion{1, 4, 12}));
  EXPECT_TRUE(Dlg().ControlsEnabled());
  // The controls were held disabled while the run went on.
  EXPECT_FALSE(window_.CallsStartingWith("EnableControl Program: 0").empty());
}

TEST_F(UpdateRuns, SkipBackupAndEmergencyModeTakeNoBackup) {
  ConnectWithOrder({RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12)}, {DEVICE_MAIN_FPGA});
  Dlg().OnProgram();
  EXPECT_FALSE(LogHas(NewLogLines(), "Creating backup of camera firmware."));
  EXPECT_EQ(LastBoxText(), kUpdateOk);

  Dlg().SetEmergencyMode(true);
  window_.SetControlChecked(CommandControl::kSkipBackup, false);
  CheckOnly({DEVICE_MAIN_FPGA});
  Dlg().OnProgram();
  EXPECT_FALSE(LogHas(NewLogLines(), "Creating backup of camera firmware."));
  EXPECT_TRUE(Dlg().LastBackupFile().empty());
}

TEST_F(UpdateRuns, FailedBackupAsksAndNoLeavesTheCameraAlone) {
  const PacketImage image = RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12);
  ConnectWithOrder({image}, {DEVICE_MAIN_FPGA});
  window_.SetControlChecked(CommandControl::kSkipBackup, false);
  ChangeCamera([](sim::CameraState& state) { state.faults.notBackAfterReboot = 1; });
  window_.ScriptYesNo(false);
  Dlg().OnProgram();
  EXPECT_THAT(window_.Questions(),
              ElementsAre("Creating backup file failed!\nDo you still want to proceed\n"
                          "updating the camera?"));
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_EQ(lines.back(), "Backup failed -> user cancels programming.");
  EXPECT_FALSE(LogHas(lines, "Programming firmware started."));
  EXPECT_TRUE(window_.MessageBoxes().empty());
  EXPECT_FALSE(FlashHolds(image));
  EXPECT_TRUE(Dlg().ControlsEnabled());
}

TEST_F(UpdateRuns, FailedBackupAndYesGoesOn) {
  const PacketImage image = RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12);
  ConnectWithOrder({image}, {DEVICE_MAIN_FPGA});
  window_.SetControlChecked(CommandControl::kSkipBackup, false);
  FailTelegram(DeviceSelectCode(DEVICE_BOOT_FPGA), 1, sim::CameraError(sim::kFwDeviceNotAvailable));
  window_.ScriptYesNo(true);
  Dlg().OnProgram();
  EXPECT_EQ(window_.Questions().size(), 1u);
  EXPECT_TRUE(FlashHolds(image));
  EXPECT_EQ(LastBoxText(), kUpdateOk);
}

// 0x2005 waits 5 s, 0x6000 is a wait of 0 s, 0x4001 ends the list: Mem FPGA 1 behind it is
// never programmed, and the final reboot and version check still run.
TEST_F(UpdateRuns, WaitStepsAndAStepThatEndsTheList) {
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_MEM_FPGA_1, 1, 4, 12)};
  ConnectWithOrder(images, {DEVICE_MAIN_FPGA, 0x2005, 0x6000, 0x4001, DEVICE_MEM_FPGA_1});
  ASSERT_TRUE(window_.IsDeviceChecked(DEVICE_MEM_FPGA_1));
  Dlg().OnProgram();
  EXPECT_THAT(Erased(), ElementsAre("Erase device Main FPGA ..."));
  EXPECT_THAT(StatusLinesStartingWith("Waiting "),
              testing::IsSupersetOf({"Waiting 5 seconds ...", "Waiting 0 seconds ..."}));
  EXPECT_EQ(Reboots(), 1);
  // Erase pause, Main FPGA's pause, the two waits, the final reboot.
  EXPECT_EQ(clock_.TotalMilliseconds(), 2000u + 1000 + 5000 + 0 + 32000);
  EXPECT_EQ(LastBoxText(), kUpdateFailed);
  EXPECT_EQ(window_.MessageBoxes().front().text,
            "Firmware versions of updated\ndevices do not match the\nversions to be programmed");
}

TEST_F(UpdateRuns, OrderEndingAtOnceStillRebootsAndChecks) {
  ConnectWithOrder({RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12)}, {ORDER_END, DEVICE_MAIN_FPGA});
  Dlg().OnProgram();
  EXPECT_TRUE(Erased().empty());
  EXPECT_EQ(Reboots(), 1);
  EXPECT_FALSE(StatusLinesStartingWith("Connected to orva.tarvo SN 4711").empty());
  EXPECT_EQ(LastBoxText(), kUpdateFailed);
}

TEST_F(UpdateRuns, RebootStepsRebootAndDevicesRepeatWithTheirPause) {
  ConnectWithOrder({RecognisedImage(DEVICE_COLOR_DATA, 1, 4, 12)},
                   {DEVICE_COLOR_DATA, ORDER_REBOOT, DEVICE_COLOR_DATA});
  Dlg().OnProgram();
  EXPECT_THAT(Erased(), ElementsAre("Erase device Color Data ...", "Erase device Color Data ..."));
  EXPECT_EQ(Reboots(), 2);
  EXPECT_EQ(clock_.TotalMilliseconds(), 2u * (2000 + 4000) + 2u * 32000);
  EXPECT_EQ(LastBoxText(), kUpdateOk);
}

TEST_F(UpdateRuns, UncheckedDevicesArePassedOverWithoutPause) {
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_POWER_UP, 1, 4, 12),
                                           RecognisedImage(DEVICE_MAIN_UP, 1, 4, 12)};
  ConnectWithOrder(images, {DEVICE_POWER_UP, DEVICE_MAIN_UP});
  CheckOnly({DEVICE_MAIN_UP});
  Dlg().OnProgram();
  EXPECT_THAT(Erased(), ElementsAre("Erase device Main uP ..."));
  EXPECT_EQ(clock_.TotalMilliseconds(), 2000u + 1000 + 32000);
  EXPECT_FALSE(window_.Row(DEVICE_POWER_UP).progressVisible);
  EXPECT_EQ(LastBoxText(), kUpdateOk);
}

TEST_F(UpdateRuns, PowerUpTakesItsLongPause) {
  ConnectWithOrder({RecognisedImage(DEVICE_POWER_UP, 1, 4, 12)}, {DEVICE_POWER_UP});
  Dlg().OnProgram();
  EXPECT_EQ(clock_.TotalMilliseconds(), 2000u + 40000 + 32000);
  EXPECT_EQ(LastBoxText(), kUpdateOk);
}

// Packets from older backups carry 64 zero codes: each checked device of the packet is
// programmed once, in the order of its entries, and Boot uP is not programmed 64 times.
TEST_F(UpdateRuns, ZeroOrderProgramsEachEntryOnce) {
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_BOOT_UP, 1, 4, 12),
                                           RecognisedImage(DEVICE_BOOT_FPGA, 1, 4, 12)};
  ConnectWithPacket(images);
  ProgramOrder stored;
  ASSERT_TRUE(Dlg().Packet().GetOrder(&stored));
  ASSERT_TRUE(IsZeroOrder(stored));
  Dlg().OnProgram();
  EXPECT_THAT(Erased(), ElementsAre("Erase device Main FPGA ...", "Erase device Boot uP ...",
                                    "Erase device Boot FPGA ..."));
  EXPECT_EQ(Dlg().Order()[3], ORDER_END);
  EXPECT_EQ(LastBoxText(), kUpdateOk);
}

TEST_F(UpdateRuns, AFailedDeviceFailsTheRunButTheOrderGoesOn) {
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_MAIN_UP, 1, 4, 12)};
  ConnectWithOrder(images, {DEVICE_MAIN_FPGA, DEVICE_MAIN_UP});
  FailTelegram(telegram::kWriteBlock, 5, sim::CameraError(sim::kFwProgrammingFailed));
  Dlg().OnProgram();
  EXPECT_TRUE(FlashHolds(images[1]));
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, (ProgressColour{255, 0, 0}));
  EXPECT_EQ(LastBoxText(), kUpdateFailed);
  EXPECT_EQ(window_.MessageBoxes().back().icon, MessageIcon::kError);
}

// Without the versions read after the update nothing can be judged.
TEST_F(UpdateRuns, VersionsNotReadAfterTheUpdateFailTheRun) {
  const PacketImage image = RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12);
  CameraHolds({image});
  ConnectWithOrder({image}, {DEVICE_MAIN_FPGA});
  CheckOnly({DEVICE_MAIN_FPGA});
  // The final reconnect's type query passes; the one of ConnectCamera fails.
  FailTelegram(telegram::kGetCameraType, 2, sim::CameraError(sim::kFwUnknownCommand));
  Dlg().OnProgram();
  EXPECT_TRUE(FlashHolds(image));
  EXPECT_EQ(LastBoxText(), kUpdateFailed);
}

TEST_F(UpdateRuns, VerifyPassesOverDevicesOfOtherVersionsAndNeverPowerUp) {
  std::vector<PacketImage> images = NineDevicePacket();
  CameraHolds(images);
  // Main uP carries another version than the packet's.
  FactoryWrite(RecognisedImage(DEVICE_MAIN_UP, 1, 4, 11));
  ConnectWithOrder(images, {});
  CheckOnly({0, 1, 2, 3, 4, 5, 6, 7, 8});
  Dlg().OnVerify();
  EXPECT_EQ(NewLogLines().front(), "Verifying firmware started.");
  EXPECT_THAT(StatusLinesStartingWith("Verify device "),
              testing::Contains("Verify device HDSDI FPGA ..."));
  std::vector<std::string> started;
  for (const std::string& line : Verified()) {
    if (line.size() > 4 && line.substr(line.size() - 4) == " ...") started.push_back(line);
  }
  EXPECT_THAT(started, ElementsAre("Verify device HDSDI FPGA ...", "Verify device Color Data ...",
                                   "Verify device Boot uP ...", "Verify device Boot FPGA ...",
                                   "Verify device Main FPGA ...", "Verify device Mem FPGA 1 ...",
                                   "Verify device Mem FPGA 2 ..."));
  EXPECT_FALSE(window_.IsDeviceChecked(DEVICE_MAIN_UP));
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_UP).progressVisible);
  // Power uP stays queued: grey on grey.
  EXPECT_TRUE(window_.IsDeviceChecked(DEVICE_POWER_UP));
  EXPECT_EQ(window_.Row(DEVICE_POWER_UP).progressBar, (ProgressColour{160, 160, 160}));
  EXPECT_EQ(LastBoxText(), kVerifyOk);
  // Pauses: the 4 s select pause and the pause after each device, then the reboot.
  EXPECT_EQ(clock_.TotalMilliseconds(),
            4000u * 7 + 4000 + 4000 + 2000 + 2000 + 1000 + 1000 + 1000 + 32000);
}

TEST_F(UpdateRuns, VerifyWithEveryDeviceUncheckedOnlyReboots) {
  CameraHolds({});
  ConnectWithOrder({RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12)}, {});
  CheckOnly({DEVICE_MAIN_FPGA});
  Dlg().OnVerify();
  EXPECT_FALSE(window_.IsDeviceChecked(DEVICE_MAIN_FPGA));
  EXPECT_TRUE(Verified().empty());
  EXPECT_EQ(Reboots(), 1);
  EXPECT_EQ(LastBoxText(), kVerifyOk);
}

TEST_F(UpdateRuns, VerifyFailsWhenOnlyTheFinalReconnectFails) {
  const PacketImage image = RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12);
  CameraHolds({image});
  ConnectWithOrder({image}, {});
  CheckOnly({DEVICE_MAIN_FPGA});
  ChangeCamera([](sim::CameraState& state) { state.faults.notBackAfterReboot = 1; });
  Dlg().OnVerify();
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, (ProgressColour{0, 255, 0}));
  EXPECT_EQ(LastBoxText(), kVerifyFailed);
}

// A bit that turns over silently on its way into the flash passes programming, but not Verify.
TEST_F(UpdateRuns, ABitFlippedWhileWritingMakesVerifyFail) {
  const PacketImage image = RecognisedImage(DEVICE_MEM_FPGA_2, 1, 4, 12);
  ConnectWithOrder({image}, {DEVICE_MEM_FPGA_2});
  ChangeCamera([](sim::CameraState& state) {
    state.faults.flipWrite.active = 1;
    state.faults.flipWrite.bit = 3;
    state.faults.flipWrite.nth = 5000;
  });
  Dlg().OnProgram();
  EXPECT_FALSE(FlashHolds(image));
  CheckOnly({DEVICE_MEM_FPGA_2});
  window_.ClearRecords();
  Dlg().OnVerify();
  EXPECT_EQ(LastBoxText(), kVerifyFailed);
  EXPECT_EQ(window_.Row(DEVICE_MEM_FPGA_2).progressBar, (ProgressColour{255, 0, 0}));
}

}  // namespace
}  // namespace tarvo::test
