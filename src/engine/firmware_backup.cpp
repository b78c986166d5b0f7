// Keeping a copy of the camera's firmware before it is changed: the devices are read back into
// a new packet file in the log folder, named after the camera, never over an older backup.
#include <vector>

#include "engine/camera_pauses.h"
#include "engine/program_order.h"
#include "engine/programmer_dlg.h"
#include "platform/folders.h"
#include "platform/new_file.h"
#include "platform/system_error.h"

namespace tarvo {

namespace {

// The first backup of a camera has the plain name, later ones are numbered from 1.
std::string BackupFileName(const std::string& folder, int serial, unsigned number) {
  return platform::JoinPath(
      folder, number == 0 ? FormatText("orva_tarvo_SN%06d_backup.tvf", serial)
                          : FormatText("orva_tarvo_SN%06d_backup_%02u.tvf", serial, number));
}

}  // namespace

std::string CProgrammerDlg::NextBackupFileName() const {
  unsigned number = 0;
  while (platform::PathExists(BackupFileName(logFolder_, camera_.serialNumber, number))) ++number;
  return BackupFileName(logFolder_, camera_.serialNumber, number);
}

// The name is taken by creating the file exclusively: of two programs backing up the same
// camera at once, each gets a name of its own. The empty file is replaced by the backup when it
// is written, and removed when it is not.
bool CProgrammerDlg::ReserveBackupFile(std::string* path) {
  for (unsigned number = 0;; ++number) {
    *path = BackupFileName(logFolder_, camera_.serialNumber, number);
    const platform::NewFileResult result = platform::CreateNewFile(*path);
    if (result == platform::NewFileResult::kCreated) return true;
    if (result == platform::NewFileResult::kFailed) {
      report_.backup.failure = *path + ": " + platform::LastSystemErrorText();
      return false;
    }
  }
}

// A device that cannot be read back or stored is left out and the backup goes on; the file is
// still written with what was read, and the result tells that it is incomplete. The stored
// order programs the devices back in the order they were read. Without a data folder there is
// no place for a backup: it is never written beside the program or into the working folder,
// where a later start would take it for the packet to load.
int CProgrammerDlg::BackupFirmware() {
  lastBackupFile_.clear();
  BackupRecord& record = report_.backup;
  const bool requested = record.requested;
  record = BackupRecord{};
  record.requested = requested;
  record.attempted = true;
  if (logFolder_.empty()) {
    record.failure = std::string("no data folder: ") + platform::NoDataFolderReason();
    AddFailure(RunFailure::kNoDataFolder);
    ShowStatus("ERROR: No folder for the backup: %s.", record.failure.c_str());
    ShowResult(false, "Creating backup file failed.");
    return 0;
  }
  int ok = 1;
  std::string path;
  if (!ReserveBackupFile(&path)) {
    ShowStatus("ERROR: No name for the backup could be taken: %s.", record.failure.c_str());
    ShowResult(false, "Creating backup file failed.");
    return 0;
  }
  WriteLog("Creating backup file: %s.", path.c_str());

  CFirmwarePacket backup;
  if (!backup.CreatePacket()) {
    platform::RemoveFile(path);
    record.failure = backup.LastError();
    ShowResult(false, "%s", backup.LastError().c_str());
    return 0;
  }
  const std::vector<BackupStep> steps = PlanBackupSteps(camera_.current);
  for (const BackupStep& step : steps) BackupDevice(step.device).reason = step.reason;
  std::vector<DeviceIndex> stored;
  for (const BackupStep& step : steps) {
    const DeviceIndex device = step.device;
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
      BackupDevice(device).outcome = DeviceOutcome::kNotStored;
      BackupDevice(device).reason = backup.LastError();
      ok = 0;
    } else {
      BackupDevice(device).outcome = DeviceOutcome::kStored;
      stored.push_back(device);
    }
    Wait(kPauseAfterBackupDeviceMs);
  }
  Wait(kPauseBeforeBackupRebootMs);
  record.cameraBack = RebootAndReconnect(RebootPurpose::kAfterBackup) == 1;
  if (!record.cameraBack) ok = 0;

  if (!backup.SetOrder(OrderOfDevices(stored)) || !backup.SealPacket() ||
      !backup.SavePacket(path)) {
    platform::RemoveFile(path);
    record.failure = backup.LastErrorWithDetail();
    ShowResult(false, "Creating backup file failed.");
    return 0;
  }
  lastBackupFile_ = path;
  record.file = path;
  record.complete = ok == 1;
  return ok;
}

int CProgrammerDlg::OnBackup() {
  EnableControls(false);
  BeginRun(RunKind::kBackup);
  report_.backup.requested = true;
  WriteLog("Creating backup of camera firmware.");
  if (BackupFirmware() == 0) AddFailure(RunFailure::kBackupFailed);
  FinishRun();
  if (report_.succeeded) {
    ShowStatus("Creating backup successful.");
  } else {
    ShowStatus("Creating backup failed.");
    ShowStatus("%s", RunFailureSummary(report_).c_str());
  }
  EnableControls(true);
  return report_.succeeded ? 1 : 0;
}

}  // namespace tarvo
