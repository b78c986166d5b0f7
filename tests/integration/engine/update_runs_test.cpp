// The Program and Verify runs against the simulated camera: backup, order steps, pauses, reboots
// and the same camera answering afterwards, the final version check and the result box.
#include <gmock/gmock.h>

#include <optional>

#include "engine_fixture.h"
#include "history/history_file.h"
#include "link/telegram_layout.h"
#include "log/format_text.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kUpdateOk = "Updating firmware\nin camera SN 4711\nsuccessful.";
constexpr const char* kUpdateFailed = "Updating firmware\nin camera SN 4711\nFAILED!";

class UpdateRuns : public EngineFixture {};

// One run with backup step by step: the devices in the packet's order, the reboot with its
// countdown, the reconnect and the version check. Then a backup that fails.
TEST_F(UpdateRuns, ProgramWithBackupWalksEveryStepAndAFailedBackupProgramsNothing) {
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_MAIN_UP, 1, 4, 12)};
  ConnectWithPacket(images, std::vector<std::uint16_t>{DEVICE_MAIN_UP, DEVICE_MAIN_FPGA});
  window_.SetControlChecked(CommandControl::kSkipBackup, false);
  Dlg().OnProgram();
  std::vector<std::string> lines = NewLogLines();
  const std::vector<std::string> countdown = window_.StatusLinesStartingWith("Waiting for camera");
  ASSERT_EQ(countdown.size(), 60u);  // the backup's reboot and the final one
  EXPECT_EQ(countdown[0], "Waiting for camera to reconnect. Waiting 30 s.");
  EXPECT_EQ(countdown[29], "Waiting for camera to reconnect. Waiting 1 s.");
  std::erase_if(lines, [](const std::string& line) {
    return line.starts_with("Waiting for camera") || line.starts_with("- Device ");
  });
  lines.erase(lines.begin(),
              std::find(lines.begin(), lines.end(), "Programming firmware started."));
  EXPECT_THAT(
      lines,
      ElementsAre("Programming firmware started.", "Erase device Main uP ...",
                  "Program device Main uP ...", "Programming device Main uP successful!",
                  "Erase device Main FPGA ...", "Program device Main FPGA ...",
                  "Programming device Main FPGA successful!", "Rebooting camera. Please wait ...",
                  "Reboot request send successful. ", "Reconnected to Camera SN 4711",
                  "Connected to orva.tarvo SN 4711", "Version check after update successful.",
                  "Updating firmware in camera SN 4711 successful."));
  EXPECT_THAT(window_.BoxTexts(), ElementsAre(kUpdateOk));
  EXPECT_EQ(window_.MessageBoxes().at(0).icon, MessageIcon::kInformation);
  for (const PacketImage& image : images) EXPECT_TRUE(FlashHolds(image)) << image.device;

  // In the window the question after a failed backup defaults to No: the camera is left alone.
  window_.ClearRecords();
  CheckOnly({DEVICE_MAIN_FPGA});
  FailTelegram(DeviceSelectCode(DEVICE_BOOT_FPGA), 1, sim::CameraError(sim::kFwDeviceNotAvailable));
  Dlg().OnProgram();
  EXPECT_THAT(window_.Questions(),
              ElementsAre("Creating backup file failed!\nDo you still want to proceed\n"
                          "updating the camera?"));
  EXPECT_EQ(NewLogLines().back(),
            "Update FAILED: backup incomplete, not stored: Boot FPGA (code 80031051); nothing "
            "was programmed.");
  EXPECT_TRUE(window_.MessageBoxes().empty() &&
              window_.StatusLinesStartingWith("Erase device ").empty());
  EXPECT_EQ(Dlg().LastRun().devices[DEVICE_MAIN_FPGA].outcome, DeviceOutcome::kSkipped);
}

struct OrderCase {
  const char* name;
  std::vector<DeviceIndex> devices;  // of the packet, all checked unless `checked` is given
  OrderSteps steps;
  std::optional<std::vector<DeviceIndex>> checked;
  std::vector<DeviceIndex> erased;
  std::uint32_t milliseconds;
  bool succeeded;
  const char* firstBox = nullptr;              // shown before the result box
  const char* logLine = nullptr;               // one of the run's log lines
  void (*fault)(sim::CameraState&) = nullptr;  // set after the connect
  bool cameraHoldsPacket = false;              // before the run
  CommandControl interface = CommandControl::kUsb2;
};

constexpr const char* kVersionsDiffer =
    "Firmware versions of updated\ndevices do not match the\nversions to be programmed";

// 0x2014 waits 20 s, 0x6000 0 s; 0x4001 ends the list (Mem FPGA 1 behind it fails the version
// check), yet the final reboot runs. A reboot over GigE waits 80 s; unchecked devices pass
// without pause. Older backups' packets carry 64 zero codes: entries in stored order. A refused
// reboot request still counts as sent; a camera not back, or another one, fails the run, as do
// versions not read after the update (the reconnect's type query passes, the connect's fails).
// clang-format off
const OrderCase kOrderCases[] = {
    {"wait and stop steps", {2, 3}, std::vector<std::uint16_t>{2, 0x2014, 0x6000, 0x4001, 3},
     std::nullopt, {2}, 2000u + 1000 + 20000 + 32000, false, kVersionsDiffer, "Waiting 0 seconds ..."},
    {"device twice", {8}, std::vector<std::uint16_t>{8, ORDER_REBOOT, 8}, std::nullopt, {8, 8},
     2u * (2000 + 4000) + 2u * 82000, true, nullptr,
     "Waiting for camera to reconnect. Waiting 80 s.", nullptr, false, CommandControl::kGige},
    {"unchecked and Power uP", {6, 5, 2}, std::vector<std::uint16_t>{6, 5, 2},
     std::vector<DeviceIndex>{6, 2}, {6, 2}, 2u * 2000 + 40000 + 1000 + 32000, true},
    {"zero order", {2, 0, 1}, std::nullopt, std::nullopt, {2, 0, 1},
     3u * 2000 + 1000 + 2000 + 2000 + 32000, true},
    {"refused reboot request", {2}, std::nullopt, std::nullopt, {2}, 35000, true, nullptr,
     "Reboot request send successful. ",
     [](sim::CameraState& s) { s.faults.failTelegram = {1, {0}, 0x1704, 1, 0, 0x80031006}; }},
    {"not back", {2}, std::nullopt, std::nullopt, {2}, 35000, false, nullptr,
     "Error reconnecting to camera: 80312001. ",
     [](sim::CameraState& s) { s.faults.notBackAfterReboot = 1; }},
    {"other serial", {2}, std::nullopt, std::nullopt, {2}, 35000, false,
     "Camera found has not the same SN!", nullptr,
     [](sim::CameraState& s) { s.faults.newSerialAfterReboot = 1; }},
    {"other model", {2}, std::nullopt, std::nullopt, {2}, 35000, false,
     "Camera found is not a orva.tarvo!", nullptr,
     [](sim::CameraState& s) { s.faults.wrongCameraType = 0x2000; }},
    {"versions not read", {2}, std::nullopt, std::vector<DeviceIndex>{2}, {2}, 35000, false, nullptr,
     nullptr, [](sim::CameraState& s) { s.faults.failTelegram = {1, {0}, 0x0110, 2, 0, 0x80031006}; },
     true},
};
// clang-format on

TEST_F(UpdateRuns, OrderStepsRunAsStored) {
  for (const OrderCase& c : kOrderCases) {
    SCOPED_TRACE(c.name);
    ResetCamera(true);
    std::vector<PacketImage> images;
    for (DeviceIndex device : c.devices) {
      images.push_back(RecognisedImage(device, 1, 4, 12));
      if (c.cameraHoldsPacket) FactoryWrite(images.back());
    }
    ConnectWithPacket(images, c.steps);
    if (c.checked) CheckOnly(*c.checked);
    if (c.fault) ChangeCamera(c.fault);
    window_.SelectInterface(c.interface);
    Dlg().OnProgram();
    std::vector<std::string> erased;
    for (DeviceIndex device : c.erased) {
      erased.push_back(FormatText("Erase device %s ...", DeviceDisplayName(device)));
    }
    EXPECT_EQ(window_.StatusLinesStartingWith("Erase device "), erased);
    EXPECT_EQ(clock_.TotalMilliseconds(), c.milliseconds);
    std::vector<std::string> boxes = {c.succeeded ? kUpdateOk : kUpdateFailed};
    if (c.firstBox != nullptr) boxes.insert(boxes.begin(), c.firstBox);
    EXPECT_EQ(window_.BoxTexts(), boxes);
    const std::vector<std::string> lines = NewLogLines();
    EXPECT_TRUE(c.logLine == nullptr || std::ranges::count(lines, c.logLine) > 0) << c.logLine;
    if (c.checked) {
      EXPECT_FALSE(window_.Row(DEVICE_MAIN_UP).progressVisible);
    }
  }
}

// A failed device fails the run, but the order goes on. The device whose write failed reports the
// packet's version (its first block holds it); the history makes the next Connect select it
// again, and a good programming clears the mark. A run cut off after the start record (the
// process killed) leaves the same mark.
TEST_F(UpdateRuns, TheHistoryBringsBackADeviceTheLastUpdateLeftHalfWritten) {
  history::HistoryFile history(temp_.File("history"));
  test::CreateFolderForTest(temp_.File("history"));
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_MAIN_UP, 1, 4, 12)};
  ConnectWithPacket(images, std::vector<std::uint16_t>{DEVICE_MAIN_FPGA, DEVICE_MAIN_UP});
  Dlg().SetServiceHistory(&history, "engine test");
  FailTelegram(telegram::kWriteBlock, 5, sim::CameraError(sim::kFwProgrammingFailed));
  Dlg().OnProgram();
  EXPECT_TRUE(FlashHolds(images[1]));
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, kRed);
  EXPECT_EQ(window_.BoxTexts().back(), kUpdateFailed);

  Dlg().OnConnect();
  EXPECT_EQ(window_.MessageBoxes().back().text,
            "The last update of this camera did not finish\non Main FPGA.\nSelected to be "
            "programmed again.");
  EXPECT_TRUE(window_.IsDeviceChecked(DEVICE_MAIN_FPGA) &&
              !window_.IsDeviceChecked(DEVICE_MAIN_UP));
  Dlg().OnProgram();
  EXPECT_TRUE(FlashHolds(images[0]));
  EXPECT_TRUE(history.UnfinishedDevices(4711).empty());

  EXPECT_TRUE(history.DeviceStarted(Dlg().LastRun(), DEVICE_MAIN_UP));
  Dlg().OnConnect();
  EXPECT_TRUE(window_.IsDeviceChecked(DEVICE_MAIN_UP) &&
              !window_.IsDeviceChecked(DEVICE_MAIN_FPGA));
}

// Verify passes over (and unchecks) devices of other versions and Power uP (queued, grey on
// grey), in its fixed order with its pauses; a camera not back after the reboot fails it.
TEST_F(UpdateRuns, VerifyPassesOverDevicesOfOtherVersionsAndNeverPowerUp) {
  std::vector<PacketImage> images;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    images.push_back(RecognisedImage(device, 1, 4, 12));
    FactoryWrite(device == DEVICE_MAIN_UP ? RecognisedImage(device, 1, 4, 11) : images.back());
  }
  ConnectWithPacket(images, std::vector<std::uint16_t>{});
  CheckOnly({0, 1, 2, 3, 4, 5, 6, 7, 8});
  Dlg().OnVerify();
  EXPECT_EQ(NewLogLines().front(), "Verifying firmware started.");
  std::vector<std::string> started = window_.StatusLinesStartingWith("Verify device ");
  std::erase_if(started, [](const std::string& line) { return !line.ends_with(" ..."); });
  EXPECT_THAT(started, ElementsAre("Verify device HDSDI FPGA ...", "Verify device Color Data ...",
                                   "Verify device Boot uP ...", "Verify device Boot FPGA ...",
                                   "Verify device Main FPGA ...", "Verify device Mem FPGA 1 ...",
                                   "Verify device Mem FPGA 2 ..."));
  EXPECT_FALSE(window_.IsDeviceChecked(DEVICE_MAIN_UP) ||
               window_.Row(DEVICE_MAIN_UP).progressVisible);
  EXPECT_TRUE(window_.IsDeviceChecked(DEVICE_POWER_UP));
  EXPECT_EQ(window_.Row(DEVICE_POWER_UP).progressBar, (ProgressColour{160, 160, 160}));
  EXPECT_EQ(window_.BoxTexts().back(), "Verifying firmware\nin camera SN 4711\nsuccessful.");
  EXPECT_EQ(clock_.TotalMilliseconds(), 4000u * 9 + 2000 * 2 + 1000 * 3 + 32000);

  ChangeCamera([](sim::CameraState& state) { state.faults.notBackAfterReboot = 1; });
  CheckOnly({DEVICE_MAIN_FPGA});
  Dlg().OnVerify();
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, kGreen);
  EXPECT_EQ(window_.BoxTexts().back(), "Verifying firmware\nin camera SN 4711\nFAILED!");
}

}  // namespace
}  // namespace tarvo::test
