#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/local_time.h"
#include "support/temp_folder.h"

namespace tarvo::platform {
namespace {

// An image file's time goes into the packet as UTC: a local time zone far from UTC (the tests
// run with it from their start, which is when a Windows process takes it) would move the day.
TEST(LocalTime, FileTimeIsTakenInUtc) {
  test::TempFolder folder;
  const std::string path = folder.File("CALDO_1_V04_11.bit");
  test::WriteFileText(path, "x");
  const std::chrono::sys_seconds written{std::chrono::seconds{1709251087}};
  std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(written));
  CalendarTime time;
  ASSERT_TRUE(FileLastWriteTimeUtc(path, &time));
  EXPECT_EQ(
      (std::vector<int>{time.year, time.month, time.day, time.hour, time.minute, time.second}),
      (std::vector<int>{2024, 2, 29, 23, 58, 7}));
  EXPECT_FALSE(FileLastWriteTimeUtc(folder.File("missing"), &time));
}

}  // namespace
}  // namespace tarvo::platform
