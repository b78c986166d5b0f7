#include "platform/clock.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace tarvo::platform {

void ScaledClock::Sleep(std::uint32_t milliseconds) {
  if (scale_ <= 0 || milliseconds == 0) return;
  const double microseconds = static_cast<double>(milliseconds) * 1000.0 * scale_;
  std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long long>(microseconds)));
}

bool ParseTimeScale(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !std::isfinite(parsed) || parsed < 0) return false;
  // Only plain decimals: no hexadecimal floats, infinities or exponents of huge size.
  for (char c : text) {
    if (!(c == '.' || (c >= '0' && c <= '9') || c == 'e' || c == 'E' || c == '-' || c == '+')) {
      return false;
    }
  }
  *value = parsed;
  return true;
}

TimeScale TimeScaleFromEnvironment() {
  TimeScale scale;
  const char* text = std::getenv("TARVO_TIME_SCALE");
  if (text == nullptr) return scale;
  scale.text = text;
  double value = 1.0;
  if (ParseTimeScale(scale.text, &value)) {
    scale.value = value;
    scale.fromEnvironment = true;
  } else {
    scale.invalid = true;
  }
  return scale;
}

ScaledClock& ProgramClock() {
  static ScaledClock clock(TimeScaleFromEnvironment().value);
  return clock;
}

}  // namespace tarvo::platform
