// The Program and Verify runs: which devices take part, in which order, the pauses between
// them, the reboots, and the one result box that ends each run. Both execute the steps their
// plan gives (run_plan.h) and record what happened in the run report, from which the result box
// and the final status line are made.
#include <algorithm>

#include "engine/programmer_dlg.h"
#include "engine/version_rules.h"

namespace tarvo {

namespace {

constexpr const char* kBackupFailedQuestion =
    "Creating backup file failed!\nDo you still want to proceed\nupdating the camera?";

const char* RunOutcome(const RunReport& report) {
  return report.succeeded ? "successful." : "FAILED!";
}

// A reboot whose camera came back as another camera, or as another model.
bool CameraChanged(const RebootRecord& reboot) {
  return reboot.result == ReconnectResult::kOtherSerial ||
         reboot.result == ReconnectResult::kOtherModel;
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

// A failed backup leaves the camera as it was; whether to update it anyway is the user's
// decision, and with no answer the camera is not touched.
bool CProgrammerDlg::StopAfterFailedBackup() {
  bool proceed = false;
  switch (backupFailureChoice_) {
    case BackupFailureChoice::kAsk:
      proceed = window_.AskYesNo(kBackupFailedQuestion);
      break;
    case BackupFailureChoice::kContinue:
      proceed = true;
      break;
    case BackupFailureChoice::kStop:
      break;
  }
  if (proceed) {
    report_.backup.continuedWithout = true;
    return false;
  }
  WriteLog("Backup failed -> user cancels programming.");
  AddFailure(RunFailure::kBackupFailed);
  AddFailure(RunFailure::kStoppedAfterBackup);
  return true;
}

void CProgrammerDlg::OnProgram() {
  if (CountCheckedDevices() == 0) return;
  EnableControls(false);
  BeginRun(RunKind::kProgram);
  const DeviceFlags checked = CheckedDevices();
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (!checked[device]) continue;
    report_.devices[device].planned = true;
    report_.devices[device].outcome = DeviceOutcome::kPending;
  }
  if (!emergencyMode_ && !window_.IsControlChecked(CommandControl::kSkipBackup)) {
    report_.backup.requested = true;
    WriteLog("Creating backup of camera firmware.");
    if (BackupFirmware() == 0 && StopAfterFailedBackup()) {
      FinishRun();
      ShowStatus("%s", RunFailureSummary(report_).c_str());
      EnableControls(true);
      return;
    }
  }
  WriteLog("Programming firmware started.");
  (void)ExecuteProgramOrder();
  FinishRun();
  if (!report_.succeeded) ShowStatus("%s", RunFailureSummary(report_).c_str());
  ShowResult(report_.succeeded, "Updating firmware\nin camera SN %d\n%s", report_.serialBefore,
             RunOutcome(report_));
  EnableControls(true);
}

// A failed device does not end the run: the order goes on, and the result tells. A camera that
// comes back from a reboot as another camera does end it: nothing more is written into a camera
// that is not the one being updated.
bool CProgrammerDlg::ProgramPlannedSteps(const std::vector<RunStep>& steps) {
  for (const RunStep& step : steps) {
    switch (step.kind) {
      case RunStepKind::kReboot:
        if (RebootAndReconnect(RebootPurpose::kOrderStep) == 0 &&
            CameraChanged(report_.reboots.back())) {
          AddFailure(RunFailure::kCameraChanged);
          WriteLog(
              "ERROR: Programming stopped: the camera that answered after the reboot is "
              "not camera SN %d.",
              report_.serialBefore);
          return false;
        }
        break;
      case RunStepKind::kWait:
        ShowStatus("Waiting %d seconds ...", static_cast<int>(step.waitMs / 1000));
        Wait(step.waitMs);
        break;
      case RunStepKind::kProgram:
        // The history holds the start before the erase and the outcome after it, so a run cut
        // off in between leaves the device marked as half-written.
        if (history_ != nullptr) RecordInHistory(history_->DeviceStarted(report_, step.device));
        if (ProgramDevice(step.device) == 0) AddFailure(RunFailure::kDeviceFailed);
        if (history_ != nullptr) RecordInHistory(history_->DeviceEnded(report_, step.device));
        Wait(step.pauseMs);
        break;
      default:
        break;
    }
  }
  return true;
}

// After the order the camera is rebooted and its versions read again; only the camera the run
// began with is judged, and without its versions nothing can be judged.
void CProgrammerDlg::FinishProgramRun() {
  if (RebootAndReconnect(RebootPurpose::kAfterProgramming) == 0 &&
      CameraChanged(report_.reboots.back())) {
    AddFailure(RunFailure::kCameraChanged);
    return;
  }
  if (ConnectCamera() == 0) {
    AddFailure(RunFailure::kConnectFailed);
    return;
  }
  report_.serialAfter = camera_.serialNumber;
  if (camera_.serialNumber != report_.serialBefore) {
    AddFailure(RunFailure::kCameraChanged);
    WriteLog("ERROR: Camera SN %d answered instead of camera SN %d: its versions are not checked.",
             camera_.serialNumber, report_.serialBefore);
    return;
  }
  report_.versionsAfter = camera_.current;
  if (CheckVersionsAfterUpdate() == 0) AddFailure(RunFailure::kVersionCheckFailed);
}

int CProgrammerDlg::ExecuteProgramOrder() {
  QueueCheckedDevices();
  order_ = RunnableOrder(packet_);
  const std::size_t failuresBefore = report_.failures.size();
  const std::vector<RunStep> steps =
      PlanProgramSteps(order_, CheckedDevices(), SelectedInterface());
  if (ProgramPlannedSteps(steps)) FinishProgramRun();
  for (DeviceRecord& record : report_.devices) {
    if (record.outcome != DeviceOutcome::kPending) continue;
    const bool ordered = std::any_of(steps.begin(), steps.end(), [&](const RunStep& step) {
      return step.kind == RunStepKind::kProgram && step.device == record.device;
    });
    record.reason =
        ordered ? "the run stopped before it" : "the packet's programming order does not name it";
  }
  return report_.failures.size() == failuresBefore ? 1 : 0;
}

void CProgrammerDlg::OnVerify() {
  if (CountCheckedDevices() == 0) return;
  WriteLog("Verifying firmware started.");
  EnableControls(false);
  BeginRun(RunKind::kVerify);
  (void)VerifyDevices();
  FinishRun();
  if (!report_.succeeded) ShowStatus("%s", RunFailureSummary(report_).c_str());
  ShowResult(report_.succeeded, "Verifying firmware\nin camera SN %d\n%s", report_.serialBefore,
             RunOutcome(report_));
  EnableControls(true);
}

// Only devices that carry the packet's version can match it; the others are passed over (and
// stay unchecked). Power uP cannot be read back and is never verified. A verify that compared
// no device proves nothing and fails.
int CProgrammerDlg::VerifyDevices() {
  const std::size_t failuresBefore = report_.failures.size();
  const std::vector<RunStep> steps =
      PlanVerifySteps(CheckedDevices(), camera_.current, loaded_, SelectedInterface());
  int compared = 0;
  for (const RunStep& step : steps) {
    DeviceRecord& record = report_.devices[step.device];
    if (step.kind == RunStepKind::kVersionDiffers) {
      window_.SetDeviceChecked(step.device, false);
      record.planned = true;
      record.outcome = DeviceOutcome::kPassedOver;
      record.reason = "the camera's version differs from the packet's";
    } else if (step.kind == RunStepKind::kNotVerifiable) {
      record.planned = true;
      record.outcome = DeviceOutcome::kNotVerifiable;
      record.reason = "cannot be read back";
    } else if (step.kind == RunStepKind::kVerify) {
      record.planned = true;
      record.outcome = DeviceOutcome::kPending;
      ++compared;
    }
  }
  QueueCheckedDevices();
  for (const RunStep& step : steps) {
    if (step.kind == RunStepKind::kVerify) {
      if (VerifyDevice(step.device) == 0) AddFailure(RunFailure::kDeviceFailed);
      Wait(step.pauseMs);
    } else if (step.kind == RunStepKind::kVerifyReboot &&
               RebootAndReconnect(RebootPurpose::kAfterVerify) == 0) {
      AddFailure(CameraChanged(report_.reboots.back()) ? RunFailure::kCameraChanged
                                                       : RunFailure::kCameraNotBack);
    }
  }
  if (compared == 0) {
    AddFailure(RunFailure::kNothingVerified);
    WriteLog(
        "ERROR: Nothing was verified: no selected device carries the packet's version and "
        "can be read back.");
  }
  return report_.failures.size() == failuresBefore ? 1 : 0;
}

}  // namespace tarvo
