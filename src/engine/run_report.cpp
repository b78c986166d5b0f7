#include "engine/run_report.h"

#include <algorithm>

#include "log/format_text.h"
#include "log/result_codes.h"

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

std::vector<DeviceIndex> RunReport::DevicesWith(DeviceOutcome outcome) const {
  std::vector<DeviceIndex> found;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (devices[device].outcome == outcome) found.push_back(device);
  }
  return found;
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
    case RunFailure::kCancelled:
      return "cancelled";
  }
  return "device-failed";
}

namespace {

const char* RunTitle(RunKind kind) {
  switch (kind) {
    case RunKind::kProgram:
      return "Update";
    case RunKind::kVerify:
      return "Verify";
    case RunKind::kBackup:
      return "Backup";
    case RunKind::kPacketGeneration:
      return "Packet generation";
    case RunKind::kNone:
      break;
  }
  return "Run";
}

std::string DeviceFailureText(const DeviceRecord& record) {
  std::string text = DeviceDisplayName(record.device);
  if (record.outcome == DeviceOutcome::kVerifyFailed && record.resultCode == ERR_VERIFY_FAILED) {
    return text + FormatText(" (%u bytes differ)", record.differingBytes);
  }
  if (record.resultCode == 0) {
    return record.reason.empty() ? text : text + " (" + record.reason + ")";
  }
  text += FormatText(" (code %08x", record.resultCode);
  if (record.failedAddress >= 0) {
    text += FormatText(" at %08x", static_cast<std::uint32_t>(record.failedAddress));
  }
  return text + ")";
}

std::string DeviceList(const RunReport& report, const std::vector<DeviceIndex>& devices) {
  std::vector<std::string> texts;
  for (DeviceIndex device : devices) texts.push_back(DeviceFailureText(report.devices[device]));
  return JoinTexts(texts, ", ");
}

std::string BackupFailureText(const RunReport& report) {
  std::vector<std::string> missing;
  for (const DeviceRecord& record : report.backup.devices) {
    if (record.outcome != DeviceOutcome::kStored) missing.push_back(DeviceFailureText(record));
  }
  std::string text = report.backup.file.empty() ? "backup not written" : "backup incomplete";
  if (!report.backup.failure.empty()) text += " (" + report.backup.failure + ")";
  if (!missing.empty()) text += ", not stored: " + JoinTexts(missing, ", ");
  if (report.backup.attempted && !report.backup.cameraBack && report.backup.failure.empty()) {
    text += ", the camera did not come back after its reboot";
  }
  return text;
}

const RebootRecord* LastChangedCamera(const RunReport& report) {
  for (auto it = report.reboots.rbegin(); it != report.reboots.rend(); ++it) {
    if (it->result == ReconnectResult::kOtherSerial || it->result == ReconnectResult::kOtherModel)
      return &*it;
  }
  return nullptr;
}

std::string FailurePart(const RunReport& report, RunFailure failure) {
  switch (failure) {
    case RunFailure::kDeviceFailed:
      return DeviceList(report, report.FailedDevices()) + " failed";
    case RunFailure::kBackupFailed:
      return BackupFailureText(report);
    case RunFailure::kStoppedAfterBackup:
      return "nothing was programmed";
    case RunFailure::kCameraChanged: {
      const RebootRecord* reboot = LastChangedCamera(report);
      if (reboot != nullptr && reboot->result == ReconnectResult::kOtherModel) {
        return FormatText("a camera of another model (type %04x) answered after the reboot",
                          reboot->cameraType);
      }
      return FormatText("camera SN %d answered instead of SN %d", report.serialAfter,
                        report.serialBefore);
    }
    case RunFailure::kCameraNotBack:
      return "the camera did not come back after the reboot";
    case RunFailure::kConnectFailed:
      return "the versions could not be read after the update";
    case RunFailure::kVersionCheckFailed: {
      std::string list;
      for (DeviceIndex device : report.versionCheck.mismatched) {
        if (!list.empty()) list += ", ";
        list += DeviceDisplayName(device);
      }
      return "version check failed for " + list;
    }
    case RunFailure::kNothingVerified:
      return "no device was compared";
    case RunFailure::kFileNotWritten:
      return "no file was written";
    case RunFailure::kNoDataFolder:
      return "no data folder for the backup";
    case RunFailure::kCancelled:
      return "cancelled";
  }
  return std::string();
}

}  // namespace

std::string RunFailureSummary(const RunReport& report) {
  if (report.failures.empty()) return std::string();
  std::vector<std::string> parts;
  for (RunFailure failure : report.failures) {
    // The backup's own failure says more than the note that the run stopped after it.
    parts.push_back(FailurePart(report, failure));
  }
  return std::string(RunTitle(report.kind)) + " FAILED: " + JoinTexts(parts, "; ") + ".";
}

}  // namespace tarvo
