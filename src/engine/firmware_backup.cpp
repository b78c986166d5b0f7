// Keeping a copy of the camera's firmware before it is changed: the devices are read back into
// a new packet file in the log folder, named after the camera, never over an older backup.
#include <vector>

#include "engine/program_order.h"
#include "engine/programmer_dlg.h"

namespace tarvo {

namespace {

constexpr std::uint32_t kPauseAfterDeviceMs = 2000;
constexpr std::uint32_t kPauseBeforeRebootMs = 3000;

}  // namespace

std::string CProgrammerDlg::NextBackupFileName() const {
  const int serial = camera_.serialNumber;
  std::string path =
      platform::JoinPath(logFolder_, FormatText("orva_tarvo_SN%06d_backup.tvf", serial));
  for (unsigned number = 1; platform::PathExists(path); ++number) {
    path = platform::JoinPath(logFolder_,
                              FormatText("orva_tarvo_SN%06d_backup_%02u.tvf", serial, number));
  }
  return path;
}

// A device that cannot be read back or stored is left out and the backup goes on; the file is
// still written with what was read, and the result tells that it is incomplete. The stored
// order programs the devices back in the order they were read.
int CProgrammerDlg::BackupFirmware() {
  lastBackupFile_.clear();
  int ok = 1;
  const std::string path = NextBackupFileName();
  WriteLog("Creating backup file: %s.", path.c_str());

  CFirmwarePacket backup;
  if (!backup.CreatePacket()) {
    ShowResult(false, "%s", backup.LastError().c_str());
    return 0;
  }
  std::vector<DeviceIndex> stored;
  for (DeviceIndex device : kBackupDevices) {
    if (device == DEVICE_HDSDI_FPGA &&
        camera_.current[DEVICE_MAIN_FPGA].variant != kHdsdiMainFpgaVariant) {
      continue;
    }
    ReadBackImage image;
    if (ReadBackDevice(device, &image) == 0) {
      ok = 0;
    } else if (!backup.AddImage(static_cast<std::uint16_t>(device),
                                static_cast<std::uint32_t>(image.start),
                                static_cast<std::uint32_t>(image.size),
                                readBackBuffer_.get() + image.start, image.version)) {
      WriteLog("ERROR: Storing device %s in the backup failed: %s", DeviceDisplayName(device),
               backup.LastError().c_str());
      SetDeviceProgress(device, PROGRESS_FAILED);
      ok = 0;
    } else {
      stored.push_back(device);
    }
    Wait(kPauseAfterDeviceMs);
  }
  Wait(kPauseBeforeRebootMs);
  if (RebootAndReconnect() == 0) ok = 0;

  if (!backup.SetOrder(OrderOfDevices(stored)) || !backup.SealPacket() ||
      !backup.SavePacket(path)) {
    ShowResult(false, "Creating backup file failed.");
    return 0;
  }
  lastBackupFile_ = path;
  return ok;
}

int CProgrammerDlg::OnBackup() {
  EnableControls(false);
  WriteLog("Creating backup of camera firmware.");
  const int result = BackupFirmware();
  if (result == 1) {
    ShowStatus("Creating backup successful.");
  } else {
    ShowStatus("Creating backup failed.");
  }
  EnableControls(true);
  return result;
}

}  // namespace tarvo
