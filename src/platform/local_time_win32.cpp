#include <windows.h>

#include "platform/local_time.h"

namespace tarvo::platform {

namespace {

CalendarTime FromSystemTime(const SYSTEMTIME& time) {
  CalendarTime calendar;
  calendar.year = time.wYear;
  calendar.month = time.wMonth;
  calendar.day = time.wDay;
  calendar.hour = time.wHour;
  calendar.minute = time.wMinute;
  calendar.second = time.wSecond;
  calendar.millisecond = time.wMilliseconds;
  return calendar;
}

}  // namespace

CalendarTime LocalTimeNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return FromSystemTime(now);
}

bool FileLastWriteTimeUtc(const std::string& path, CalendarTime* time) {
  HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME written;
  SYSTEMTIME utc;
  // The file time is UTC already; it is not converted to local time.
  const bool read = GetFileTime(file, nullptr, nullptr, &written) != 0 &&
                    FileTimeToSystemTime(&written, &utc) != 0;
  CloseHandle(file);
  if (!read) return false;
  *time = FromSystemTime(utc);
  time->millisecond = 0;  // whole seconds, as on every system
  return true;
}

}  // namespace tarvo::platform
