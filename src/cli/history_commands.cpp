// history: what was done to which camera, when, with which packet, and where its backup is.
// backup list: the backup files of the log folder with their camera, time and devices.
#include "cli/history_commands.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <optional>
#include <regex>

#include "cli/terminal_report.h"
#include "firmware/firmware_packet.h"
#include "history/history_file.h"
#include "log/format_text.h"
#include "log/log_file.h"
#include "platform/folders.h"

namespace tarvo::cli {

namespace {

std::string HistoryPath() {
  const std::string folder = DefaultLogFolder();
  return folder.empty() ? std::string() : platform::JoinPath(folder, kHistoryFileName);
}

std::string Text(const nlohmann::json& value) {
  return value.is_string() ? value.get<std::string>() : std::string();
}

// "Main FPGA programmed, Mem FPGA 1 program-failed (80031057 at 00000200)"
std::string DevicesText(const nlohmann::json& devices) {
  std::string text;
  for (const nlohmann::json& device : devices) {
    if (!text.empty()) text += ", ";
    text += Text(device["name"]) + " " + Text(device["outcome"]);
    if (device.contains("resultCode")) {
      text += " (" + Text(device["resultCode"]);
      if (device.contains("failedAddress")) text += " at " + Text(device["failedAddress"]);
      text += ")";
    }
  }
  return text.empty() ? "none" : text;
}

void PrintRun(const nlohmann::json& run) {
  std::string result = Text(run["result"]);
  if (!run["failures"].empty()) {
    std::string failures;
    for (const nlohmann::json& failure : run["failures"]) {
      failures += (failures.empty() ? "" : ", ") + Text(failure);
    }
    result += " (" + failures + ")";
  }
  std::printf("%s  SN %lld  %s on %s, %s  %s\n", Text(run["time"]).substr(0, 19).c_str(),
              static_cast<long long>(run.value("serialNumber", -1)), Text(run["run"]).c_str(),
              Text(run["interface"]).c_str(), Text(run["mode"]).c_str(), result.c_str());
  if (run["packet"].is_object()) {
    std::printf("    packet:  %s (%s)\n", Text(run["packet"]["path"]).c_str(),
                Text(run["packet"]["creationText"]).c_str());
  }
  std::printf("    devices: %s\n", DevicesText(run["devices"]).c_str());
  if (run["backup"].is_object()) {
    std::printf(
        "    backup:  %s (%s)\n",
        run["backup"]["file"].is_string() ? Text(run["backup"]["file"]).c_str() : "not written",
        run["backup"].value("complete", false) ? "complete" : "incomplete");
  }
}

class HistoryCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("--serial", serial_, "Only the runs on the camera with this serial number");
    command.add_option("--last", last_, "Only the newest K runs")->check(CLI::PositiveNumber);
    command.add_flag("--json", json_, "Print the runs as JSON");
  }

  int Run(const GlobalOptions&) override {
    const std::string path = HistoryPath();
    if (path.empty()) {
      PrintError(std::string("No data folder: ") + platform::NoDataFolderReason() + ".");
      return kExitFailed;
    }
    std::vector<nlohmann::json> runs = history::RunRecords(history::ReadRecords(path), serial_);
    if (last_ && runs.size() > *last_) runs.resize(*last_);
    if (json_) {
      std::printf("%s\n", nlohmann::json({{"schemaVersion", history::kHistorySchemaVersion},
                                          {"history", path},
                                          {"runs", runs}})
                              .dump(2)
                              .c_str());
      return kExitSuccess;
    }
    if (runs.empty()) {
      PrintError("No runs recorded in " + path +
                 (serial_ ? FormatText(" for camera SN %d.", *serial_) : std::string(".")));
      return kExitSuccess;
    }
    for (const nlohmann::json& run : runs) PrintRun(run);
    return kExitSuccess;
  }

 private:
  std::optional<std::int32_t> serial_;
  std::optional<std::size_t> last_;
  bool json_ = false;
};

// Backups are named after their camera: orva_tarvo_SN004711_backup.tvf, _backup_01.tvf, ...
std::optional<std::int32_t> SerialOfBackup(const std::string& path) {
  static const std::regex kName(R"(orva_tarvo_SN(-?[0-9]+)_backup(_[0-9]+)?\.tvf)",
                                std::regex::icase);
  std::smatch match;
  const std::string name = platform::FileNameOf(path);
  if (!std::regex_match(name, match, kName)) return std::nullopt;
  return static_cast<std::int32_t>(std::stol(match[1].str()));
}

class BackupListCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("--serial", serial_,
                       "Only the backups of the camera with this serial number");
    command.add_flag("--json", json_, "Print the list as JSON");
  }

  int Run(const GlobalOptions&) override {
    const std::string folder = DefaultLogFolder();
    if (folder.empty()) {
      PrintError(std::string("No data folder: ") + platform::NoDataFolderReason() + ".");
      return kExitFailed;
    }
    nlohmann::json backups = nlohmann::json::array();
    CFirmwarePacket packet;
    for (const std::string& path : platform::FindFilesWithExtension(folder, ".tvf")) {
      const std::optional<std::int32_t> serial = SerialOfBackup(path);
      if (!serial || (serial_ && *serial != *serial_)) continue;
      nlohmann::json backup = {{"file", path}, {"serialNumber", *serial}};
      PacketHeaderInfo header;
      if (!packet.LoadPacket(path) || !packet.GetHeader(&header)) {
        backup["problem"] = packet.LastError();
      } else {
        backup["creationText"] = header.creationText;
        nlohmann::json devices = nlohmann::json::array();
        for (const PacketEntryInfo& entry : packet.LoadedEntries()) {
          devices.push_back(
              {{"index", entry.deviceIndex},
               {"name", IsDeviceIndex(entry.deviceIndex) ? DeviceDisplayName(entry.deviceIndex)
                                                         : "unknown"},
               {"version", FormatDeviceVersion(entry.version.variant, entry.version.major,
                                               entry.version.minor)}});
        }
        backup["devices"] = devices;
      }
      backups.push_back(backup);
    }
    if (json_) {
      std::printf("%s\n", nlohmann::json({{"schemaVersion", history::kHistorySchemaVersion},
                                          {"folder", folder},
                                          {"backups", backups}})
                              .dump(2)
                              .c_str());
      return kExitSuccess;
    }
    if (backups.empty()) PrintError("No backups in " + folder + ".");
    for (const nlohmann::json& backup : backups) PrintBackup(backup);
    return kExitSuccess;
  }

 private:
  static void PrintBackup(const nlohmann::json& backup) {
    std::printf("%s  SN %lld  %s\n", Text(backup["file"]).c_str(),
                static_cast<long long>(backup["serialNumber"].get<std::int64_t>()),
                backup.contains("problem") ? Text(backup["problem"]).c_str()
                                           : Text(backup["creationText"]).c_str());
    if (!backup.contains("devices")) return;
    std::string devices;
    for (const nlohmann::json& device : backup["devices"]) {
      devices +=
          (devices.empty() ? "" : ", ") + Text(device["name"]) + " " + Text(device["version"]);
    }
    std::printf("    %s\n", devices.c_str());
  }

  std::optional<std::int32_t> serial_;
  bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeHistoryCommand() {
  return std::make_unique<HistoryCommand>();
}
std::unique_ptr<Command> MakeBackupListCommand() {
  return std::make_unique<BackupListCommand>();
}

}  // namespace tarvo::cli
