// The records of the service history, one JSON object a line: a "run" record when a run on a
// camera has ended (the run report, as every JSON document shows it), and for each device a
// Program run works on a "device-start" record before its erase and a "device-end" record with
// its outcome. Every record carries its kind, the time, the program that wrote it and the
// camera's serial number.
#pragma once

#include <string>

#include "engine/run_report.h"
#include "log/log_file.h"
#include "report/run_report_json.h"

namespace tarvo::history {

using Record = report_json::Json;

inline constexpr int kHistorySchemaVersion = 1;

Record RunRecord(const RunReport& run);
Record DeviceStartRecord(const RunReport& run, DeviceIndex device);
Record DeviceEndRecord(const RunReport& run, DeviceIndex device);

}  // namespace tarvo::history
