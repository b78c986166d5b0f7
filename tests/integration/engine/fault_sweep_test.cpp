// A Program run with backup of nine devices with one telegram failing at a time, spread over every
// phase: no success claimed for a camera without the packet, the log sealed, a backup written
// holds what the camera held, and a second run repairs the camera.
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "engine_fixture.h"
#include "log/log_seal.h"
#include "sim/core/factory_images.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

// A small piece of the factory image the camera still recognises (Boot uP: its application
// block, Power uP: its last page), with data of its own per version.
PacketImage SmallRecognisedImage(DeviceIndex device, std::uint8_t major, std::uint8_t minor) {
  PacketImage image = RecognisedImage(device, 1, major, minor);
  const bool boot = device == DEVICE_BOOT_UP, power = device == DEVICE_POWER_UP;
  const std::uint32_t from = boot ? 0xD0000 - image.start : power ? 0x3500 : 0;
  image.start += from;
  image.bytes.assign(image.bytes.begin() + from, image.bytes.begin() + from + (power ? 256 : 1024));
  sim::FillSynthetic(image.bytes.data() + (power ? 0 : 64), power ? 0xC0 : 1024 - 64,
                     0x500 + device * 16 + minor);
  for (int i = 0; i < 4 && !boot && !power; ++i) {  // HD-SDI: 16-bit words high byte first
    image.bytes[28 + (device == DEVICE_HDSDI_FPGA ? i ^ 1 : i)] = (992 >> (8 * i)) & 0xFF;
  }
  return image;
}

class FaultSweep : public EngineFixture {
 protected:
  // Small images keep the runs short; the order has a reboot and a wait inside it.
  void SetUp() override {
    ResetOldCamera();
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      packet_.push_back(SmallRecognisedImage(device, 4, 12));
      before_[device] = ReadFlash(device, 0, device == DEVICE_BOOT_UP ? 0xE0000 : 0x4000);
    }
    packetPath_ =
        WritePacket(temp_.File("nine.tvf"), packet_,
                    std::vector<std::uint16_t>{7, 0, 1, ORDER_REBOOT, 2, 3, 4, 0x2002, 5, 6, 8});
  }

  void ResetOldCamera() {
    ResetCamera(false);
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      FactoryWrite(SmallRecognisedImage(device, 1, 0));
    }
  }

  // A Program run of every device from a fresh window, the backup question answered Yes; the
  // window object is gone afterwards (its log sealed). True when it reported success.
  bool ProgramRun(bool emergency, std::uint32_t failAt, std::string* backupFile = nullptr) {
    window_.ClearRecords();
    Start(emergency);
    EXPECT_EQ(Dlg().LoadPacketFile(packetPath_), 1);
    Dlg().OnConnect();
    CheckOnly({0, 1, 2, 3, 4, 5, 6, 7, 8});
    window_.SetControlChecked(CommandControl::kSkipBackup, emergency);
    window_.ScriptYesNo(true);
    if (failAt != 0) FailTelegram(0, failAt, sim::CameraError(sim::kFwReadingFailed));
    Dlg().OnProgram();
    const std::string text = window_.BoxTexts().empty() ? "" : window_.BoxTexts().back();
    const bool successful = text.ends_with("\nsuccessful.");
    EXPECT_TRUE(successful || text.ends_with("\nFAILED!")) << text;
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      EXPECT_FALSE(successful && window_.Row(device).progressBar == kRed) << failAt;
    }
    if (backupFile != nullptr) *backupFile = Dlg().LastBackupFile();
    dlg_.reset();
    ChangeCamera([](sim::CameraState& state) { state.faults.failTelegram.active = 0; });
    const std::string log = temp_.File("data/orva/TARVO_PROG.log");
    EXPECT_EQ(CheckLogSealFile(log).result, LogSealCheck::kValid) << "fault at " << failAt;
    std::remove(log.c_str());
    logMark_ = 0;
    return successful;
  }

  bool CameraHoldsPacket() {
    return std::ranges::all_of(packet_, [this](const PacketImage& i) { return FlashHolds(i); });
  }

  // Every entry of the backup is what the camera held at those addresses before the run.
  void ExpectBackupHoldsTheCameraBefore(const std::string& path, std::uint32_t failAt) {
    CFirmwarePacket backup;
    ASSERT_TRUE(backup.LoadPacket(path)) << backup.LastError() << " at " << failAt;
    std::vector<std::uint8_t> image(IMAGE_BUFFER_SIZE);
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

  std::vector<PacketImage> packet_;
  std::string packetPath_;
  std::vector<std::uint8_t> before_[kDeviceCount];
};

// Every telegram of the rare kinds (selects, erases, ends of access, reboots, reconnects,
// version queries), and up to 150 evenly spread block reads and writes.
TEST_F(FaultSweep, NoFailureAtAnyTelegramIsReportedAsSuccess) {
  const std::vector<std::string> telegrams =
      TracedCodes([&] { ASSERT_TRUE(ProgramRun(false, 0)); });
  ASSERT_TRUE(CameraHoldsPacket());
  std::map<std::string, std::vector<std::uint32_t>> byCode;
  for (std::uint32_t i = 0; i < telegrams.size(); ++i) {
    byCode[telegrams[i].substr(0, 4)].push_back(i + 1);
  }
  ASSERT_GE(byCode.size(), 12u);
  std::vector<std::uint32_t> positions;
  for (const auto& [code, at] : byCode) {
    const std::size_t count = std::min<std::size_t>(150, at.size());
    for (std::size_t s = 0; s < count; ++s) positions.push_back(at[s * at.size() / count]);
  }
  ASSERT_GE(positions.size(), 200u);

  for (std::uint32_t failAt : positions) {
    ResetOldCamera();
    std::string backupFile;
    if (ProgramRun(false, failAt, &backupFile)) {
      EXPECT_TRUE(CameraHoldsPacket()) << "reported successful with a fault at " << failAt << " ("
                                       << telegrams[failAt - 1] << ")";
    }
    if (!backupFile.empty()) {
      ExpectBackupHoldsTheCameraBefore(backupFile, failAt);
      std::remove(backupFile.c_str());
    }
    // The repair: emergency mode, every device checked, no faults.
    EXPECT_TRUE(ProgramRun(true, 0)) << "repair after a fault at " << failAt;
    EXPECT_TRUE(CameraHoldsPacket()) << "repair after a fault at " << failAt;
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace tarvo::test
