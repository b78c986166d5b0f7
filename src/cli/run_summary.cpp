#include "cli/run_summary.h"

#include <cstdio>

#include "cli/terminal_report.h"
#include "log/format_text.h"

namespace tarvo::cli {

namespace {

// "Main FPGA: programming failed: function return 80031057, failed at addr. 00000200: <text>"
std::string DeviceProblem(const DeviceRecord& record, const char* what) {
  std::string line = FormatText("%s: %s", DeviceDisplayName(record.device), what);
  if (record.resultCode != 0) line += FormatText(": function return %08x", record.resultCode);
  if (record.failedAddress >= 0) {
    line += FormatText(", failed at addr. %08x", static_cast<std::uint32_t>(record.failedAddress));
  }
  if (record.outcome == DeviceOutcome::kVerifyFailed && record.differingBytes > 0) {
    line += FormatText(", %u bytes differ", record.differingBytes);
  }
  if (!record.errorText.empty()) line += ": " + record.errorText;
  if (!record.reason.empty()) line += ": " + record.reason;
  return line;
}

void AddDeviceProblems(const RunReport& report, std::vector<std::string>* lines) {
  for (const DeviceRecord& record : report.devices) {
    switch (record.outcome) {
      case DeviceOutcome::kProgramFailed:
        lines->push_back(DeviceProblem(record, "programming failed"));
        break;
      case DeviceOutcome::kVerifyFailed:
        lines->push_back(DeviceProblem(record, "verify failed"));
        break;
      case DeviceOutcome::kNotStored:
        lines->push_back(DeviceProblem(record, "not stored"));
        break;
      case DeviceOutcome::kSkipped:
        // After a failed backup nothing was meant to be programmed.
        if (!report.HasFailure(RunFailure::kStoppedAfterBackup)) {
          lines->push_back(DeviceProblem(record, "not programmed"));
        }
        break;
      default:
        break;
    }
  }
}

void AddBackupProblems(const RunReport& report, std::vector<std::string>* lines) {
  const BackupRecord& backup = report.backup;
  if (!backup.attempted || backup.complete) return;
  for (const DeviceRecord& record : backup.devices) {
    if (record.outcome == DeviceOutcome::kRefused) {
      lines->push_back(DeviceProblem(record, "not in the backup"));
    } else if (record.outcome != DeviceOutcome::kStored) {
      lines->push_back(DeviceProblem(record, "read-back for the backup failed"));
    }
  }
  if (backup.file.empty()) {
    std::string line = "No backup file was written";
    if (!backup.failure.empty()) line += ": " + backup.failure;
    if (line.back() != '.') line += '.';
    lines->push_back(line);
  } else {
    lines->push_back("The backup " + backup.file + " is incomplete.");
  }
  if (backup.continuedWithout) {
    lines->push_back("The camera was updated anyway (--continue-without-backup).");
  }
}

void AddRebootProblems(const RunReport& report, std::vector<std::string>* lines) {
  for (const RebootRecord& reboot : report.reboots) {
    switch (reboot.result) {
      case ReconnectResult::kNoAnswer:
        lines->push_back(FormatText("The camera did not answer after a reboot (%s): %08x.",
                                    RebootPurposeName(reboot.purpose), reboot.resultCode));
        break;
      case ReconnectResult::kOtherModel:
        lines->push_back(
            FormatText("After a reboot (%s) a camera of another model answered (type %04x).",
                       RebootPurposeName(reboot.purpose), reboot.cameraType));
        break;
      case ReconnectResult::kOtherSerial:
        lines->push_back(FormatText(
            "After a reboot (%s) camera SN %d answered instead of camera SN %d.",
            RebootPurposeName(reboot.purpose), reboot.serialNumber, report.serialBefore));
        break;
      case ReconnectResult::kSameCamera:
        break;
    }
  }
}

void AddVersionCheckProblems(const RunReport& report, std::vector<std::string>* lines) {
  for (DeviceIndex device : report.versionCheck.mismatched) {
    const DeviceVersion& after = report.versionsAfter[device];
    lines->push_back(FormatText(
        "%s reports %s after the update; the packet holds %s.", DeviceDisplayName(device),
        after.IsAvailable() ? FormatDeviceVersion(after).c_str() : "no version",
        FormatDeviceVersion(report.packetVersions[device]).c_str()));
  }
}

}  // namespace

int RunExitStatus(const RunReport& report) {
  return report.finished && report.succeeded ? 0 : 1;
}

std::vector<std::string> RunProblemLines(const RunReport& report) {
  std::vector<std::string> lines;
  if (report.succeeded) {
    // A backup the user chose to do without still deserves a word.
    AddBackupProblems(report, &lines);
    return lines;
  }
  AddBackupProblems(report, &lines);
  AddDeviceProblems(report, &lines);
  AddRebootProblems(report, &lines);
  AddVersionCheckProblems(report, &lines);
  return lines;
}

void PrintRunSummary(const RunReport& report) {
  if (!report.backup.file.empty()) {
    std::printf("Backup file: %s\n", report.backup.file.c_str());
    std::fflush(stdout);
  }
  for (const std::string& line : RunProblemLines(report)) PrintError(line);
}

}  // namespace tarvo::cli
