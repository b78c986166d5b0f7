// Backups of the simulated camera: file names that never replace an older backup, the devices
// and their order, the pauses, and what the backup file holds.
#include <gmock/gmock.h>

#include <fstream>
#include <functional>

#include "engine/program_order.h"
#include "link/telegram_layout.h"
#include "platform/folders.h"
#include "run_fixture.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class FirmwareBackup : public RunFixture {
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

TEST_F(FirmwareBackup, NamesCountOnFromTheFirstFreeNumber) {
  EXPECT_EQ(Dlg().NextBackupFileName(), BackupPath("orva_tarvo_SN004711_backup.tvf"));
  Touch(BackupPath("orva_tarvo_SN004711_backup.tvf"));
  EXPECT_EQ(Dlg().NextBackupFileName(), BackupPath("orva_tarvo_SN004711_backup_01.tvf"));
  Touch(BackupPath("orva_tarvo_SN004711_backup_01.tvf"));
  EXPECT_EQ(Dlg().NextBackupFileName(), BackupPath("orva_tarvo_SN004711_backup_02.tvf"));
  for (int n = 2; n <= 99; ++n) {
    Touch(BackupPath(FormatText("orva_tarvo_SN004711_backup_%02d.tvf", n)));
  }
  EXPECT_EQ(Dlg().NextBackupFileName(), BackupPath("orva_tarvo_SN004711_backup_100.tvf"));
  // A gap is filled first: the search starts at 1 every time.
  std::remove(BackupPath("orva_tarvo_SN004711_backup_07.tvf").c_str());
  EXPECT_EQ(Dlg().NextBackupFileName(), BackupPath("orva_tarvo_SN004711_backup_07.tvf"));
}

TEST_F(FirmwareBackup, StoresWhatTheCameraHoldsWithAnOrderOfItsDevices) {
  // Two earlier backups stay untouched.
  Touch(BackupPath("orva_tarvo_SN004711_backup.tvf"));
  Touch(BackupPath("orva_tarvo_SN004711_backup_01.tvf"));
  ASSERT_EQ(Dlg().BackupFirmware(), 1);
  // Pauses: 2 s after each device (4 s select pause inside each read-back), 3 s before the
  // reboot, then the reboot's own 2 s and countdown.
  EXPECT_EQ(clock_.TotalMilliseconds(), 7u * (4000 + 2000) + 3000 + 2000 + 30000);
  const std::string path = BackupPath("orva_tarvo_SN004711_backup_02.tvf");
  EXPECT_EQ(Dlg().LastBackupFile(), path);
  EXPECT_EQ(ReadFileText(BackupPath("orva_tarvo_SN004711_backup.tvf")), "x");
  EXPECT_EQ(NewLogLines().front(), "Creating backup file: " + path + ".");

  CFirmwarePacket backup;
  ASSERT_TRUE(backup.LoadPacket(path)) << backup.LastError();
  EXPECT_THAT(EntryDevices(backup), ElementsAre(7, 1, 2, 3, 4, 5, 0));
  ProgramOrder order;
  ASSERT_TRUE(backup.GetOrder(&order));
  EXPECT_THAT(std::vector<std::uint16_t>(order.begin(), order.begin() + 8),
              ElementsAre(7, 1, 2, 3, 4, 5, 0, ORDER_END));
  EXPECT_EQ(order[63], ORDER_END);

  // Each entry is the camera's firmware as the device holds it.
  for (const PacketEntryInfo& entry : backup.LoadedEntries()) {
    std::vector<std::uint8_t> image(IMAGE_BUFFER_SIZE);
    std::uint32_t start = 0, end = 0, size = 0;
    ASSERT_TRUE(backup.GetImage(entry.deviceIndex, image.data(), &start, &end, &size));
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + start, image.begin() + start + size),
              ReadFlash(entry.deviceIndex, start, size))
        << entry.deviceIndex;
    EXPECT_EQ(entry.version.major, 1);
  }
  // The backup loads and lists its versions like any other packet.
  ASSERT_EQ(Dlg().LoadPacketFile(path), 1);
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).packetText, "001 V01.00");
  EXPECT_EQ(window_.Row(DEVICE_POWER_UP).packetText, "");
}

TEST_F(FirmwareBackup, MainFpgaVariantTwoLeavesTheHdsdiBoardOut) {
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 2, 1, 0));
  ConnectFresh();
  ASSERT_EQ(Dlg().Camera().current[DEVICE_MAIN_FPGA].variant, 2);
  const auto telegrams = TracedCodes([&] { ASSERT_EQ(Dlg().BackupFirmware(), 1); });
  EXPECT_EQ(telegrams.front(), "4103");
  EXPECT_EQ(std::count(telegrams.begin(), telegrams.end(), "4A03"), 0);
  // Six devices with their select pause and the pause after each.
  EXPECT_EQ(clock_.TotalMilliseconds(), 6u * 6000 + 3000 + 32000);
  CFirmwarePacket backup;
  ASSERT_TRUE(backup.LoadPacket(Dlg().LastBackupFile()));
  EXPECT_THAT(EntryDevices(backup), ElementsAre(1, 2, 3, 4, 5, 0));
}

// A device left out or failed fails the backup, but the others follow and the file is written;
// so it is when the camera does not come back after the reboot.
TEST_F(FirmwareBackup, FailuresFailTheBackupButTheFileHoldsTheOtherDevices) {
  const struct {
    const char* name;
    std::function<void()> fault;
    std::vector<unsigned> entries;
    bool mainFpgaFailed;
  } cases[] = {
      {"Boot uP 0.95",
       [&] { FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 0, 95)); },
       {7, 1, 2, 3, 4, 5},
       false},
      {"Main FPGA fails",
       [&] {
         FailTelegram(DeviceSelectCode(DEVICE_MAIN_FPGA), 1,
                      sim::CameraError(sim::kFwDeviceNotAvailable));
       },
       {7, 1, 3, 4, 5, 0},
       true},
      {"not back",
       [&] { ChangeCamera([](sim::CameraState& state) { state.faults.notBackAfterReboot = 1; }); },
       {7, 1, 2, 3, 4, 5, 0},
       false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetCamera(true);
    c.fault();
    ConnectFresh();
    EXPECT_EQ(Dlg().BackupFirmware(), 0);
    CFirmwarePacket backup;
    ASSERT_TRUE(backup.LoadPacket(Dlg().LastBackupFile()));
    EXPECT_EQ(EntryDevices(backup), c.entries);
    EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar == (ProgressColour{255, 0, 0}),
              c.mainFpgaFailed);
  }
}

// Three devices whose headers claim nearly 8 MB each would pass the packet's 20,000,000 bytes:
// the one that does not fit is left out, the others are stored.
TEST_F(FirmwareBackup, AnImageThePacketCannotTakeCountsAsAFailedDevice) {
  for (DeviceIndex device : {DEVICE_MAIN_FPGA, DEVICE_MEM_FPGA_1, DEVICE_MEM_FPGA_2}) {
    PacketImage image = PlainImage(device, 0, 512, device);
    const std::uint32_t length = 7000000;
    for (int i = 0; i < 4; ++i) image.bytes[28 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    FactoryWrite(image);
  }
  EXPECT_EQ(Dlg().BackupFirmware(), 0);
  EXPECT_EQ(window_.Row(DEVICE_MEM_FPGA_2).progressBar, (ProgressColour{255, 0, 0}));
  bool logged = false;
  for (const std::string& line : NewLogLines()) {
    if (line.rfind("ERROR: Storing device Mem FPGA 2 in the backup failed: ", 0) == 0)
      logged = true;
  }
  EXPECT_TRUE(logged);
  CFirmwarePacket backup;
  ASSERT_TRUE(backup.LoadPacket(Dlg().LastBackupFile())) << backup.LastError();
  EXPECT_THAT(EntryDevices(backup), ElementsAre(7, 1, 2, 3, 5, 0));
}

TEST_F(FirmwareBackup, BackupButtonReportsInTheStatusLine) {
  Dlg().OnBackup();
  EXPECT_EQ(window_.StatusText(), "Creating backup successful.");
  EXPECT_TRUE(Dlg().ControlsEnabled());
  ChangeCamera([](sim::CameraState& state) { state.faults.notBackAfterReboot = 1; });
  EXPECT_EQ(Dlg().OnBackup(), 0);
  EXPECT_THAT(window_.StatusLines(), testing::IsSupersetOf({"Creating backup failed."}));
  EXPECT_EQ(window_.StatusText(),
            "Backup FAILED: backup incomplete, the camera did not come back after its reboot.");
  const RunReport& report = Dlg().LastRun();
  EXPECT_FALSE(report.succeeded);
  EXPECT_FALSE(report.backup.complete);
  EXPECT_FALSE(report.backup.cameraBack);
  EXPECT_EQ(report.backup.file, Dlg().LastBackupFile());
}

}  // namespace
}  // namespace tarvo::test
