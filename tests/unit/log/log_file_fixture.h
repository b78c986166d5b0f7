// A log folder of its own and a fixed clock for each log file test.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "log/log_file.h"
#include "platform/folders.h"
#include "support/temp_folder.h"

namespace tarvo {

inline platform::CalendarTime FixedTime() {
  platform::CalendarTime time;
  time.year = 2026;
  time.month = 12;
  time.day = 7;
  time.hour = 9;
  time.minute = 5;
  time.second = 3;
  time.millisecond = 42;
  return time;
}

inline const std::string kStamp = "09:05:03.042 ";
inline const std::string kBanner =
    kStamp + "==============================\r\n" + kStamp + "Programmer started 2026.12.07.\r\n";
inline const std::string kClosing =
    kStamp + "Programmer closed.\r\n" + kStamp + "==================\r\n";

class LogFileTest : public ::testing::Test {
 protected:
  std::string Folder() const { return temp_.File("orva"); }
  std::string LogPath() const { return platform::JoinPath(Folder(), "TARVO_PROG.log"); }
  std::string Content() const { return test::ReadFileText(LogPath()); }

  // One whole run writing the given lines.
  void Run(std::initializer_list<std::string> lines) {
    LogFile log(&FixedTime);
    ASSERT_TRUE(log.Open(Folder()));
    for (const std::string& line : lines) log.WriteLine(line);
    log.Close();
  }

  test::TempFolder temp_;
};

}  // namespace tarvo
