#include "log/log_file.h"

#include <cstdarg>
#include <utility>

#include "log/error_texts.h"
#include "log/log_seal.h"
#include "platform/exclusive_file.h"
#include "platform/folders.h"
#include "platform/system_error.h"

namespace tarvo {

std::string DefaultLogFolder() {
  const std::string data = platform::CommonDataFolder();
  if (data.empty()) return std::string();
  return platform::JoinPath(data, kLogFolderName);
}

LogFile::~LogFile() {
  Close();
}

bool LogFile::Open(const std::string& folder) {
  if (IsOpen()) return true;
  folder_ = folder;
  openFailure_.clear();
  writeFailure_.clear();
  heldByOther_ = sealed_ = false;
  if (folder.empty()) {
    openFailure_ = "no data folder could be determined";
    Report(openFailure_);
    return false;
  }
  if (!platform::PathExists(folder)) platform::CreateFolders(folder);
  path_ = platform::JoinPath(folder, kLogFileName);

  platform::ExclusiveOpenResult result = platform::ExclusiveOpenResult::kFailed;
  file_ = platform::OpenExclusiveForWriting(path_, &result);
  if (file_ == nullptr) {
    heldByOther_ = result == platform::ExclusiveOpenResult::kHeldByOther;
    openFailure_ = heldByOther_
                       ? FormatText("%s is held by another running instance", path_.c_str())
                       : FormatText("%s cannot be opened for writing: %s", path_.c_str(),
                                    platform::LastSystemErrorText().c_str());
    Report(openFailure_);
    return false;
  }
  if (!PositionForNewRun()) {
    openFailure_ =
        FormatText("%s cannot be read: %s", path_.c_str(), platform::LastSystemErrorText().c_str());
    StopLogging();
    Report(openFailure_);
    return false;
  }

  const platform::CalendarTime now = now_();
  WriteLog("==============================");
  WriteLog("Programmer started %04d.%02d.%02d.", now.year, now.month, now.day);
  return IsOpen();
}

// The first line of a run replaces the previous run's seal. Only a real seal is replaced: eight
// lowercase hex digits directly after a line end. A run that ended without sealing (crash,
// power loss) ends in its last line, which must not lose bytes; the new run follows it.
bool LogFile::PositionForNewRun() {
  if (std::fseek(file_, 0, SEEK_END) != 0) return false;
  const long length = std::ftell(file_);
  if (length < 0) return false;
  const long sealed = static_cast<long>(kLogSealLength) + 1;
  if (length >= sealed) {
    char tail[kLogSealLength + 1];
    if (std::fseek(file_, length - sealed, SEEK_SET) != 0 ||
        std::fread(tail, 1, sizeof tail, file_) != sizeof tail) {
      return false;
    }
    if (tail[0] == '\n' && IsLogSealText(tail + 1)) {
      return std::fseek(file_, length - static_cast<long>(kLogSealLength), SEEK_SET) == 0;
    }
  }
  return std::fseek(file_, 0, SEEK_END) == 0;
}

void LogFile::StopLogging() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

// Logging ends for this run; the reason is kept and told at once, since a run whose log stops
// has no complete record.
void LogFile::FailWriting(const char* action) {
  writeFailure_ = FormatText("%s %s failed: %s", action, path_.c_str(),
                             platform::LastSystemErrorText().c_str());
  StopLogging();
  Report(writeFailure_);
}

void LogFile::Report(const std::string& failure) const {
  if (failureHandler_) failureHandler_(failure);
}

void LogFile::WriteLog(const char* format, ...) {
  if (!IsOpen()) return;
  std::va_list arguments;
  va_start(arguments, format);
  const std::string text = FormatTextV(format, arguments);
  va_end(arguments);
  WriteLine(text);
}

void LogFile::WriteLine(const std::string& text) {
  if (!IsOpen()) return;
  const platform::CalendarTime now = now_();
  std::string line =
      FormatText("%02d:%02d:%02d.%03d ", now.hour, now.minute, now.second, now.millisecond);
  line.reserve(line.size() + text.size() + 2);
  for (char c : text) {
    if (c == '\r') continue;
    line.push_back(c == '\n' ? ' ' : c);
  }
  line += "\r\n";
  // A line that cannot be written whole (disk full) ends logging for this run; what the file
  // already holds is left as it is.
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0) {
    FailWriting("writing");
  }
}

void LogFile::LogFileError(const std::string& fileName, std::uint32_t code) {
  WriteLog("File error: %s\n", FileErrorText(code, fileName).c_str());
}

void LogFile::LogDeviceError(const std::string& deviceName, std::uint32_t code) {
  WriteLog("Error programming device %s: %s\n", deviceName.c_str(), DeviceErrorText(code).c_str());
}

void LogFile::Close() {
  if (!IsOpen()) return;
  WriteLog("Programmer closed.");
  WriteLog("==================");
  if (!IsOpen()) return;
  const long end = std::ftell(file_);
  std::uint32_t seal = 0;
  if (end < 0 || !ComputeLogSeal(file_, static_cast<std::uint64_t>(end), &seal) ||
      std::fseek(file_, end, SEEK_SET) != 0) {
    return FailWriting("sealing");
  }
  const std::string text = FormatLogSeal(seal);
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0) {
    return FailWriting("sealing");
  }
  const bool closed = std::fclose(std::exchange(file_, nullptr)) == 0;
  if (!closed) return FailWriting("closing");
  sealed_ = true;
}

}  // namespace tarvo
