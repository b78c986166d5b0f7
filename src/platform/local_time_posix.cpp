#include "platform/local_time.h"

#include <sys/stat.h>
#include <sys/time.h>

#include <ctime>

namespace tarvo::platform {

namespace {

CalendarTime FromTm(const std::tm& tm, int millisecond) {
  CalendarTime time;
  time.year = tm.tm_year + 1900;
  time.month = tm.tm_mon + 1;
  time.day = tm.tm_mday;
  time.hour = tm.tm_hour;
  time.minute = tm.tm_min;
  time.second = tm.tm_sec;
  time.millisecond = millisecond;
  return time;
}

}  // namespace

CalendarTime LocalTimeNow() {
  timeval now{};
  gettimeofday(&now, nullptr);
  std::tm tm{};
  time_t seconds = now.tv_sec;
  localtime_r(&seconds, &tm);
  return FromTm(tm, static_cast<int>(now.tv_usec / 1000));
}

bool FileLastWriteTimeUtc(const std::string& path, CalendarTime* time) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  std::tm tm{};
  time_t seconds = info.st_mtime;
  if (gmtime_r(&seconds, &tm) == nullptr) return false;
  *time = FromTm(tm, 0);
  return true;
}

}  // namespace tarvo::platform
