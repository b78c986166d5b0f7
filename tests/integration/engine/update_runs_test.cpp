// The Program and Verify runs against the simulated camera: the backup before an update, the
// steps of the programming order, the pauses, the final reboot and version check, and the
// result box that ends each run.
#include <gmock/gmock.h>

#include <optional>

#include "engine/program_order.h"
#include "history/history_file.h"
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
// An order that ends at once.
const std::vector<std::uint16_t> kNoSteps;

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
  ConnectWithPacket({RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12)}, {DEVICE_MAIN_FPGA});
  CheckOnly({});
  Dlg().OnProgram();
  Dlg().OnVerify();
  EXPECT_TRUE(NewLogLines().empty());
  EXPECT_TRUE(window_.Calls().empty());
}

TEST_F(UpdateRuns, ProgramWithBackupUpdatesTheCameraAndSaysSo) {
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_MAIN_UP, 1, 4, 12)};
  ConnectWithPacket(images, {DEVICE_MAIN_UP, DEVICE_MAIN_FPGA});
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

// Full-size firmware of all nine devices, with the backup, in a packet order with a reboot.
TEST_F(UpdateRuns, NineDeviceUpdateWithBackupBringsTheCameraToThePacket) {
  const std::vector<PacketImage> images = NineDevicePacket();
  ConnectWithPacket(images, {7, 8, 0, 1, ORDER_REBOOT, 2, 3, 4, 5, 6});
  EXPECT_EQ(Dlg().CountCheckedDevices(), 9);
  window_.SetControlChecked(CommandControl::kSkipBackup, false);
  Dlg().OnProgram();
  EXPECT_EQ(LastBoxText(), kUpdateOk);
  for (const PacketImage& image : images) EXPECT_TRUE(FlashHolds(image)) << image.device;
  CFirmwarePacket backup;
  ASSERT_TRUE(backup.LoadPacket(Dlg().LastBackupFile()));
  EXPECT_EQ(backup.LoadedEntries().size(), 7u);
  EXPECT_EQ(Reboots(), 3);
}

TEST_F(UpdateRuns, SkipBackupAndEmergencyModeTakeNoBackup) {
  ConnectWithPacket({RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12)}, {DEVICE_MAIN_FPGA});
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

// No leaves the camera alone; Yes goes on with the update.
TEST_F(UpdateRuns, FailedBackupAsksWhetherToGoOn) {
  const PacketImage image = RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12);
  ConnectWithPacket({image}, {DEVICE_MAIN_FPGA});
  window_.SetControlChecked(CommandControl::kSkipBackup, false);
  FailTelegram(DeviceSelectCode(DEVICE_BOOT_FPGA), 1, sim::CameraError(sim::kFwDeviceNotAvailable));
  window_.ScriptYesNo(false);
  Dlg().OnProgram();
  EXPECT_THAT(window_.Questions(),
              ElementsAre("Creating backup file failed!\nDo you still want to proceed\n"
                          "updating the camera?"));
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_TRUE(LogHas(lines, "Backup failed -> user cancels programming."));
  EXPECT_EQ(lines.back(),
            "Update FAILED: backup incomplete, not stored: Boot FPGA (code 80031051); nothing "
            "was programmed.");
  EXPECT_FALSE(LogHas(lines, "Programming firmware started."));
  EXPECT_TRUE(window_.MessageBoxes().empty());
  EXPECT_FALSE(FlashHolds(image));
  EXPECT_TRUE(Dlg().ControlsEnabled());
  EXPECT_FALSE(Dlg().LastRun().succeeded);
  EXPECT_EQ(Dlg().LastRun().devices[DEVICE_MAIN_FPGA].outcome, DeviceOutcome::kSkipped);

  FailTelegram(DeviceSelectCode(DEVICE_BOOT_FPGA), 1, sim::CameraError(sim::kFwDeviceNotAvailable));
  window_.ScriptYesNo(true);
  Dlg().OnProgram();
  EXPECT_EQ(window_.Questions().size(), 2u);
  EXPECT_TRUE(FlashHolds(image));
  EXPECT_EQ(LastBoxText(), kUpdateOk);
  EXPECT_TRUE(Dlg().LastRun().backup.continuedWithout);

  // A command line decides beforehand: no question, and the camera is not touched.
  Dlg().SetBackupFailureChoice(BackupFailureChoice::kStop);
  FailTelegram(DeviceSelectCode(DEVICE_BOOT_FPGA), 1, sim::CameraError(sim::kFwDeviceNotAvailable));
  Dlg().OnProgram();
  EXPECT_EQ(window_.Questions().size(), 2u);
  EXPECT_TRUE(Dlg().LastRun().HasFailure(RunFailure::kStoppedAfterBackup));
}

struct OrderCase {
  const char* name;
  std::vector<DeviceIndex> devices;  // of the packet, all checked unless `checked` is given
  std::optional<std::vector<std::uint16_t>> steps;
  std::optional<std::vector<DeviceIndex>> checked;
  std::vector<std::string> erased;
  int reboots;
  std::uint32_t milliseconds;  // 0: not looked at
  std::vector<std::string> waits;
  const char* box;
};

// 0x2005 waits 5 s, 0x6000 is a wait of 0 s, 0x4001 ends the list: Mem FPGA 1 behind it is never
// programmed, yet the final reboot and version check still run, as they do for an order whose
// first step ends it. A device listed twice is programmed twice, each time with its pause;
// unchecked devices are passed over without pause; Power uP takes its long pause. Packets of
// older backups carry 64 zero codes: each checked entry is programmed once, in stored order.
const OrderCase kOrderCases[] = {
    {"wait and stop steps",
     {DEVICE_MAIN_FPGA, DEVICE_MEM_FPGA_1},
     std::vector<std::uint16_t>{DEVICE_MAIN_FPGA, 0x2005, 0x6000, 0x4001, DEVICE_MEM_FPGA_1},
     std::nullopt,
     {"Erase device Main FPGA ..."},
     1,
     2000u + 1000 + 5000 + 0 + 32000,
     {"Waiting 5 seconds ...", "Waiting 0 seconds ..."},
     kUpdateFailed},
    {"first step ends",
     {DEVICE_MAIN_FPGA},
     std::vector<std::uint16_t>{ORDER_END, DEVICE_MAIN_FPGA},
     std::nullopt,
     {},
     1,
     0,
     {},
     kUpdateFailed},
    {"device twice",
     {DEVICE_COLOR_DATA},
     std::vector<std::uint16_t>{DEVICE_COLOR_DATA, ORDER_REBOOT, DEVICE_COLOR_DATA},
     std::nullopt,
     {"Erase device Color Data ...", "Erase device Color Data ..."},
     2,
     2u * (2000 + 4000) + 2u * 32000,
     {},
     kUpdateOk},
    {"unchecked",
     {DEVICE_POWER_UP, DEVICE_MAIN_UP},
     std::vector<std::uint16_t>{DEVICE_POWER_UP, DEVICE_MAIN_UP},
     std::vector<DeviceIndex>{DEVICE_MAIN_UP},
     {"Erase device Main uP ..."},
     1,
     2000u + 1000 + 32000,
     {},
     kUpdateOk},
    {"Power uP",
     {DEVICE_POWER_UP},
     std::vector<std::uint16_t>{DEVICE_POWER_UP},
     std::nullopt,
     {"Erase device Power uP ..."},
     1,
     2000u + 40000 + 32000,
     {},
     kUpdateOk},
    {"zero order",
     {DEVICE_MAIN_FPGA, DEVICE_BOOT_UP, DEVICE_BOOT_FPGA},
     std::nullopt,
     std::nullopt,
     {"Erase device Main FPGA ...", "Erase device Boot uP ...", "Erase device Boot FPGA ..."},
     1,
     0,
     {},
     kUpdateOk},
};

TEST_F(UpdateRuns, OrderStepsRunAsStored) {
  for (const OrderCase& c : kOrderCases) {
    SCOPED_TRACE(c.name);
    ResetCamera(true);
    std::vector<PacketImage> images;
    for (DeviceIndex device : c.devices) images.push_back(RecognisedImage(device, 1, 4, 12));
    ConnectWithPacket(images, c.steps);
    if (!c.steps) {
      ProgramOrder stored;
      ASSERT_TRUE(Dlg().Packet().GetOrder(&stored));
      ASSERT_TRUE(IsZeroOrder(stored));
    }
    if (c.checked) CheckOnly(*c.checked);
    Dlg().OnProgram();
    if (!c.steps) {
      EXPECT_EQ(Dlg().Order()[c.devices.size()], ORDER_END);
    }
    EXPECT_EQ(Erased(), c.erased);
    EXPECT_EQ(Reboots(), c.reboots);
    if (c.milliseconds != 0) {
      EXPECT_EQ(clock_.TotalMilliseconds(), c.milliseconds);
    }
    EXPECT_THAT(StatusLinesStartingWith("Waiting "), testing::IsSupersetOf(c.waits));
    EXPECT_EQ(LastBoxText(), c.box);
    // The run ends by reconnecting; devices left unprogrammed fail the version check.
    EXPECT_FALSE(StatusLinesStartingWith("Connected to orva.tarvo SN 4711").empty());
    if (std::string(c.box) == kUpdateFailed) {
      EXPECT_EQ(window_.MessageBoxes().front().text,
                "Firmware versions of updated\ndevices do not match the\nversions to be "
                "programmed");
    }
    for (DeviceIndex device : c.devices) {
      if (c.checked && !window_.IsDeviceChecked(device)) {
        EXPECT_FALSE(window_.Row(device).progressVisible) << device;
      }
    }
  }
}

TEST_F(UpdateRuns, AFailedDeviceFailsTheRunButTheOrderGoesOn) {
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_MAIN_UP, 1, 4, 12)};
  ConnectWithPacket(images, {DEVICE_MAIN_FPGA, DEVICE_MAIN_UP});
  FailTelegram(telegram::kWriteBlock, 5, sim::CameraError(sim::kFwProgrammingFailed));
  Dlg().OnProgram();
  EXPECT_TRUE(FlashHolds(images[1]));
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, (ProgressColour{255, 0, 0}));
  EXPECT_EQ(LastBoxText(), kUpdateFailed);
  EXPECT_EQ(window_.MessageBoxes().back().icon, MessageIcon::kError);
}

// The device whose write failed reports the packet's version (its first block holds it); the
// history makes the next Connect select it again, and a good programming clears the mark. A
// run cut off after the start record (the process killed) leaves the same mark.
TEST_F(UpdateRuns, TheHistoryBringsBackADeviceTheLastUpdateLeftHalfWritten) {
  history::HistoryFile history(temp_.File("history"));
  test::CreateFolderForTest(temp_.File("history"));
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_MAIN_UP, 1, 4, 12)};
  ConnectWithPacket(images, {DEVICE_MAIN_FPGA, DEVICE_MAIN_UP});
  Dlg().SetServiceHistory(&history, "engine test");
  FailTelegram(telegram::kWriteBlock, 5, sim::CameraError(sim::kFwProgrammingFailed));
  Dlg().OnProgram();
  Dlg().OnConnect();
  EXPECT_EQ(window_.MessageBoxes().back().text,
            "The last update of this camera did not finish\non Main FPGA.\nSelected to be "
            "programmed again.");
  EXPECT_TRUE(window_.IsDeviceChecked(DEVICE_MAIN_FPGA));
  EXPECT_FALSE(window_.IsDeviceChecked(DEVICE_MAIN_UP));
  Dlg().OnProgram();
  EXPECT_TRUE(FlashHolds(images[0]));
  EXPECT_TRUE(history.UnfinishedDevices(4711).empty());

  EXPECT_TRUE(history.DeviceStarted(Dlg().LastRun(), DEVICE_MAIN_UP));
  Dlg().OnConnect();
  EXPECT_TRUE(window_.IsDeviceChecked(DEVICE_MAIN_UP));
  EXPECT_FALSE(window_.IsDeviceChecked(DEVICE_MAIN_FPGA));
}

// Without the versions read after the update nothing can be judged.
TEST_F(UpdateRuns, VersionsNotReadAfterTheUpdateFailTheRun) {
  const PacketImage image = RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12);
  CameraHolds({image});
  ConnectWithPacket({image}, {DEVICE_MAIN_FPGA});
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
  ConnectWithPacket(images, kNoSteps);
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

// A verify that compared nothing proves nothing: it fails, and says so.
TEST_F(UpdateRuns, VerifyThatComparesNoDeviceFails) {
  CameraHolds({});
  ConnectWithPacket({RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12)}, kNoSteps);
  CheckOnly({DEVICE_MAIN_FPGA});
  Dlg().OnVerify();
  EXPECT_FALSE(window_.IsDeviceChecked(DEVICE_MAIN_FPGA));
  EXPECT_TRUE(Verified().empty());
  EXPECT_EQ(Reboots(), 1);
  EXPECT_EQ(LastBoxText(), "Verifying firmware\nin camera SN 4711\nFAILED!");
  EXPECT_EQ(window_.StatusText(), "Verify FAILED: no device was compared.");
  EXPECT_EQ(Dlg().LastRun().devices[DEVICE_MAIN_FPGA].outcome, DeviceOutcome::kPassedOver);
}

TEST_F(UpdateRuns, VerifyFailsWhenOnlyTheFinalReconnectFails) {
  const PacketImage image = RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12);
  CameraHolds({image});
  ConnectWithPacket({image}, kNoSteps);
  CheckOnly({DEVICE_MAIN_FPGA});
  ChangeCamera([](sim::CameraState& state) { state.faults.notBackAfterReboot = 1; });
  Dlg().OnVerify();
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, (ProgressColour{0, 255, 0}));
  EXPECT_EQ(LastBoxText(), kVerifyFailed);
}

// A bit that turns over silently on its way into the flash passes programming, but not Verify.
TEST_F(UpdateRuns, ABitFlippedWhileWritingMakesVerifyFail) {
  const PacketImage image = RecognisedImage(DEVICE_MEM_FPGA_2, 1, 4, 12);
  ConnectWithPacket({image}, {DEVICE_MEM_FPGA_2});
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
