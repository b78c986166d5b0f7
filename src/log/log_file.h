// The program's log: one file that grows across runs, every line time-stamped and flushed at
// once, sealed when a run ends normally. Writing is denied to other processes while a run
// holds it; a second instance runs without a log.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "log/format_text.h"
#include "platform/local_time.h"

namespace tarvo {

inline constexpr const char* kLogFolderName = "orva";
inline constexpr const char* kLogFileName = "TARVO_PROG.log";

// The log folder: the machine-wide data folder followed by "orva"; empty when the data folder
// cannot be determined.
std::string DefaultLogFolder();

class LogFile {
 public:
  using TimeSource = platform::CalendarTime (*)();

  explicit LogFile(TimeSource now = &platform::LocalTimeNow) : now_(now) {}
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Creates the folder when missing, opens (or creates) the log file in it, places the write
  // position over the previous run's seal (only when the file really ends in one), and writes
  // the run banner. When the file cannot be opened, or another process holds it, the run goes
  // on without a log. Returns whether the log is open.
  bool Open(const std::string& folder);

  // Writes the closing lines and the seal, then closes the file. Nothing when not open.
  // True when the seal was written.
  bool Close();

  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Folder() const { return folder_; }
  const std::string& Path() const { return path_; }
  // Why the last Open left the log closed (empty when open or never tried).
  const std::string& OpenFailure() const { return openFailure_; }

  // One time-stamped line: CRs removed, LFs turned into blanks, CR LF line end, flushed.
  // A write error (disk full) stops logging for the rest of the run; what the file held
  // before stays as it was.
  void WriteLog(const char* format, ...) TARVO_PRINTF_FORMAT(2, 3);
  void WriteLine(const std::string& text);

  // "File error: <file error text>\n".
  void LogFileError(const std::string& fileName, std::uint32_t code);
  // "Error programming device <name>: <device error text>\n".
  void LogDeviceError(const std::string& deviceName, std::uint32_t code);

 private:
  void PositionForNewRun();
  void StopLogging();

  TimeSource now_;
  std::FILE* file_ = nullptr;
  std::string folder_;
  std::string path_;
  std::string openFailure_;
};

}  // namespace tarvo
