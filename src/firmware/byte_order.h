// Little-endian fields of packet files, image headers and info blocks, read and written the
// same way on every host.
#pragma once

#include <cstdint>

namespace tarvo {

inline std::uint16_t ReadLe16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline std::uint32_t ReadLe32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

inline void WriteLe16(std::uint8_t* bytes, std::uint32_t value) {
  bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

inline void WriteLe32(std::uint8_t* bytes, std::uint32_t value) {
  bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
  bytes[2] = static_cast<std::uint8_t>((value >> 16) & 0xFF);
  bytes[3] = static_cast<std::uint8_t>((value >> 24) & 0xFF);
}

// 32-bit sum (modulo 2^32) of the little-endian words of a block whose length is a multiple
// of 4.
inline std::uint32_t SumLe32Words(const std::uint8_t* bytes, std::uint64_t length) {
  std::uint32_t sum = 0;
  for (std::uint64_t offset = 0; offset + 4 <= length; offset += 4) sum += ReadLe32(bytes + offset);
  return sum;
}

// 32-bit sum of the 16-bit little-endian words of a block (count words).
inline std::uint32_t SumLe16Words(const std::uint8_t* bytes, std::uint64_t count) {
  std::uint32_t sum = 0;
  for (std::uint64_t word = 0; word < count; ++word) sum += ReadLe16(bytes + 2 * word);
  return sum;
}

}  // namespace tarvo
