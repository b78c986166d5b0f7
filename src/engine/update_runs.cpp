// The Program and Verify runs: which devices take part, in which order, the pauses between
// them, the reboots, and the one result box that ends each run.
#include "engine/program_order.h"
#include "engine/programmer_dlg.h"
#include "engine/version_rules.h"

namespace tarvo {

namespace {

constexpr const char* kBackupFailedQuestion =
    "Creating backup file failed!\nDo you still want to proceed\nupdating the camera?";

const char* RunOutcome(int ok) {
  return ok == 1 ? "successful." : "FAILED!";
}

// Verify compares versions as one number: (variant x 256 + major) x 100 + minor.
std::int32_t VersionKey(const DeviceVersion& version) {
  return (version.variant * 256 + version.major) * 100 + version.minor;
}

}  // namespace

void CProgrammerDlg::QueueCheckedDevices() {
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (window_.IsDeviceChecked(device)) {
      SetDeviceProgress(device, PROGRESS_QUEUED);
    } else {
      window_.ShowDeviceProgress(device, false);
    }
  }
}

void CProgrammerDlg::OnProgram() {
  if (CountCheckedDevices() == 0) return;
  EnableControls(false);
  if (!emergencyMode_ && !window_.IsControlChecked(CommandControl::kSkipBackup)) {
    WriteLog("Creating backup of camera firmware.");
    if (BackupFirmware() == 0 && !window_.AskYesNo(kBackupFailedQuestion)) {
      WriteLog("Backup failed -> user cancels programming.");
      EnableControls(true);
      return;
    }
  }
  WriteLog("Programming firmware started.");
  const int ok = ExecuteProgramOrder();
  ShowResult(ok == 1, "Updating firmware\nin camera SN %d\n%s", camera_.serialNumber,
             RunOutcome(ok));
  EnableControls(true);
}

// A failed device does not end the run: the order goes on, and the result tells. The reboots
// inside the order and the final one are not judged themselves; the versions read afterwards
// are. Without them nothing can be judged, so a failed reading fails the run.
int CProgrammerDlg::ExecuteProgramOrder() {
  QueueCheckedDevices();
  order_ = RunnableOrder(packet_);
  int ok = 1;
  for (std::uint16_t code : order_) {
    const OrderStep step = ClassifyOrderStep(code);
    if (step.kind == OrderStepKind::kEnd || step.kind == OrderStepKind::kStop) break;
    if (step.kind == OrderStepKind::kReboot) {
      (void)RebootAndReconnect();
    } else if (step.kind == OrderStepKind::kWait) {
      ShowStatus("Waiting %d seconds ...", static_cast<int>(step.seconds));
      Wait(step.seconds * 1000);
    } else if (window_.IsDeviceChecked(step.device)) {
      if (ProgramDevice(step.device) == 0) ok = 0;
      Wait(ProgramPauseMilliseconds(step.device));
    }
  }
  (void)RebootAndReconnect();
  if (ConnectCamera() == 0) return 0;
  if (CheckVersionsAfterUpdate() == 0) ok = 0;
  return ok;
}

void CProgrammerDlg::OnVerify() {
  if (CountCheckedDevices() == 0) return;
  WriteLog("Verifying firmware started.");
  EnableControls(false);
  const int ok = VerifyDevices();
  ShowResult(ok == 1, "Verifying firmware\nin camera SN %d\n%s", camera_.serialNumber,
             RunOutcome(ok));
  EnableControls(true);
}

// Only devices that carry the packet's version can match it; the others are passed over (and
// stay unchecked), not counted as failures. Power uP cannot be read back and is never verified.
int CProgrammerDlg::VerifyDevices() {
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (window_.IsDeviceChecked(device) &&
        VersionKey(camera_.current[device]) != VersionKey(loaded_[device])) {
      window_.SetDeviceChecked(device, false);
    }
  }
  QueueCheckedDevices();
  int ok = 1;
  for (DeviceIndex device : kVerifyOrder) {
    if (!window_.IsDeviceChecked(device)) continue;
    if (VerifyDevice(device) == 0) ok = 0;
    Wait(VerifyPauseMilliseconds(device));
  }
  return RebootAndReconnect() == 1 ? ok : 0;
}

}  // namespace tarvo
