// Calendar time: the local time that stamps log lines and packets, and the UTC last-write time
// that image files carry into their version record.
#pragma once

#include <string>

namespace tarvo::platform {

struct CalendarTime {
  int year = 0;    // four digits
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..59
  int millisecond = 0;
};

// The current local time with milliseconds.
CalendarTime LocalTimeNow();

// Last-write time of a file as calendar time in UTC (no conversion to local time).
// false when the file's time cannot be read.
bool FileLastWriteTimeUtc(const std::string& path, CalendarTime* time);

// The build date and time of the program in the forms "Jan  8 2013" and "11:12:32".
const char* BuildDateText();
const char* BuildTimeText();

}  // namespace tarvo::platform
