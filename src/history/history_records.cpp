#include "history/history_records.h"

#include "log/format_text.h"

namespace tarvo::history {

namespace {

const char* InterfaceName(InterfaceType type) {
  switch (type) {
    case INTERFACE_USB3:
      return "usb3";
    case INTERFACE_GIGE:
      return "gige";
    default:
      return "usb2";
  }
}

nlohmann::json VersionJson(const DeviceVersion& version) {
  if (!version.IsAvailable()) return nullptr;
  return {{"variant", version.variant},
          {"major", version.major},
          {"minor", version.minor},
          {"text", FormatDeviceVersion(version)}};
}

nlohmann::json PacketJson(const PacketRecord& packet) {
  if (!packet.loaded) return nullptr;
  return {{"path", packet.path},
          {"creationText", packet.creationText},
          {"checkWord", FormatText("%08x", packet.checkWord)}};
}

nlohmann::json DeviceJson(const DeviceRecord& record) {
  nlohmann::json device = {{"index", record.device},
                           {"name", DeviceDisplayName(record.device)},
                           {"outcome", DeviceOutcomeName(record.outcome)}};
  if (record.resultCode != 0) device["resultCode"] = FormatText("%08x", record.resultCode);
  if (record.failedAddress >= 0) {
    device["failedAddress"] = FormatText("%08x", static_cast<std::uint32_t>(record.failedAddress));
  }
  if (!record.errorText.empty()) device["errorText"] = record.errorText;
  if (!record.reason.empty()) device["reason"] = record.reason;
  return device;
}

nlohmann::json Header(const char* kind, const RunReport& run, const std::string& time) {
  return {{"record", kind},
          {"schemaVersion", kHistorySchemaVersion},
          {"time", time},
          {"program", run.program},
          {"serialNumber", run.serialBefore}};
}

}  // namespace

std::string TimeText(const platform::CalendarTime& time) {
  return FormatText("%04d-%02d-%02dT%02d:%02d:%02d.%03d", time.year, time.month, time.day,
                    time.hour, time.minute, time.second, time.millisecond);
}

nlohmann::json RunRecord(const RunReport& run) {
  nlohmann::json record = Header("run", run, TimeText(run.started));
  record["run"] = RunKindName(run.kind);
  record["interface"] = InterfaceName(run.interfaceType);
  record["mode"] = run.emergencyMode ? "emergency" : "normal";
  record["serialAfter"] = run.serialAfter;
  record["packet"] = PacketJson(run.packet);
  record["durationMs"] = run.durationMs;
  record["result"] = run.succeeded ? "succeeded" : "failed";
  nlohmann::json failures = nlohmann::json::array();
  for (RunFailure failure : run.failures) failures.push_back(RunFailureName(failure));
  record["failures"] = failures;
  nlohmann::json devices = nlohmann::json::array();
  for (const DeviceRecord& device : run.devices) {
    if (device.planned) devices.push_back(DeviceJson(device));
  }
  record["devices"] = devices;
  if (run.backup.requested || run.backup.attempted) {
    nlohmann::json stored = nlohmann::json::array();
    for (const DeviceRecord& device : run.backup.devices) stored.push_back(DeviceJson(device));
    record["backup"] = {{"file", run.backup.file.empty() ? nlohmann::json(nullptr)
                                                         : nlohmann::json(run.backup.file)},
                        {"complete", run.backup.complete},
                        {"devices", stored}};
  } else {
    record["backup"] = nullptr;
  }
  return record;
}

nlohmann::json DeviceStartRecord(const RunReport& run, DeviceIndex device) {
  nlohmann::json record = Header("device-start", run, TimeText(platform::LocalTimeNow()));
  record["device"] = {{"index", device}, {"name", DeviceDisplayName(device)}};
  record["versionBefore"] = VersionJson(run.versionsBefore[device]);
  record["packetVersion"] = VersionJson(run.packetVersions[device]);
  record["packet"] = PacketJson(run.packet);
  return record;
}

nlohmann::json DeviceEndRecord(const RunReport& run, DeviceIndex device) {
  nlohmann::json record = Header("device-end", run, TimeText(platform::LocalTimeNow()));
  record["device"] = DeviceJson(run.devices[device]);
  return record;
}

}  // namespace tarvo::history
