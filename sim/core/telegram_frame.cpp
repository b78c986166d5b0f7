#include "sim/core/telegram_frame.h"

namespace tarvo::sim {

std::uint8_t FinalByte(const std::uint8_t* telegram, std::uint32_t size) {
  std::uint32_t sum = 0;
  for (std::uint32_t i = 0; i + 1 < size; ++i) sum += telegram[i];
  return static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
}

}  // namespace tarvo::sim
