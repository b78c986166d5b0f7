// log check: whether a log file still ends in the seal that its content gives. It reads the
// file only and never writes the program's own log.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/command_output.h"
#include "cli/log_commands.h"
#include "cli/terminal_report.h"
#include "log/format_text.h"
#include "log/log_seal.h"
#include "platform/folders.h"

namespace tarvo::cli {

namespace {

class LogCheckCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("FILE", path_, "Log file (TARVO_PROG.log)")->required();
  }

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["seal"] = nullptr;
    if (!platform::PathExists(path_)) {
      return out.Fail(kExitFailed, "file-missing", FormatText("No such file: %s", path_.c_str()));
    }
    const LogSealReport report = CheckLogSealFile(path_);
    const bool sealed =
        report.result == LogSealCheck::kValid || report.result == LogSealCheck::kMismatch;
    out.Document()["seal"] = {
        {"file", path_},
        {"valid", report.result == LogSealCheck::kValid},
        {"stored", sealed ? json::Json(FormatLogSeal(report.stored)) : json::Json()},
        {"computed", sealed ? json::Json(FormatLogSeal(report.computed)) : json::Json()}};
    switch (report.result) {
      case LogSealCheck::kValid:
        if (!global.json) std::printf("Log seal valid: %s\n", FormatLogSeal(report.stored).c_str());
        return kExitSuccess;
      case LogSealCheck::kMismatch:
        return out.Fail(
            kExitFailed, "seal-mismatch",
            FormatText("Log seal does not match: the file ends in %s, its content gives %s.",
                       FormatLogSeal(report.stored).c_str(),
                       FormatLogSeal(report.computed).c_str()));
      case LogSealCheck::kNoSeal:
        return out.Fail(kExitFailed, "no-seal",
                        "The log file does not end in a seal (its last run did not end normally).");
      case LogSealCheck::kUnreadable:
        break;
    }
    return out.Fail(kExitFailed, "file-unreadable",
                    FormatText("Log file %s could not be read.", path_.c_str()));
  }

 private:
  std::string path_;
};

}  // namespace

std::unique_ptr<Command> MakeLogCheckCommand() {
  return std::make_unique<LogCheckCommand>();
}

}  // namespace tarvo::cli
