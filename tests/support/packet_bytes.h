// Hand-editing packet files in tests: little-endian words and the word sum that makes an
// edited packet pass the integrity check again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvo::test {

inline std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

inline void PutLe32(std::vector<std::uint8_t>* bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t WordSum(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t sum = 0;
  for (std::size_t offset = 0; offset + 4 <= bytes.size(); offset += 4) sum += Le32(bytes, offset);
  return sum;
}

// Sets the check word (offset 2100) so that the words add up to a packet's sum again.
inline void ResealPacket(std::vector<std::uint8_t>* bytes) {
  PutLe32(bytes, 2100, 0);
  PutLe32(bytes, 2100, 0x87654322u - WordSum(*bytes));
}

}  // namespace tarvo::test
