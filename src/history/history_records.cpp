#include "history/history_records.h"

namespace tarvo::history {

namespace {

Record Header(const char* kind, const RunReport& run, const std::string& time) {
  return {{"record", kind},
          {"recordSchemaVersion", kHistorySchemaVersion},
          {"time", time},
          {"program", run.program},
          {"serialNumber", run.serialBefore}};
}

}  // namespace

Record RunRecord(const RunReport& run) {
  Record record = Header("run", run, report_json::TimeText(run.started));
  const Record report = report_json::Run(run);
  for (const auto& [key, value] : report.items()) record[key] = value;
  return record;
}

Record DeviceStartRecord(const RunReport& run, DeviceIndex device) {
  Record record = Header("device-start", run, report_json::TimeText(platform::LocalTimeNow()));
  record["device"] = report_json::Device(device);
  record["versionBefore"] = report_json::Version(run.versionsBefore[device]);
  record["packetVersion"] = report_json::Version(run.packetVersions[device]);
  record["packet"] = report_json::Packet(run.packet);
  return record;
}

Record DeviceEndRecord(const RunReport& run, DeviceIndex device) {
  Record record = Header("device-end", run, report_json::TimeText(platform::LocalTimeNow()));
  const Record outcome = report_json::DeviceOutcome(run.devices[device]);
  for (const auto& [key, value] : outcome.items()) record[key] = value;
  return record;
}

}  // namespace tarvo::history
