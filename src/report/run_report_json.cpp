#include "report/run_report_json.h"

#include "firmware/device_catalogue.h"
#include "log/format_text.h"

namespace tarvo::report_json {

namespace {

Json TextOrNull(const std::string& text) {
  return text.empty() ? Json() : Json(text);
}

Json NumberOrNull(std::int64_t value) {
  return value < 0 ? Json() : Json(value);
}

}  // namespace

Json DeviceOutcome(const DeviceRecord& record) {
  return {{"device", Device(record.device)},
          {"planned", record.planned},
          {"outcome", DeviceOutcomeName(record.outcome)},
          {"resultCode", Hex(record.resultCode, 8, true)},
          {"failedAddress", NumberOrNull(record.failedAddress)},
          {"differingBytes", record.differingBytes},
          {"errorText", TextOrNull(record.errorText)},
          {"reason", TextOrNull(record.reason)}};
}

namespace {

Json Devices(const std::vector<DeviceIndex>& devices) {
  Json list = Json::array();
  for (DeviceIndex device : devices) list.push_back(Device(device));
  return list;
}

Json Backup(const BackupRecord& backup) {
  Json devices = Json::array();
  for (const DeviceRecord& record : backup.devices) devices.push_back(DeviceOutcome(record));
  return {{"requested", backup.requested},         {"attempted", backup.attempted},
          {"file", TextOrNull(backup.file)},       {"complete", backup.complete},
          {"cameraBack", backup.cameraBack},       {"continuedWithout", backup.continuedWithout},
          {"failure", TextOrNull(backup.failure)}, {"devices", devices}};
}

Json Reboot(const RebootRecord& reboot) {
  return {{"purpose", RebootPurposeName(reboot.purpose)},
          {"requestSent", reboot.requestSent},
          {"result", ReconnectResultName(reboot.result)},
          {"resultCode", Hex(reboot.resultCode, 8, true)},
          {"cameraType", Hex(reboot.cameraType, 4, true)},
          {"serialNumber", NumberOrNull(reboot.serialNumber)}};
}

}  // namespace

Json Version(const DeviceVersion& version) {
  if (!version.IsAvailable()) return Json();
  return {{"text", FormatDeviceVersion(version)},
          {"variant", version.variant},
          {"major", version.major},
          {"minor", version.minor}};
}

Json Device(unsigned index) {
  return {{"index", index},
          {"name", IsDeviceIndex(index) ? std::string(DeviceDisplayName(index))
                                        : FormatText("device %u", index)}};
}

Json Hex(std::uint32_t value, int digits, bool zeroIsNone) {
  if (value == 0 && zeroIsNone) return Json();
  return FormatText("%0*x", digits, value);
}

std::string TimeText(const platform::CalendarTime& time) {
  return FormatText("%04d-%02d-%02dT%02d:%02d:%02d.%03d", time.year, time.month, time.day,
                    time.hour, time.minute, time.second, time.millisecond);
}

const char* InterfaceName(InterfaceType type) {
  if (type == INTERFACE_USB3) return "usb3";
  if (type == INTERFACE_GIGE) return "gige";
  return "usb2";
}

Json Packet(const PacketRecord& packet) {
  if (!packet.loaded) return Json();
  return {{"path", packet.path},
          {"creationText", packet.creationText},
          {"checkWord", Hex(packet.checkWord, 8)}};
}

Json Run(const RunReport& report) {
  Json failures = Json::array();
  for (RunFailure failure : report.failures) failures.push_back(RunFailureName(failure));
  Json devices = Json::array();
  for (const DeviceRecord& record : report.devices) {
    Json device = DeviceOutcome(record);
    device["versionBefore"] = Version(report.versionsBefore[record.device]);
    device["versionAfter"] = Version(report.versionsAfter[record.device]);
    device["packetVersion"] = Version(report.packetVersions[record.device]);
    devices.push_back(device);
  }
  Json reboots = Json::array();
  for (const RebootRecord& reboot : report.reboots) reboots.push_back(Reboot(reboot));
  return {{"kind", RunKindName(report.kind)},
          {"program", report.program},
          {"succeeded", report.finished && report.succeeded},
          {"failures", failures},
          {"started", TimeText(report.started)},
          {"durationMs", report.durationMs},
          {"interface", InterfaceName(report.interfaceType)},
          {"emergencyMode", report.emergencyMode},
          {"serialNumber", NumberOrNull(report.serialBefore)},
          {"serialNumberAfter", NumberOrNull(report.serialAfter)},
          {"packet", Packet(report.packet)},
          {"devices", devices},
          {"backup", Backup(report.backup)},
          {"reboots", reboots},
          {"versionCheck",
           {{"performed", report.versionCheck.performed},
            {"passed", report.versionCheck.passed},
            {"mismatched", Devices(report.versionCheck.mismatched)}}},
          {"outputFile", TextOrNull(report.outputFile)}};
}

Json Log(const std::string& path, bool sealed) {
  return {{"path", TextOrNull(path)}, {"sealed", sealed}};
}

const char* RunErrorCode(const RunReport& report) {
  static constexpr RunFailure kWeight[] = {
      RunFailure::kCameraChanged,   RunFailure::kNoDataFolder,       RunFailure::kBackupFailed,
      RunFailure::kDeviceFailed,    RunFailure::kCameraNotBack,      RunFailure::kConnectFailed,
      RunFailure::kNothingVerified, RunFailure::kVersionCheckFailed, RunFailure::kFileNotWritten,
      RunFailure::kCancelled,
  };
  for (RunFailure failure : kWeight) {
    if (report.HasFailure(failure)) return RunFailureName(failure);
  }
  return report.failures.empty() ? "failed" : RunFailureName(report.failures.front());
}

}  // namespace tarvo::report_json
