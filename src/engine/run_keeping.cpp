// Keeping the run report: a fresh report when a run begins, with what the run starts from (the
// camera, the interface, the packet, the log); failures added as they are found; the outcome
// settled when the run ends.
#include <algorithm>
#include <filesystem>
#include <utility>

#include "engine/programmer_dlg.h"
#include "log/error_texts.h"

namespace tarvo {

void CProgrammerDlg::BeginRun(RunKind kind) {
  report_ = RunReport{};
  report_.kind = kind;
  report_.started = platform::LocalTimeNow();
  runStart_ = std::chrono::steady_clock::now();
  report_.interfaceType = SelectedInterface();
  report_.emergencyMode = emergencyMode_;
  report_.serialBefore = camera_.serialNumber;
  report_.versionsBefore = camera_.current;
  report_.packetVersions = loaded_;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    report_.devices[device].device = device;
  }
  if (packetLoaded_) {
    report_.packet.loaded = true;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(loadedPacketPath_, error);
    report_.packet.path = error ? loadedPacketPath_ : absolute.lexically_normal().string();
    PacketHeaderInfo header;
    if (packet_.GetHeader(&header)) {
      report_.packet.creationText = header.creationText;
      report_.packet.checkWord = header.checkWord;
    }
  }
  report_.log.path = log_.Path();
  report_.log.open = log_.IsOpen();
  report_.program = programName_;
}

// Devices that were planned and never reached count as skipped. The run succeeded when nothing
// went wrong on the way.
void CProgrammerDlg::FinishRun() {
  for (DeviceRecord& record : report_.devices) {
    if (record.outcome == DeviceOutcome::kPending) record.outcome = DeviceOutcome::kSkipped;
  }
  for (DeviceRecord& record : report_.backup.devices) {
    if (record.outcome == DeviceOutcome::kPending) record.outcome = DeviceOutcome::kSkipped;
  }
  report_.durationMs =
      static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - runStart_)
                                     .count());
  report_.log.writeFailed = !log_.WriteFailure().empty();
  report_.finished = true;
  report_.succeeded = report_.failures.empty();
  // The history keeps what was done to cameras; generating a packet does nothing to one.
  if (history_ != nullptr && report_.kind != RunKind::kPacketGeneration) {
    RecordInHistory(history_->RunEnded(report_));
  }
}

void CProgrammerDlg::SetServiceHistory(ServiceHistory* history, std::string programName) {
  history_ = history;
  programName_ = std::move(programName);
}

// A history that cannot be written never stops a run; the run says so once, in the log and on
// the screen.
void CProgrammerDlg::RecordInHistory(bool written) {
  if (written || !report_.historyProblem.empty()) return;
  report_.historyProblem = history_->Problem();
  ShowStatus("ERROR: The service history %s cannot be written (%s); the run goes on without it.",
             history_->Path().c_str(), report_.historyProblem.c_str());
}

// Asked when a camera connects: the devices its last update left half-written.
void CProgrammerDlg::ReadUnfinishedDevices() {
  unfinished_ = DeviceFlags{};
  if (history_ == nullptr) return;
  for (DeviceIndex device : history_->UnfinishedDevices(camera_.serialNumber)) {
    if (IsDeviceIndex(device)) unfinished_[device] = true;
  }
}

void CProgrammerDlg::AddFailure(RunFailure failure) {
  if (!report_.HasFailure(failure)) report_.failures.push_back(failure);
}

void CProgrammerDlg::RecordDeviceFailure(DeviceIndex device, DeviceOutcome outcome,
                                         std::uint32_t result, std::int64_t failedAt) {
  DeviceRecord& record = report_.devices[device];
  record.outcome = outcome;
  record.resultCode = result;
  record.failedAddress = failedAt;
  record.errorText = result == 0 ? std::string() : DeviceErrorText(result);
}

DeviceRecord& CProgrammerDlg::BackupDevice(DeviceIndex device) {
  std::vector<DeviceRecord>& devices = report_.backup.devices;
  const auto found = std::find_if(devices.begin(), devices.end(),
                                  [device](const DeviceRecord& r) { return r.device == device; });
  if (found != devices.end()) return *found;
  DeviceRecord record;
  record.device = device;
  record.planned = true;
  record.outcome = DeviceOutcome::kPending;
  devices.push_back(record);
  return devices.back();
}

DeviceFlags CProgrammerDlg::CheckedDevices() const {
  DeviceFlags checked{};
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    checked[device] = window_.IsDeviceChecked(device);
  }
  return checked;
}

void CProgrammerDlg::CloseLog() {
  if (!log_.IsOpen()) return;
  log_.Close();
  report_.log.sealed = log_.Sealed();
}

}  // namespace tarvo
