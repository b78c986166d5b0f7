// Framing of telegrams on the camera link: code (16 bit), size (16 bit), fields, and a final
// byte that makes the sum of all bytes of the telegram zero (modulo 256).
#pragma once

#include <cstdint>

namespace tarvo::sim {

inline constexpr std::uint32_t kMinTelegramSize = 5;

std::uint8_t FinalByte(const std::uint8_t* telegram, std::uint32_t size);
inline void SealTelegram(std::uint8_t* telegram, std::uint32_t size) {
  telegram[size - 1] = FinalByte(telegram, size);
}
inline bool IsSealed(const std::uint8_t* telegram, std::uint32_t size) {
  return telegram[size - 1] == FinalByte(telegram, size);
}

inline std::uint16_t TelegramCode(const std::uint8_t* telegram) {
  return static_cast<std::uint16_t>(telegram[0] | (telegram[1] << 8));
}
inline std::uint16_t TelegramSize(const std::uint8_t* telegram) {
  return static_cast<std::uint16_t>(telegram[2] | (telegram[3] << 8));
}

}  // namespace tarvo::sim
