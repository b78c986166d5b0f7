// Packet files the window writes: backups of the simulated camera (names that never replace an
// older backup, devices and order, pauses, the devices a backup misses) and generated packets.
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "engine/program_order.h"
#include "engine_fixture.h"
#include "platform/folders.h"
#include "sim/core/raw_image_files.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

// Devices of a loaded packet's entries, in stored order.
std::vector<unsigned> EntryDevices(const CFirmwarePacket& packet) {
  std::vector<unsigned> devices;
  for (const PacketEntryInfo& entry : packet.LoadedEntries()) devices.push_back(entry.deviceIndex);
  return devices;
}

class FirmwareBackup : public EngineFixture {
 protected:
  void SetUp() override { ConnectFresh(); }
  std::string BackupPath(const std::string& name) {
    return platform::JoinPath(Dlg().LogFolder(), name);
  }
  static void Touch(const std::string& path) { std::ofstream(path) << "x"; }
};

// The first free name (a gap first), never an older backup's; an order of its devices; 4 s select
// pause and 2 s after each device, 3 s before the reboot, its own 2 s and countdown. (That each
// entry holds what the camera held is pinned by the fault sweep.)
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

// A device left out or failed fails the backup, but the others follow and the file is written,
// also when the camera is not back after the reboot. Of three 7 MB devices the one past the
// packet's 20,000,000 bytes is left out (no variant 1 Main FPGA: HD-SDI is not asked).
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

class GeneratePacket : public EngineFixture {};

TEST_F(GeneratePacket, AsksOneFilePerDeviceAndStoresTheWholeOrderOrWritesNoFile) {
  sim::RawImageRequest request;
  request.major = 4;
  request.minor = 12;
  std::vector<std::string> written;
  std::string error;
  ASSERT_TRUE(sim::WriteRawImageFiles(temp_.File("raw"), request, &written, &error)) << error;
  const auto file = [&](DeviceIndex device) {
    return temp_.File("raw/" + sim::RawImageFileName(device, request));
  };
  CProgrammerDlg& dlg = Start(false, true);
  const std::vector<std::uint16_t> steps = {DEVICE_BOOT_UP, ORDER_REBOOT, 0x2005, DEVICE_MAIN_FPGA,
                                            DEVICE_BOOT_UP};
  dlg.Order().fill(ORDER_END);
  std::copy(steps.begin(), steps.end(), dlg.Order().begin());
  EXPECT_EQ(dlg.GeneratePacket(), 0);
  EXPECT_EQ(window_.StatusText(),
            "Packet generation cancelled: no image file was chosen for Boot uP; no file written.");

  // A device the order names twice is asked for once; the extension is added.
  window_.ScriptOpenFile(file(DEVICE_BOOT_UP));
  window_.ScriptOpenFile(file(DEVICE_MAIN_FPGA));
  window_.ScriptSaveFile(temp_.File("new"));
  EXPECT_EQ(dlg.GeneratePacket(), 1);
  EXPECT_THAT(window_.DialogFilters(),
              ElementsAre(DeviceImageFilter(DEVICE_BOOT_UP), DeviceImageFilter(DEVICE_BOOT_UP),
                          DeviceImageFilter(DEVICE_MAIN_FPGA), kPacketFileFilter));
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.LoadPacket(temp_.File("new.tvf"))) << packet.LastError();
  ProgramOrder order;
  ASSERT_TRUE(packet.GetOrder(&order));
  EXPECT_EQ(order, dlg.Order());
  EXPECT_THAT(EntryDevices(packet), ElementsAre(DEVICE_BOOT_UP, DEVICE_MAIN_FPGA));
  EXPECT_FALSE(dlg.Packet().IsLoaded());  // the window's own packet stays as it was

  NewLogLines();
  window_.ScriptOpenFile(file(DEVICE_BOOT_UP));
  window_.ScriptOpenFile(temp_.File("raw/missing.bit"));
  window_.ScriptSaveFile(temp_.File("broken.tvf"));
  EXPECT_EQ(dlg.GeneratePacket(), 0);
  EXPECT_FALSE(std::filesystem::exists(temp_.File("broken.tvf")));
  EXPECT_EQ(window_.BoxTexts().back(),
            "Creating packet file failed.\nImage file of Main FPGA could not be loaded.");
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, kRed);
  EXPECT_THAT(NewLogLines(), testing::Contains(testing::StartsWith("File error: ")));
  EXPECT_TRUE(dlg.LastRun().outputFile.empty());
}

}  // namespace
}  // namespace tarvo::test
