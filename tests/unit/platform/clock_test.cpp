// TARVO_TIME_SCALE shortens every wait of the program (0: none), for demonstrations and tests.
#include <gtest/gtest.h>

#include <chrono>
#include <tuple>

#include "platform/clock.h"
#include "support/temp_folder.h"

namespace tarvo::platform {
namespace {

TEST(TimeScale, DecimalsFromZeroFromTheEnvironmentScaleEveryWait) {
  double value = -1;
  for (const char* good : {"0", "0.05", "2"}) EXPECT_TRUE(ParseTimeScale(good, &value)) << good;
  EXPECT_EQ(value, 2.0);
  for (const char* bad : {"", "-1", "fast", "0x10", "inf", "nan", "1.5s", " 1"})
    EXPECT_FALSE(ParseTimeScale(bad, &value)) << bad;
  for (const auto& [text, scaled, fromEnvironment, invalid] :
       {std::tuple<std::optional<std::string>, double, bool, bool>{std::nullopt, 1, false, false},
        {"0.01", 0.01, true, false},
        {"soon", 1, false, true}}) {
    test::ScopedEnvironment scale("TARVO_TIME_SCALE", text);
    const TimeScale taken = TimeScaleFromEnvironment();
    EXPECT_EQ(std::tuple(taken.value, taken.fromEnvironment, taken.invalid, taken.text),
              std::tuple(scaled, fromEnvironment, invalid, text.value_or("")));
  }
  // The scale applies to every wait of the program's clock.
  const auto start = std::chrono::steady_clock::now();
  ScaledClock(0).Sleep(60000);
  ScaledClock(0.1).Sleep(200);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(took >= std::chrono::milliseconds(20) && took < std::chrono::seconds(1));
}

}  // namespace
}  // namespace tarvo::platform
