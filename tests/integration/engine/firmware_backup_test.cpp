// Backups of the simulated camera: file names that never replace an older backup, the devices
// and their order, the pauses, what the backup file holds, and the devices a backup misses.
#include <gmock/gmock.h>

#include <fstream>
#include <functional>

#include "engine/program_order.h"
#include "engine_fixture.h"
#include "platform/folders.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class FirmwareBackup : public EngineFixture {
 protected:
  void SetUp() override { ConnectFresh(); }
  std::string BackupPath(const std::string& name) {
    return platform::JoinPath(Dlg().LogFolder(), name);
  }
  static void Touch(const std::string& path) { std::ofstream(path) << "x"; }
  // Devices of the loaded backup's entries, in stored order.
  static std::vector<unsigned> EntryDevices(const CFirmwarePacket& packet) {
    std::vector<unsigned> devices;
    for (const PacketEntryInfo& entry : packet.LoadedEntries())
      devices.push_back(entry.deviceIndex);
    return devices;
  }
};

// The backup takes the first free name, counting on from the unnumbered one (so a gap is filled
// first), and never touches an older backup. It stores what the camera holds, with an order of
// its devices, after the pauses each device needs: 2 s after each device (4 s select pause
// inside each read-back), 3 s before the reboot, then the reboot's own 2 s and countdown. (That
// each entry holds what the camera held is pinned by the fault sweep, for every backup it makes.)
TEST_F(FirmwareBackup, StoresWhatTheCameraHoldsUnderTheFirstFreeName) {
  Touch(BackupPath("orva_tarvo_SN004711_backup.tvf"));
  for (int n = 1; n <= 99; ++n) {
    if (n != 2) Touch(BackupPath(FormatText("orva_tarvo_SN004711_backup_%02d.tvf", n)));
  }
  ASSERT_EQ(Dlg().OnBackup(), 1);
  EXPECT_EQ(clock_.TotalMilliseconds(), 7u * (4000 + 2000) + 3000 + 2000 + 30000);
  const std::string path = BackupPath("orva_tarvo_SN004711_backup_02.tvf");
  EXPECT_EQ(Dlg().LastBackupFile(), path);
  EXPECT_EQ(ReadFileText(BackupPath("orva_tarvo_SN004711_backup.tvf")), "x");
  EXPECT_EQ(NewLogLines().at(1), "Creating backup file: " + path + ".");
  EXPECT_EQ(Dlg().NextBackupFileName(), BackupPath("orva_tarvo_SN004711_backup_100.tvf"));

  CFirmwarePacket backup;
  ASSERT_TRUE(backup.LoadPacket(path)) << backup.LastError();
  EXPECT_THAT(EntryDevices(backup), ElementsAre(7, 1, 2, 3, 4, 5, 0));
  ProgramOrder order;
  ASSERT_TRUE(backup.GetOrder(&order));
  EXPECT_THAT(std::vector<std::uint16_t>(order.begin(), order.begin() + 8),
              ElementsAre(7, 1, 2, 3, 4, 5, 0, ORDER_END));
}

// A device left out or failed fails the backup, but the others follow and the file is written;
// so it is when the camera does not come back after the reboot. Three devices whose headers
// claim 7 MB each would pass the packet's 20,000,000 bytes: the one that does not fit is left
// out (and the Main FPGA they leave holds no variant 1: the HD-SDI board is not asked).
TEST_F(FirmwareBackup, FailuresFailTheBackupButTheFileHoldsTheOtherDevices) {
  const struct {
    const char* name;
    std::function<void()> fault;
    std::vector<unsigned> entries;
    DeviceIndex failed;  // its bar ends red; kDeviceCount: none
    const char* line;    // in the log
  } cases[] = {
      // clang-format off
      {"Boot uP 0.95", [&] { FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 0, 95)); },
       {7, 1, 2, 3, 4, 5}, kDeviceCount,
       "Current version of Boot uP is too old and will not be backuped."},
      {"Main FPGA fails", [&] { FailTelegram(0x4203, 1, sim::CameraError(sim::kFwDeviceNotAvailable)); },
       {7, 1, 3, 4, 5, 0}, DEVICE_MAIN_FPGA, "ERROR: Read back device Main FPGA failed!"},
      {"too large", [&] {
         for (DeviceIndex device : {DEVICE_MAIN_FPGA, DEVICE_MEM_FPGA_1, DEVICE_MEM_FPGA_2}) {
           PacketImage image = PlainImage(device, 0, 512, device);
           for (int i = 0; i < 4; ++i) image.bytes[28 + i] = (7000000 >> (8 * i)) & 0xFF;
           FactoryWrite(image);
         }
       }, {1, 2, 3, 5, 0}, DEVICE_MEM_FPGA_2, "ERROR: Storing device Mem FPGA 2 in the backup failed: "},
      {"not back", [&] { ChangeCamera([](sim::CameraState& s) { s.faults.notBackAfterReboot = 1; }); },
       {7, 1, 2, 3, 4, 5, 0}, kDeviceCount,
       "Backup FAILED: backup incomplete, the camera did not come back after its reboot."}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetCamera(true);
    c.fault();
    ConnectFresh();
    EXPECT_EQ(Dlg().OnBackup(), 0);
    EXPECT_THAT(window_.StatusLines(), testing::Contains("Creating backup failed."));
    EXPECT_THAT(NewLogLines(), testing::Contains(testing::StartsWith(c.line)));
    const RunReport& report = Dlg().LastRun();
    EXPECT_FALSE(report.succeeded);
    EXPECT_FALSE(report.backup.complete);
    CFirmwarePacket backup;
    ASSERT_TRUE(backup.LoadPacket(Dlg().LastBackupFile())) << backup.LastError();
    EXPECT_EQ(EntryDevices(backup), c.entries);
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      EXPECT_EQ(window_.Row(device).progressBar == kRed, device == c.failed) << device;
    }
  }
}

}  // namespace
}  // namespace tarvo::test
