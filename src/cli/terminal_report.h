// The terminal's side of the program's output: status and failure lines go to stderr, result
// boxes are printed as "Operation Status: <text>" on stdout, and everything meant for the log
// goes to the log file as the window would write it.
#pragma once

#include <string>

#include "firmware/image_load_report.h"
#include "log/log_file.h"

namespace tarvo::cli {

// "Operation Status: <text>" (line breaks of the text become blanks).
void PrintResultBox(const std::string& text);

// A message for the user on stderr, one line.
void PrintError(const std::string& text);

// Said at once when the log cannot be opened or stops: the failure with its path and reason.
void PrintLogFailure(const std::string& failure);

// Image loading as tarvo-cli shows it.
class TerminalImageReport final : public ImageLoadReport {
 public:
  explicit TerminalImageReport(LogFile& log) : log_(log) {}

  void WriteLog(const std::string& text) override;
  void ShowResult(bool success, const std::string& text) override;
  void LogFileError(const std::string& fileName, std::uint32_t code) override;
  void ShowDeviceFailed(DeviceIndex device) override;

 private:
  LogFile& log_;
};

}  // namespace tarvo::cli
