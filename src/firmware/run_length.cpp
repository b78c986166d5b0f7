#include "firmware/run_length.h"

#include <array>

namespace tarvo {

namespace {

constexpr std::size_t kMaxRun = 255;
constexpr std::size_t kShortestRun = 4;  // shorter runs of other values stay literal

std::uint8_t LeastFrequentValue(const std::uint8_t* input, std::size_t length) {
  std::array<std::size_t, 256> counts{};
  for (std::size_t i = 0; i < length; ++i) ++counts[input[i]];
  std::size_t marker = 0;
  for (std::size_t value = 1; value < counts.size(); ++value) {
    if (counts[value] < counts[marker]) marker = value;
  }
  return static_cast<std::uint8_t>(marker);
}

}  // namespace

std::optional<std::size_t> RunLengthCompress(const std::uint8_t* input, std::size_t length,
                                             std::uint8_t* output, std::size_t room) {
  const std::uint8_t marker = LeastFrequentValue(input, length);
  std::size_t written = 0;
  auto put = [&](std::uint8_t value) {
    if (written >= room) return false;
    output[written++] = value;
    return true;
  };
  if (!put(marker)) return std::nullopt;
  std::size_t position = 0;
  while (position < length) {
    const std::uint8_t value = input[position];
    // A run never takes in the input's last byte unless it starts there.
    const std::size_t runEnd = length - 1;
    std::size_t run = 1;
    while (run < kMaxRun && position + run < runEnd && input[position + run] == value) ++run;
    if (run >= kShortestRun || value == marker) {
      if (!put(marker) || !put(static_cast<std::uint8_t>(run)) || !put(value)) {
        return std::nullopt;
      }
    } else {
      for (std::size_t i = 0; i < run; ++i) {
        if (!put(value)) return std::nullopt;
      }
    }
    position += run;
  }
  if (!put(marker) || !put(0)) return std::nullopt;
  return written;
}

}  // namespace tarvo
