#include "log/log_file.h"

#include <cstdarg>

#include "log/error_texts.h"
#include "log/log_seal.h"
#include "platform/exclusive_file.h"
#include "platform/folders.h"

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
  if (folder.empty()) {
    openFailure_ = "no data folder could be determined";
    return false;
  }
  if (!platform::PathExists(folder)) platform::CreateFolders(folder);
  path_ = platform::JoinPath(folder, kLogFileName);

  platform::ExclusiveOpenResult result = platform::ExclusiveOpenResult::kFailed;
  file_ = platform::OpenExclusiveForWriting(path_, &result);
  if (file_ == nullptr) {
    openFailure_ = result == platform::ExclusiveOpenResult::kHeldByOther
                       ? "the log file is held by another running instance"
                       : "the log file cannot be opened for writing";
    return false;
  }
  PositionForNewRun();
  if (!IsOpen()) return false;

  const platform::CalendarTime now = now_();
  WriteLog("==============================");
  WriteLog("Programmer started %04d.%02d.%02d.", now.year, now.month, now.day);
  return IsOpen();
}

// The first line of a run replaces the previous run's seal. Only a real seal is replaced: eight
// lowercase hex digits directly after a line end. A run that ended without sealing (crash,
// power loss) ends in its last line, which must not lose bytes; the new run follows it.
void LogFile::PositionForNewRun() {
  if (std::fseek(file_, 0, SEEK_END) != 0) return StopLogging();
  const long length = std::ftell(file_);
  if (length < 0) return StopLogging();
  const long sealed = static_cast<long>(kLogSealLength) + 1;
  if (length >= sealed) {
    char tail[kLogSealLength + 1];
    if (std::fseek(file_, length - sealed, SEEK_SET) != 0 ||
        std::fread(tail, 1, sizeof tail, file_) != sizeof tail) {
      return StopLogging();
    }
    if (tail[0] == '\n' && IsLogSealText(tail + 1)) {
      if (std::fseek(file_, length - static_cast<long>(kLogSealLength), SEEK_SET) != 0) {
        StopLogging();
      }
      return;
    }
  }
  if (std::fseek(file_, 0, SEEK_END) != 0) StopLogging();
}

void LogFile::StopLogging() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
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
    StopLogging();
  }
}

void LogFile::LogFileError(const std::string& fileName, std::uint32_t code) {
  WriteLog("File error: %s\n", FileErrorText(code, fileName).c_str());
}

void LogFile::LogDeviceError(const std::string& deviceName, std::uint32_t code) {
  WriteLog("Error programming device %s: %s\n", deviceName.c_str(), DeviceErrorText(code).c_str());
}

bool LogFile::Close() {
  if (!IsOpen()) return false;
  WriteLog("Programmer closed.");
  WriteLog("==================");
  if (!IsOpen()) return false;
  const long end = std::ftell(file_);
  std::uint32_t seal = 0;
  bool sealed = false;
  if (end >= 0 && ComputeLogSeal(file_, static_cast<std::uint64_t>(end), &seal) &&
      std::fseek(file_, end, SEEK_SET) == 0) {
    const std::string text = FormatLogSeal(seal);
    sealed =
        std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0;
  }
  StopLogging();
  return sealed;
}

}  // namespace tarvo
