#include "engine/run_report.h"

#include <algorithm>

#include "log/format_text.h"

namespace tarvo {

bool RunReport::HasFailure(RunFailure failure) const {
  return std::find(failures.begin(), failures.end(), failure) != failures.end();
}

std::vector<DeviceIndex> RunReport::FailedDevices() const {
  std::vector<DeviceIndex> failed;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    const DeviceOutcome outcome = devices[device].outcome;
    if (outcome == DeviceOutcome::kProgramFailed || outcome == DeviceOutcome::kVerifyFailed ||
        outcome == DeviceOutcome::kNotStored) {
      failed.push_back(device);
    }
  }
  return failed;
}

const char* RunKindName(RunKind kind) {
  switch (kind) {
    case RunKind::kNone:
      return "none";
    case RunKind::kProgram:
      return "program";
    case RunKind::kVerify:
      return "verify";
    case RunKind::kBackup:
      return "backup";
    case RunKind::kPacketGeneration:
      return "packet-generation";
  }
  return "none";
}

const char* DeviceOutcomeName(DeviceOutcome outcome) {
  switch (outcome) {
    case DeviceOutcome::kNotPlanned:
      return "not-planned";
    case DeviceOutcome::kPending:
      return "pending";
    case DeviceOutcome::kSkipped:
      return "skipped";
    case DeviceOutcome::kProgrammed:
      return "programmed";
    case DeviceOutcome::kProgramFailed:
      return "program-failed";
    case DeviceOutcome::kVerified:
      return "verified";
    case DeviceOutcome::kVerifyFailed:
      return "verify-failed";
    case DeviceOutcome::kPassedOver:
      return "passed-over";
    case DeviceOutcome::kNotVerifiable:
      return "not-verifiable";
    case DeviceOutcome::kStored:
      return "stored";
    case DeviceOutcome::kNotStored:
      return "not-stored";
    case DeviceOutcome::kRefused:
      return "refused";
  }
  return "not-planned";
}

const char* RebootPurposeName(RebootPurpose purpose) {
  switch (purpose) {
    case RebootPurpose::kOrderStep:
      return "order-step";
    case RebootPurpose::kAfterBackup:
      return "after-backup";
    case RebootPurpose::kAfterProgramming:
      return "after-programming";
    case RebootPurpose::kAfterVerify:
      return "after-verify";
  }
  return "order-step";
}

const char* ReconnectResultName(ReconnectResult result) {
  switch (result) {
    case ReconnectResult::kSameCamera:
      return "same-camera";
    case ReconnectResult::kNoAnswer:
      return "no-answer";
    case ReconnectResult::kOtherModel:
      return "other-model";
    case ReconnectResult::kOtherSerial:
      return "other-serial";
  }
  return "no-answer";
}

const char* RunFailureName(RunFailure failure) {
  switch (failure) {
    case RunFailure::kDeviceFailed:
      return "device-failed";
    case RunFailure::kBackupFailed:
      return "backup-failed";
    case RunFailure::kStoppedAfterBackup:
      return "stopped-after-backup";
    case RunFailure::kCameraChanged:
      return "camera-changed";
    case RunFailure::kCameraNotBack:
      return "camera-not-back";
    case RunFailure::kConnectFailed:
      return "connect-failed";
    case RunFailure::kVersionCheckFailed:
      return "version-check-failed";
    case RunFailure::kNothingVerified:
      return "nothing-verified";
    case RunFailure::kFileNotWritten:
      return "file-not-written";
    case RunFailure::kNoDataFolder:
      return "no-data-folder";
  }
  return "device-failed";
}

std::string RunFailureSummary(const RunReport&) {
  return std::string();
}

}  // namespace tarvo
