// The log seal: the last 8 bytes of the log file, a checksum over everything before them, so
// that support can tell whether a log was edited by hand. Each byte counts as a signed 8-bit
// value into a wrapping 32-bit sum, CR LF line ends count as one LF, and the sum is XORed with
// a fixed mask and written as eight lowercase hexadecimal digits without a line end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace tarvo {

inline constexpr std::uint32_t kLogSealMask = 0x5A17C3E9;
inline constexpr std::size_t kLogSealLength = 8;

// Adds up log bytes chunk by chunk; a CR at the end of one chunk pairs with an LF at the start
// of the next.
class LogSealSum {
 public:
  void Add(const std::uint8_t* bytes, std::size_t length);
  std::uint32_t Seal() const;

 private:
  std::uint32_t sum_ = 0;  // wraps like a 32-bit signed sum
  bool pendingCarriageReturn_ = false;
};

// Seal over the first `length` bytes of an open file, read in large chunks from its start.
// false on a read error.
bool ComputeLogSeal(std::FILE* file, std::uint64_t length, std::uint32_t* seal);

// "%08x" of a seal.
std::string FormatLogSeal(std::uint32_t seal);

// True when the 8 bytes are lowercase hexadecimal digits.
bool IsLogSealText(const char* bytes);

enum class LogSealCheck {
  kValid,       // the file ends in a seal that matches its content
  kMismatch,    // it ends in a seal, but the content does not give it: edited or damaged
  kNoSeal,      // its end is no seal (the run that wrote it did not end normally)
  kUnreadable,  // the file cannot be opened or read
};

struct LogSealReport {
  LogSealCheck result = LogSealCheck::kUnreadable;
  std::uint32_t stored = 0;    // the seal the file ends with (kValid, kMismatch)
  std::uint32_t computed = 0;  // the seal its content gives (kValid, kMismatch)
};

LogSealReport CheckLogSealFile(const std::string& path);

}  // namespace tarvo
