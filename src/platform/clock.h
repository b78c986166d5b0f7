// One clock for every fixed wait of the program (pauses between steps, reboot countdowns).
// TARVO_TIME_SCALE scales all of them for simulation; tests use FakeClock instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Waits the given nominal time.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// The real clock: each wait takes the nominal time multiplied by the scale (0: no waiting).
class ScaledClock final : public Clock {
 public:
  explicit ScaledClock(double scale) : scale_(scale < 0 ? 0 : scale) {}
  void Sleep(std::uint32_t milliseconds) override;
  double Scale() const { return scale_; }

 private:
  double scale_;
};

// A clock that never waits and records every wait, for tests.
class FakeClock final : public Clock {
 public:
  void Sleep(std::uint32_t milliseconds) override {
    sleeps_.push_back(milliseconds);
    total_ += milliseconds;
  }
  std::uint64_t TotalMilliseconds() const { return total_; }
  const std::vector<std::uint32_t>& Sleeps() const { return sleeps_; }
  void Reset() {
    sleeps_.clear();
    total_ = 0;
  }

 private:
  std::vector<std::uint32_t> sleeps_;
  std::uint64_t total_ = 0;
};

// The time scale given by TARVO_TIME_SCALE: a decimal >= 0, 1 when unset.
struct TimeScale {
  double value = 1.0;
  bool fromEnvironment = false;  // the variable was set and valid
  bool invalid = false;          // the variable was set but is no decimal >= 0 (1 is used)
  std::string text;              // the variable's text as given
};

// Parses a time scale text; false when it is not a decimal >= 0.
bool ParseTimeScale(const std::string& text, double* value);

TimeScale TimeScaleFromEnvironment();

// The process-wide real clock, scaled by TARVO_TIME_SCALE as read at its first use.
ScaledClock& ProgramClock();

}  // namespace tarvo::platform
