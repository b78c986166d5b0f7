// The window's Connect, Program and Verify against the simulated camera: command states, the
// version policy's boxes, backup, order steps, pauses, reboots, checks and result boxes.
#include <gmock/gmock.h>

#include <optional>

#include "engine_fixture.h"
#include "history/history_file.h"
#include "link/link.h"
#include "link/telegram_layout.h"
#include "log/format_text.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class ConnectCamera : public EngineFixture {
 protected:
  // Main FPGA newer than the camera's; Mem FPGA 1 of variant 1 where the camera holds variant 2;
  // Boot uP 4.09, below its floor; Main uP older than the camera's.
  void LoadFile() {
    window_.ScriptOpenFile(WritePacket(
        temp_.File("p.tvf"),
        {RecognisedImage(DEVICE_MAIN_FPGA, 1, 1, 5), RecognisedImage(DEVICE_MEM_FPGA_1, 1, 3, 0),
         RecognisedImage(DEVICE_BOOT_UP, 1, 4, 9), RecognisedImage(DEVICE_MAIN_UP, 1, 0, 9)}));
    Dlg().OnLoadFile();
    ASSERT_TRUE(Dlg().PacketLoaded());
  }
  // The runs need a camera and a packet, the backup a camera.
  void ExpectRunsEnabled(bool program, bool backup) const {
    EXPECT_EQ(window_.Control(CommandControl::kProgram).enabled, program);
    EXPECT_EQ(window_.Control(CommandControl::kVerify).enabled, program);
    EXPECT_TRUE(window_.Control(CommandControl::kConnect).enabled);
    EXPECT_EQ(window_.Control(CommandControl::kBackup).enabled, backup);
  }
};

// No camera (GigE's library names its own driver: the interface is read at each connect) or
// another model: the runs stay disabled. A good connect enables the backup, a packet then the
// runs, the newer device preselected, the refused ones disabled; a failed connect later keeps
// that. A click dispatched meanwhile finds every control disabled; the link is closed.
TEST_F(ConnectCamera, CommandStateFollowsConnectAndLoad) {
  Start();
  bool sawEnabledControl = false;
  window_.OnPump([&] {
    for (CommandControl control : kAllCommandControls)
      sawEnabledControl |= window_.IsControlEnabled(control);
    for (DeviceIndex device = 0; device < kDeviceCount; ++device)
      sawEnabledControl |= window_.IsDeviceEnabled(device);
  });
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  NewLogLines();
  for (const char* code : {"80312001", "80322001"}) {
    Dlg().OnConnect();
    EXPECT_THAT(NewLogLines(), ElementsAre("ERROR: Connecting to camera failed!",
                                           FormatText("  - function return %s.", code)));
    window_.SelectInterface(CommandControl::kGige);
  }
  ChangeCamera([](sim::CameraState& state) {
    state.faults.noCamera = 0;
    state.faults.wrongCameraType = 0x1001;
  });
  Dlg().OnConnect();
  EXPECT_EQ(window_.MessageBoxes().at(0).icon, MessageIcon::kError);  // its text: below
  EXPECT_THAT(NewLogLines(), ElementsAre("ERROR: Camera found is not a orva.tarvo!"));
  ExpectRunsEnabled(false, false);

  ChangeCamera([](sim::CameraState& state) { state.faults.wrongCameraType = 0; });
  FactoryWrite(RecognisedImage(DEVICE_MEM_FPGA_1, 2, 1, 0));
  FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 4, 10));
  Dlg().OnConnect();
  ExpectRunsEnabled(false, true);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).enabled);  // no packet versions yet
  NewLogLines();
  LoadFile();
  ExpectRunsEnabled(true, true);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_FPGA).enabled && window_.Row(DEVICE_MAIN_FPGA).checked);
  EXPECT_FALSE(window_.Row(DEVICE_MEM_FPGA_1).enabled || window_.Row(DEVICE_BOOT_UP).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_UP).enabled && !window_.Row(DEVICE_MAIN_UP).checked);
  // The variant box before the older-version box, both as errors; the floor is logged.
  EXPECT_THAT(window_.BoxTexts(),
              ElementsAre("Camera found is not a orva.tarvo!",
                          "Variants of update file and camera\nfirmware are different. File "
                          "seems\nnot to be for that camera type!",
                          "Note that some or all versions to\nbe loaded are older than the "
                          "current\nfirmware versions in the camera!"));
  EXPECT_EQ(window_.MessageBoxes().at(2).icon, MessageIcon::kError);
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_THAT(lines, Contains("Prohibit loading Boot uP with version earlier than 4.11 (camera "
                              "may get stuck)."));
  EXPECT_THAT(lines, Contains("ERROR: Note that some or all versions to be loaded are older than "
                              "the current firmware versions in the camera!"));

  const ConnectedCamera before = Dlg().Camera();
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 1, 2, 0));
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  Dlg().OnConnect();
  EXPECT_TRUE(Dlg().Camera().serialNumber == before.serialNumber &&
              Dlg().Camera().current == before.current);
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).cameraText, "001 V01.00");
  ExpectRunsEnabled(true, true);
  EXPECT_TRUE(window_.PumpCount() > 0 && !sawEnabledControl &&
              CurrentLinkState().library == nullptr);
}

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

// 0x2014 waits 20 s, 0x6000 0 s; 0x4001 ends the list (Mem FPGA 1 behind it fails the version
// check), yet the final reboot runs. A reboot over GigE waits 80 s; unchecked devices pass
// without pause. Older backups' packets carry 64 zero codes: entries in stored order. A refused
// reboot request still counts as sent; a camera not back or of another model fails the run (another
// camera of this model answering: the CLI's tests), as do versions not read after the update (only
// the connect's query fails).
// clang-format off
const OrderCase kOrderCases[] = {
    {"wait and stop steps", {2, 3}, std::vector<std::uint16_t>{2, 0x2014, 0x6000, 0x4001, 3},
     std::nullopt, {2}, 2000u + 1000 + 20000 + 32000, false,
     "Firmware versions of updated\ndevices do not match the\nversions to be programmed",
     "Waiting 0 seconds ..."},
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
    {"other model", {8, 2}, std::vector<std::uint16_t>{8, ORDER_REBOOT, 2}, std::nullopt, {8}, 38000, false,
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
    EXPECT_FALSE(c.checked && window_.Row(DEVICE_MAIN_UP).progressVisible);
  }
}

// A failed device fails the run, the order goes on. Though the half-written device reports the
// packet's version, the history makes the next Connect select it again, a good programming
// clears the mark; a run cut off after the start record (process killed) leaves the same mark.
TEST_F(UpdateRuns, TheHistoryBringsBackADeviceTheLastUpdateLeftHalfWritten) {
  history::HistoryFile history(temp_.File("history"));
  test::CreateFolderForTest(temp_.File("history"));
  const std::vector<PacketImage> images = {RecognisedImage(DEVICE_MAIN_FPGA, 1, 4, 12),
                                           RecognisedImage(DEVICE_MAIN_UP, 1, 4, 12)};
  ConnectWithPacket(images, std::vector<std::uint16_t>{DEVICE_MAIN_FPGA, DEVICE_MAIN_UP});
  Dlg().SetServiceHistory(&history, "engine test");
  FailTelegram(telegram::kWriteBlock, 5, sim::CameraError(sim::kFwProgrammingFailed));
  Dlg().OnProgram();
  EXPECT_TRUE(FlashHolds(images[1]) && window_.Row(DEVICE_MAIN_FPGA).progressBar == kRed);
  EXPECT_EQ(window_.BoxTexts().back(), kUpdateFailed);

  Dlg().OnConnect();
  EXPECT_EQ(window_.MessageBoxes().back().text,
            "The last update of this camera did not finish\non Main FPGA.\nSelected to be "
            "programmed again.");
  EXPECT_TRUE(window_.IsDeviceChecked(DEVICE_MAIN_FPGA) &&
              !window_.IsDeviceChecked(DEVICE_MAIN_UP));
  Dlg().OnProgram();
  EXPECT_TRUE(FlashHolds(images[0]) && history.UnfinishedDevices(4711).empty());

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
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, kGreen);  // the device itself passed
  EXPECT_EQ(window_.BoxTexts().back(), "Verifying firmware\nin camera SN 4711\nFAILED!");
}

}  // namespace
}  // namespace tarvo::test
