// log check: whether a log file still ends in the seal that its content gives. It reads the
// file only and never writes the program's own log.
#include <CLI/CLI.hpp>
#include <cstdio>

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

  int Run(const GlobalOptions&) override {
    if (!platform::PathExists(path_)) {
      PrintError(FormatText("No such file: %s", path_.c_str()));
      return kExitFailed;
    }
    const LogSealReport report = CheckLogSealFile(path_);
    switch (report.result) {
      case LogSealCheck::kValid:
        std::printf("Log seal valid: %s\n", FormatLogSeal(report.stored).c_str());
        return kExitSuccess;
      case LogSealCheck::kMismatch:
        PrintError(FormatText("Log seal does not match: the file ends in %s, its content gives %s.",
                              FormatLogSeal(report.stored).c_str(),
                              FormatLogSeal(report.computed).c_str()));
        return kExitFailed;
      case LogSealCheck::kNoSeal:
        PrintError("The log file does not end in a seal (its last run did not end normally).");
        return kExitFailed;
      case LogSealCheck::kUnreadable:
        break;
    }
    PrintError(FormatText("Log file %s could not be read.", path_.c_str()));
    return kExitFailed;
  }

 private:
  std::string path_;
};

}  // namespace

std::unique_ptr<Command> MakeLogCheckCommand() {
  return std::make_unique<LogCheckCommand>();
}

}  // namespace tarvo::cli
