// TARVO_TIME_SCALE shortens every wait of the program (0: none), for demonstrations and tests.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/clock.h"
#include "support/temp_folder.h"

namespace tarvo::platform {
namespace {

TEST(TimeScale, DecimalsFromZeroOnlyAreTakenFromTheEnvironment) {
  double value = -1;
  for (const char* good : {"0", "0.05", "2"}) EXPECT_TRUE(ParseTimeScale(good, &value)) << good;
  EXPECT_EQ(value, 2.0);
  for (const char* bad : {"", "-1", "fast", "0x10", "inf", "nan", "1.5s", " 1"})
    EXPECT_FALSE(ParseTimeScale(bad, &value)) << bad;
  {
    test::ScopedEnvironment unset("TARVO_TIME_SCALE", std::nullopt);
    EXPECT_EQ(TimeScaleFromEnvironment().value, 1.0);
    EXPECT_FALSE(TimeScaleFromEnvironment().fromEnvironment);
  }
  {
    test::ScopedEnvironment fast("TARVO_TIME_SCALE", "0.01");
    EXPECT_DOUBLE_EQ(TimeScaleFromEnvironment().value, 0.01);
    EXPECT_TRUE(TimeScaleFromEnvironment().fromEnvironment);
  }
  test::ScopedEnvironment bad("TARVO_TIME_SCALE", "soon");
  const TimeScale scale = TimeScaleFromEnvironment();
  EXPECT_EQ(scale.value, 1.0);
  EXPECT_TRUE(scale.invalid);
  EXPECT_EQ(scale.text, "soon");
}

TEST(ScaledClock, ScalesEveryWait) {
  const auto start = std::chrono::steady_clock::now();
  ScaledClock(0).Sleep(60000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  const auto before = std::chrono::steady_clock::now();
  ScaledClock(0.1).Sleep(200);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(20));
}

}  // namespace
}  // namespace tarvo::platform
