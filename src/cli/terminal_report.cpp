#include "cli/terminal_report.h"

#include <cstdio>

#include "log/error_texts.h"

namespace tarvo::cli {

namespace {

// A line break in a message breaks the line of a box; on the terminal it becomes a blank, and
// a break at the end is dropped.
std::string OneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    line += c == '\n' ? ' ' : c;
  }
  return line;
}

}  // namespace

void PrintResultBox(const std::string& text) {
  std::printf("Operation Status: %s\n", OneLine(text).c_str());
  std::fflush(stdout);
}

void PrintError(const std::string& text) {
  std::fprintf(stderr, "%s\n", OneLine(text).c_str());
}

void PrintLogFailure(const std::string& failure) {
  PrintError("Log: " + failure + "; the run goes on without a log.");
}

void TerminalImageReport::WriteLog(const std::string& text) {
  log_.WriteLine(text);
  PrintError(text);
}

void TerminalImageReport::ShowResult(bool success, const std::string& text) {
  log_.WriteLine(success ? text : "ERROR: " + text);
  PrintResultBox(text);
}

void TerminalImageReport::LogFileError(const std::string& fileName, std::uint32_t code) {
  log_.LogFileError(fileName, code);
  PrintError("File error: " + FileErrorText(code, fileName));
}

void TerminalImageReport::ShowDeviceFailed(DeviceIndex device) {
  PrintError(std::string(DeviceDisplayName(device)) + ": image not loaded.");
}

}  // namespace tarvo::cli
