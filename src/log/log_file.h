// The program's log: one file that grows across runs, every line time-stamped and flushed at
// once, sealed when a run ends normally. Writing is denied to other processes while a run
// holds it; a second instance runs without a log.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "log/format_text.h"
#include "platform/local_time.h"

namespace tarvo {

inline constexpr const char* kLogFolderName = "orva";
inline constexpr const char* kLogFileName = "TARVO_PROG.log";
// The service history lies beside the log (src/history).
inline constexpr const char* kHistoryFileName = "history.jsonl";

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

  // Told at once when the log cannot be opened or stops on a write error, with the text that
  // OpenFailure() or WriteFailure() then holds; the run itself goes on either way.
  using FailureHandler = std::function<void(const std::string& failure)>;
  void SetFailureHandler(FailureHandler handler) { failureHandler_ = std::move(handler); }

  // Creates the folder when missing, opens (or creates) the log file in it, places the write
  // position over the previous run's seal (only when the file really ends in one), and writes
  // the run banner. When the file cannot be opened, or another process holds it, the run goes
  // on without a log. Returns whether the log is open.
  bool Open(const std::string& folder);

  // Writes the closing lines and the seal, then closes the file. Nothing when not open.
  void Close();

  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Folder() const { return folder_; }
  const std::string& Path() const { return path_; }
  // Why the last Open left the log closed, with the path and the system's reason (empty when
  // open or never tried).
  const std::string& OpenFailure() const { return openFailure_; }
  // Whether that was because another running instance holds the log.
  bool HeldByOther() const { return heldByOther_; }
  // Why logging stopped during the run (path and the system's reason); empty while every line
  // and the seal were written.
  const std::string& WriteFailure() const { return writeFailure_; }
  // Whichever of the two happened: why this run has no complete log.
  const std::string& Failure() const { return openFailure_.empty() ? writeFailure_ : openFailure_; }
  // Whether this run's log was written whole and ended in its seal.
  bool Sealed() const { return sealed_; }

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
  [[nodiscard]] bool PositionForNewRun();
  void StopLogging();
  void FailWriting(const char* action);
  void Report(const std::string& failure) const;

  TimeSource now_;
  std::FILE* file_ = nullptr;
  std::string folder_;
  std::string path_;
  std::string openFailure_;
  std::string writeFailure_;
  bool heldByOther_ = false;
  bool sealed_ = false;
  FailureHandler failureHandler_;
};

}  // namespace tarvo
