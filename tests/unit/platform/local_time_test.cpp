#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>

#include "platform/local_time.h"
#include "support/temp_folder.h"

namespace tarvo::platform {
namespace {

TEST(LocalTime, FileTimeIsTakenInUtc) {
  test::TempFolder folder;
  const std::string path = folder.File("CALDO_1_V04_11.bit");
  test::WriteFileText(path, "x");
  // 2024-02-29 23:58:07 UTC
  const std::chrono::sys_seconds written{std::chrono::seconds{1709251087}};
  std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(written));
  // A local time zone far from UTC: a conversion would move the day (the tests also run with
  // this zone from their start, which is when a Windows process takes it).
  test::ScopedEnvironment zone("TZ", "America/New_York");
  CalendarTime time;
  ASSERT_TRUE(FileLastWriteTimeUtc(path, &time));
  EXPECT_EQ(time.year, 2024);
  EXPECT_EQ(time.month, 2);
  EXPECT_EQ(time.day, 29);
  EXPECT_EQ(time.hour, 23);
  EXPECT_EQ(time.minute, 58);
  EXPECT_EQ(time.second, 7);
  EXPECT_FALSE(FileLastWriteTimeUtc(folder.File("missing"), &time));
}

TEST(LocalTime, NowIsAPlausibleCalendarTime) {
  const CalendarTime now = LocalTimeNow();
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_LT(now.millisecond, 1000);
}

TEST(LocalTime, BuildDateAndTimeHaveTheTitleForms) {
  EXPECT_TRUE(std::regex_match(BuildDateText(), std::regex("[A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4}")));
  EXPECT_TRUE(std::regex_match(BuildTimeText(), std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}")));
}

}  // namespace
}  // namespace tarvo::platform
