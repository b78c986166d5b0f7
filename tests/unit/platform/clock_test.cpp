#include <gtest/gtest.h>

#include <chrono>

#include "platform/clock.h"
#include "support/temp_folder.h"

namespace tarvo::platform {
namespace {

TEST(TimeScale, AcceptsDecimalsFromZeroOnly) {
  double value = -1;
  EXPECT_TRUE(ParseTimeScale("0", &value));
  EXPECT_EQ(value, 0.0);
  EXPECT_TRUE(ParseTimeScale("0.05", &value));
  EXPECT_DOUBLE_EQ(value, 0.05);
  EXPECT_TRUE(ParseTimeScale("2", &value));
  EXPECT_EQ(value, 2.0);
  for (const char* bad : {"", "-1", "fast", "0x10", "inf", "nan", "1.5s", " 1"}) {
    EXPECT_FALSE(ParseTimeScale(bad, &value)) << bad;
  }
}

TEST(TimeScale, ComesFromTheEnvironment) {
  {
    test::ScopedEnvironment unset("TARVO_TIME_SCALE", std::nullopt);
    const TimeScale scale = TimeScaleFromEnvironment();
    EXPECT_EQ(scale.value, 1.0);
    EXPECT_FALSE(scale.fromEnvironment);
  }
  {
    test::ScopedEnvironment fast("TARVO_TIME_SCALE", "0.01");
    const TimeScale scale = TimeScaleFromEnvironment();
    EXPECT_DOUBLE_EQ(scale.value, 0.01);
    EXPECT_TRUE(scale.fromEnvironment);
  }
  {
    test::ScopedEnvironment bad("TARVO_TIME_SCALE", "soon");
    const TimeScale scale = TimeScaleFromEnvironment();
    EXPECT_EQ(scale.value, 1.0);
    EXPECT_TRUE(scale.invalid);
    EXPECT_EQ(scale.text, "soon");
  }
}

TEST(ScaledClock, ScalesEveryWait) {
  ScaledClock none(0);
  const auto start = std::chrono::steady_clock::now();
  none.Sleep(60000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

  ScaledClock tenth(0.1);
  const auto before = std::chrono::steady_clock::now();
  tenth.Sleep(200);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(20));
}

TEST(FakeClock, RecordsWaitsWithoutWaiting) {
  FakeClock clock;
  clock.Sleep(30000);
  clock.Sleep(1000);
  EXPECT_EQ(clock.TotalMilliseconds(), 31000u);
  ASSERT_EQ(clock.Sleeps().size(), 2u);
  EXPECT_EQ(clock.Sleeps()[0], 30000u);
}

}  // namespace
}  // namespace tarvo::platform
