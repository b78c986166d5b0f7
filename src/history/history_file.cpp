#include "history/history_file.h"

#include <algorithm>
#include <fstream>
#include <map>

#include "platform/durable_append.h"
#include "platform/folders.h"

namespace tarvo::history {

namespace {

bool IsRecord(const Record& record, const char* kind) {
  return record.is_object() && record.value("record", "") == kind;
}

bool IsOfCamera(const Record& record, std::int32_t serialNumber) {
  const auto found = record.find("serialNumber");
  return found != record.end() && found->is_number_integer() &&
         found->get<std::int64_t>() == serialNumber;
}

std::optional<DeviceIndex> DeviceOf(const Record& record) {
  const auto device = record.find("device");
  if (device == record.end() || !device->is_object()) return std::nullopt;
  const auto index = device->find("index");
  if (index == device->end() || !index->is_number_unsigned()) return std::nullopt;
  const auto value = index->get<std::uint64_t>();
  if (value >= kDeviceCount) return std::nullopt;
  return static_cast<DeviceIndex>(value);
}

}  // namespace

std::vector<Record> ReadRecords(const std::string& path) {
  std::vector<Record> records;
  std::ifstream file(path, std::ios::binary);
  for (std::string line; std::getline(file, line);) {
    Record record = Record::parse(line, nullptr, false);
    if (!record.is_discarded() && record.is_object()) records.push_back(std::move(record));
  }
  return records;
}

std::vector<Record> RunRecords(const std::vector<Record>& records,
                               std::optional<std::int32_t> serialNumber) {
  std::vector<Record> runs;
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    if (IsRecord(*it, "run") && (!serialNumber || IsOfCamera(*it, *serialNumber))) {
      runs.push_back(*it);
    }
  }
  return runs;
}

std::vector<DeviceIndex> UnfinishedDevices(const std::vector<Record>& records,
                                           std::int32_t serialNumber) {
  std::array<bool, kDeviceCount> unfinished{};
  for (const Record& record : records) {
    if (!IsOfCamera(record, serialNumber)) continue;
    const std::optional<DeviceIndex> device = DeviceOf(record);
    if (!device) continue;
    if (IsRecord(record, "device-start")) {
      unfinished[*device] = true;
    } else if (IsRecord(record, "device-end")) {
      unfinished[*device] = record.value("outcome", "") != "programmed";
    }
  }
  std::vector<DeviceIndex> devices;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (unfinished[device]) devices.push_back(device);
  }
  return devices;
}

std::optional<std::string> LatestCompleteBackup(const std::vector<Record>& records,
                                                std::int32_t serialNumber) {
  for (const Record& run : RunRecords(records, serialNumber)) {
    const auto backup = run.find("backup");
    if (backup == run.end() || !backup->is_object() || !backup->value("complete", false)) continue;
    const auto file = backup->find("file");
    if (file != backup->end() && file->is_string() &&
        platform::PathExists(file->get<std::string>())) {
      return file->get<std::string>();
    }
  }
  return std::nullopt;
}

HistoryFile::HistoryFile(const std::string& logFolder)
    : path_(logFolder.empty() ? std::string() : platform::JoinPath(logFolder, kHistoryFileName)) {}

bool HistoryFile::Append(const Record& record) {
  if (path_.empty()) {
    problem_ = std::string("no data folder: ") + platform::NoDataFolderReason();
    return false;
  }
  problem_.clear();
  std::string error;
  // A path or packet text that is not UTF-8 must not end the run: such bytes are replaced.
  const std::string line = record.dump(-1, ' ', false, Record::error_handler_t::replace);
  if (!platform::AppendLineDurably(path_, line, &error)) {
    problem_ = error;
    return false;
  }
  return true;
}

bool HistoryFile::DeviceStarted(const RunReport& run, DeviceIndex device) {
  return Append(DeviceStartRecord(run, device));
}

bool HistoryFile::DeviceEnded(const RunReport& run, DeviceIndex device) {
  return Append(DeviceEndRecord(run, device));
}

bool HistoryFile::RunEnded(const RunReport& run) {
  return Append(RunRecord(run));
}

std::vector<DeviceIndex> HistoryFile::UnfinishedDevices(std::int32_t serialNumber) {
  if (path_.empty()) return {};
  return history::UnfinishedDevices(ReadRecords(path_), serialNumber);
}

}  // namespace tarvo::history
