// The records of the service history, one JSON object a line: a "run" record when a run on a
// camera has ended, and for each device a Program run works on a "device-start" record before
// its erase and a "device-end" record with its outcome. Every record carries the time, the
// camera's serial number and the program that wrote it.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "engine/run_report.h"
#include "log/log_file.h"

namespace tarvo::history {

inline constexpr int kHistorySchemaVersion = 1;

// "2026-12-07T09:30:12.345", local time.
std::string TimeText(const platform::CalendarTime& time);

nlohmann::json RunRecord(const RunReport& run);
nlohmann::json DeviceStartRecord(const RunReport& run, DeviceIndex device);
nlohmann::json DeviceEndRecord(const RunReport& run, DeviceIndex device);

}  // namespace tarvo::history
