// history: what was done to which camera, when, with which packet, and where its backup is.
// backup list: the backup files of the log folder with their camera, time and devices.
#include "cli/history_commands.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <optional>
#include <regex>

#include "cli/command_output.h"
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

// Neither the history nor the backups can be found without the log folder.
int FailWithoutDataFolder(CommandOutput& out) {
  return out.Fail(kExitFailed, "no-data-folder",
                  std::string("No data folder: ") + platform::NoDataFolderReason() + ".");
}

std::string Text(const json::Json& value) {
  return value.is_string() ? value.get<std::string>() : std::string();
}

// "Main FPGA programmed, Mem FPGA 1 program-failed (80031057 at 00000200)": the devices the run
// planned.
std::string DevicesText(const json::Json& devices) {
  std::string text;
  for (const json::Json& device : devices) {
    if (!device.value("planned", false)) continue;
    if (!text.empty()) text += ", ";
    text += Text(device["device"]["name"]) + " " + Text(device["outcome"]);
    if (device["resultCode"].is_string()) {
      text += " (" + Text(device["resultCode"]);
      if (device["failedAddress"].is_number()) {
        text += FormatText(" at %08llx", device["failedAddress"].get<unsigned long long>());
      }
      text += ")";
    }
  }
  return text.empty() ? "none" : text;
}

void PrintRun(const json::Json& run) {
  std::string result = run.value("succeeded", false) ? "succeeded" : "failed";
  std::vector<std::string> failures;
  for (const json::Json& failure : run["failures"]) failures.push_back(Text(failure));
  if (!failures.empty()) result += " (" + JoinTexts(failures, ", ") + ")";
  std::printf("%s  SN %lld  %s on %s%s  %s\n", Text(run["time"]).substr(0, 19).c_str(),
              static_cast<long long>(run.value("serialNumber", -1)), Text(run["kind"]).c_str(),
              Text(run["interface"]).c_str(),
              run.value("emergencyMode", false) ? ", emergency mode" : "", result.c_str());
  if (run["packet"].is_object()) {
    std::printf("    packet:  %s (%s)\n", Text(run["packet"]["path"]).c_str(),
                Text(run["packet"]["creationText"]).c_str());
  }
  std::printf("    devices: %s\n", DevicesText(run["devices"]).c_str());
  const json::Json& backup = run["backup"];
  if (backup.is_object() && backup.value("requested", false)) {
    std::printf("    backup:  %s (%s)\n",
                backup["file"].is_string() ? Text(backup["file"]).c_str() : "not written",
                backup.value("complete", false) ? "complete" : "incomplete");
  }
}

class HistoryCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("--serial", serial_, "Only the runs on the camera with this serial number");
    command.add_option("--last", last_, "Only the newest K runs")->check(CLI::PositiveNumber);
  }

  // The runs as the history file keeps them: each is the run report as every document shows
  // it, with the record's kind, time and schema version in front.
  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["history"] = nullptr;
    out.Document()["runs"] = json::Json::array();
    const std::string path = HistoryPath();
    if (path.empty()) {
      return FailWithoutDataFolder(out);
    }
    std::vector<history::Record> runs = history::RunRecords(history::ReadRecords(path), serial_);
    if (last_ && runs.size() > *last_) runs.resize(*last_);
    out.Document()["history"] = {{"path", path},
                                 {"recordSchemaVersion", history::kHistorySchemaVersion}};
    out.Document()["runs"] = json::Json(runs);
    if (global.json) return kExitSuccess;
    if (runs.empty()) {
      PrintError("No runs recorded in " + path +
                 (serial_ ? FormatText(" for camera SN %d.", *serial_) : std::string(".")));
      return kExitSuccess;
    }
    for (const history::Record& run : runs) PrintRun(run);
    return kExitSuccess;
  }

 private:
  std::optional<std::int32_t> serial_;
  std::optional<std::size_t> last_;
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
  }

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["folder"] = nullptr;
    out.Document()["backups"] = json::Json::array();
    const std::string folder = DefaultLogFolder();
    if (folder.empty()) {
      return FailWithoutDataFolder(out);
    }
    json::Json backups = json::Json::array();
    CFirmwarePacket packet;
    for (const std::string& path : platform::FindFilesWithExtension(folder, ".tvf")) {
      const std::optional<std::int32_t> serial = SerialOfBackup(path);
      if (!serial || (serial_ && *serial != *serial_)) continue;
      json::Json backup = {{"file", path},
                           {"serialNumber", *serial},
                           {"problem", nullptr},
                           {"creationText", nullptr},
                           {"devices", json::Json::array()}};
      PacketHeaderInfo header;
      if (!packet.LoadPacket(path) || !packet.GetHeader(&header)) {
        backup["problem"] = packet.LastError();
      } else {
        backup["creationText"] = header.creationText;
        for (const PacketEntryInfo& entry : packet.LoadedEntries()) {
          const DeviceVersion version{entry.version.variant, entry.version.major,
                                      entry.version.minor};
          backup["devices"].push_back(
              {{"device", json::Device(entry.deviceIndex)}, {"version", json::Version(version)}});
        }
      }
      backups.push_back(backup);
    }
    out.Document()["folder"] = folder;
    out.Document()["backups"] = backups;
    if (global.json) return kExitSuccess;
    if (backups.empty()) PrintError("No backups in " + folder + ".");
    for (const json::Json& backup : backups) PrintBackup(backup);
    return kExitSuccess;
  }

 private:
  static void PrintBackup(const json::Json& backup) {
    std::printf("%s  SN %lld  %s\n", backup["file"].get<std::string>().c_str(),
                static_cast<long long>(backup["serialNumber"].get<std::int64_t>()),
                backup["problem"].is_string() ? backup["problem"].get<std::string>().c_str()
                                              : backup["creationText"].get<std::string>().c_str());
    if (backup["devices"].empty()) return;
    std::string devices;
    for (const json::Json& device : backup["devices"]) {
      devices += (devices.empty() ? "" : ", ") + device["device"]["name"].get<std::string>() + " " +
                 device["version"]["text"].get<std::string>();
    }
    std::printf("    %s\n", devices.c_str());
  }

  std::optional<std::int32_t> serial_;
};

}  // namespace

std::unique_ptr<Command> MakeHistoryCommand() {
  return std::make_unique<HistoryCommand>();
}
std::unique_ptr<Command> MakeBackupListCommand() {
  return std::make_unique<BackupListCommand>();
}

}  // namespace tarvo::cli
