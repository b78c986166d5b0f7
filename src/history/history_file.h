// The service history file, history.jsonl in the log folder: append-only, one record a line,
// each line on disk before the run goes on. Reading skips a line that is not a whole record (the
// torn last line of a crash), so a damaged history never stops anything.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "engine/service_history.h"
#include "history/history_records.h"

namespace tarvo::history {

// Every whole record of the file, oldest first; none when the file is missing.
std::vector<nlohmann::json> ReadRecords(const std::string& path);

// The run records, newest first; of one camera only when a serial number is given.
std::vector<nlohmann::json> RunRecords(const std::vector<nlohmann::json>& records,
                                       std::optional<std::int32_t> serialNumber);

// The devices of the camera whose last "device-start" has no later "device-end" that says
// "programmed".
std::vector<DeviceIndex> UnfinishedDevices(const std::vector<nlohmann::json>& records,
                                           std::int32_t serialNumber);

// The backup file of the camera's newest run whose backup was complete and still exists.
std::optional<std::string> LatestCompleteBackup(const std::vector<nlohmann::json>& records,
                                                std::int32_t serialNumber);

class HistoryFile final : public ServiceHistory {
 public:
  // The history of the log folder; an empty folder gives a history that cannot be written.
  explicit HistoryFile(const std::string& logFolder);

  bool DeviceStarted(const RunReport& run, DeviceIndex device) override;
  bool DeviceEnded(const RunReport& run, DeviceIndex device) override;
  bool RunEnded(const RunReport& run) override;
  std::vector<DeviceIndex> UnfinishedDevices(std::int32_t serialNumber) override;
  const std::string& Path() const override { return path_; }
  const std::string& Problem() const override { return problem_; }

 private:
  bool Append(const nlohmann::json& record);

  std::string path_;
  std::string problem_;
};

}  // namespace tarvo::history
