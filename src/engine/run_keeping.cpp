// Keeping the run report: a fresh report when a run begins, with what the run starts from (the
// camera, the interface, the packet, the log); failures added as they are found; the outcome
// settled when the run ends.
#include <algorithm>

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
    report_.packet.path = loadedPacketPath_;
    PacketHeaderInfo header;
    if (packet_.GetHeader(&header)) {
      report_.packet.creationText = header.creationText;
      report_.packet.checkWord = header.checkWord;
    }
  }
  report_.log.path = log_.Path();
  report_.log.open = log_.IsOpen();
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
  // A log that was open at the start and is closed now lost a line to a write error.
  report_.log.writeFailed = report_.log.open && !log_.IsOpen();
  report_.finished = true;
  report_.succeeded = report_.failures.empty();
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
  report_.log.sealed = log_.Close();
}

}  // namespace tarvo
