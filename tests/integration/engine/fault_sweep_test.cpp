// A whole Program run with backup, nine devices, against the simulated camera, with one
// telegram failing at a time, at positions spread over every phase of the run. Whatever fails,
// the run never claims success for a camera that does not hold the packet, the log ends
// sealed, a backup written holds what the camera held, and a second run repairs the camera.
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "link/telegram_layout.h"
#include "log/log_seal.h"
#include "run_fixture.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

// Telegrams of the first run, grouped by what they do.
enum class Phase { kReadBack, kSelect, kErase, kWrite, kEnd, kReboot, kReconnect, kVersions };

Phase PhaseOf(const std::string& code) {
  if (code == "1403") return Phase::kReadBack;
  if (code == "1003") return Phase::kErase;
  if (code == "1103") return Phase::kWrite;
  if (code == "0003") return Phase::kEnd;
  if (code == "1704") return Phase::kReboot;
  if (code == "0110") return Phase::kReconnect;
  if (code == "0d10" || code == "0810" || code == "0D10") return Phase::kVersions;
  return Phase::kSelect;
}

// Every telegram of the rare kinds, and evenly spread samples of the block reads and writes.
std::vector<std::uint32_t> SweepPositions(const std::vector<std::string>& codes,
                                          std::size_t blockSamples) {
  std::vector<std::uint32_t> positions;
  std::vector<std::uint32_t> reads;
  std::vector<std::uint32_t> writes;
  for (std::uint32_t i = 0; i < codes.size(); ++i) {
    const Phase phase = PhaseOf(codes[i].substr(0, 4));
    if (phase == Phase::kReadBack) {
      reads.push_back(i + 1);
    } else if (phase == Phase::kWrite) {
      writes.push_back(i + 1);
    } else {
      positions.push_back(i + 1);
    }
  }
  for (const std::vector<std::uint32_t>* blocks : {&reads, &writes}) {
    const std::size_t count = std::min(blockSamples, blocks->size());
    for (std::size_t s = 0; s < count; ++s) {
      positions.push_back((*blocks)[s * blocks->size() / count]);
    }
    if (!blocks->empty()) positions.push_back(blocks->back());
  }
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  return positions;
}

class FaultSweep : public RunFixture {
 protected:
  // The devices in a run order with a reboot and a wait inside it.
  const std::vector<std::uint16_t> kOrder = {DEVICE_HDSDI_FPGA, DEVICE_BOOT_UP,   DEVICE_BOOT_FPGA,
                                             ORDER_REBOOT,      DEVICE_MAIN_FPGA, DEVICE_MEM_FPGA_1,
                                             DEVICE_MEM_FPGA_2, 0x2002,           DEVICE_MAIN_UP,
                                             DEVICE_POWER_UP,   DEVICE_COLOR_DATA};

  // Small images keep each run short, so many runs fit in the sweep; the read-back of Boot uP
  // still takes its whole fixed area.
  void SetUp() override {
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      packet_.push_back(SmallRecognisedImage(device, kPacketMajor, kPacketMinor));
    }
    packetPath_ = WritePacket(PacketPath("nine.tvf"), packet_, kOrder);
    ResetOldCamera();
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      before_[device] = ReadFlash(device, 0, kBeforeBytes[device]);
    }
  }

  // The camera with older firmware (1.00) on every device.
  void ResetOldCamera() {
    ResetCamera(false);
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      FactoryWrite(SmallRecognisedImage(device, 1, 0));
    }
  }

  struct RunOutcome {
    bool successful = false;
    bool deviceFailed = false;  // a device's bar ended red
    std::string backupFile;
    std::vector<std::string> telegrams;
  };

  // One Program run with backup from a fresh window; the window object is gone afterwards, so
  // its log is closed and sealed. The backup question is answered Yes.
  RunOutcome ProgramRun(bool emergency, bool withBackup, std::uint32_t failAt, bool trace) {
    RunOutcome outcome;
    FakeWindow window;
    clock_.Reset();
    {
      CProgrammerDlg dlg(window, clock_, programFolder_);
      dlg.SetModes(emergency, false);
      dlg.StartWindow();
      EXPECT_EQ(dlg.LoadPacketFile(packetPath_), 1);
      dlg.OnConnect();
      for (DeviceIndex device = 0; device < kDeviceCount; ++device)
        window.ClickDevice(device, true);
      window.SetControlChecked(CommandControl::kSkipBackup, !withBackup);
      window.ScriptYesNo(true);
      if (failAt != 0) FailTelegram(0, failAt, sim::CameraError(sim::kFwReadingFailed));
      auto run = [&] { dlg.OnProgram(); };
      if (trace) {
        outcome.telegrams = TracedCodes(run);
      } else {
        run();
      }
      const auto& boxes = window.MessageBoxes();
      EXPECT_FALSE(boxes.empty());
      if (!boxes.empty()) {
        const std::string& text = boxes.back().text;
        outcome.successful = text.size() >= 11 && text.substr(text.size() - 11) == "successful.";
        EXPECT_TRUE(outcome.successful || text.substr(text.size() - 7) == "FAILED!") << text;
      }
      for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
        if (window.Row(device).progressBar == ProgressColour{255, 0, 0})
          outcome.deviceFailed = true;
      }
      outcome.backupFile = dlg.LastBackupFile();
    }
    ChangeCamera([](sim::CameraState& state) { state.faults.failTelegram.active = 0; });
    return outcome;
  }

  bool CameraHoldsPacket() {
    for (const PacketImage& image : packet_) {
      if (!FlashHolds(image)) return false;
    }
    return true;
  }

  // Every entry of the backup is what the camera held at those addresses before the run.
  void ExpectBackupHoldsTheCameraBefore(const std::string& path, std::uint32_t failAt) {
    CFirmwarePacket backup;
    ASSERT_TRUE(backup.LoadPacket(path)) << backup.LastError() << " at " << failAt;
    std::vector<std::uint8_t>& image = imageBuffer_;
    image.resize(IMAGE_BUFFER_SIZE);
    for (const PacketEntryInfo& entry : backup.LoadedEntries()) {
      std::uint32_t start = 0, end = 0, size = 0;
      ASSERT_TRUE(backup.GetImage(entry.deviceIndex, image.data(), &start, &end, &size));
      const std::vector<std::uint8_t>& held = before_[entry.deviceIndex];
      ASSERT_LE(std::uint64_t{start} + size, held.size()) << entry.deviceIndex;
      EXPECT_TRUE(
          std::equal(image.begin() + start, image.begin() + start + size, held.begin() + start))
          << "device " << entry.deviceIndex << " fault at " << failAt;
    }
  }

  void ExpectSealedLogAndClear(std::uint32_t failAt) {
    const std::string log = temp_.File("data/orva/TARVO_PROG.log");
    EXPECT_EQ(CheckLogSealFile(log).result, LogSealCheck::kValid) << "fault at " << failAt;
    std::remove(log.c_str());
  }

  // Bytes of each device kept from before the runs: past the end of every read-back.
  static constexpr std::uint32_t kBeforeBytes[kDeviceCount] = {
      0xE0000, 0x1000, 0x1000, 0x1000, 0x1000, 0x1000, 0x4000, 0x1000, 0x1000};

  std::vector<PacketImage> packet_;
  std::string packetPath_;
  std::vector<std::uint8_t> before_[kDeviceCount];
  std::vector<std::uint8_t> imageBuffer_;
};

TEST_F(FaultSweep, NoFailureAtAnyTelegramIsReportedAsSuccess) {
  ASSERT_EQ(Start().ConnectCamera(), 1);
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    ASSERT_EQ(Dlg().Camera().current[device], (DeviceVersion{1, 1, 0})) << device;
  }
  dlg_.reset();
  ExpectSealedLogAndClear(0);
  const RunOutcome clean = ProgramRun(false, true, 0, true);
  ASSERT_TRUE(clean.successful);
  ASSERT_TRUE(CameraHoldsPacket());
  std::map<Phase, int> phases;
  for (const std::string& code : clean.telegrams) ++phases[PhaseOf(code.substr(0, 4))];
  ASSERT_EQ(phases.size(), 8u);
  ExpectSealedLogAndClear(0);

  const std::vector<std::uint32_t> positions = SweepPositions(clean.telegrams, 110);
  ASSERT_GE(positions.size(), 200u);
  RecordProperty("positions", static_cast<int>(positions.size()));
  RecordProperty("telegrams", static_cast<int>(clean.telegrams.size()));
  std::set<Phase> covered;
  for (std::uint32_t failAt : positions) {
    covered.insert(PhaseOf(clean.telegrams[failAt - 1].substr(0, 4)));
    ResetOldCamera();
    const RunOutcome faulty = ProgramRun(false, true, failAt, false);
    if (faulty.successful) {
      EXPECT_FALSE(faulty.deviceFailed) << "reported successful with a fault at " << failAt;
      EXPECT_TRUE(CameraHoldsPacket()) << "reported successful with a fault at " << failAt << " ("
                                       << clean.telegrams[failAt - 1] << ")";
    }
    ExpectSealedLogAndClear(failAt);
    if (!faulty.backupFile.empty()) {
      ExpectBackupHoldsTheCameraBefore(faulty.backupFile, failAt);
      std::remove(faulty.backupFile.c_str());
    }
    // The repair: emergency mode, every device checked, no faults.
    const RunOutcome repair = ProgramRun(true, false, 0, false);
    EXPECT_TRUE(repair.successful) << "repair after a fault at " << failAt;
    EXPECT_TRUE(CameraHoldsPacket()) << "repair after a fault at " << failAt;
    ExpectSealedLogAndClear(failAt);
    if (HasFailure()) break;
  }
  EXPECT_EQ(covered.size(), 8u);
}

}  // namespace
}  // namespace tarvo::test
