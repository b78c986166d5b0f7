// Lines of a text image file held in memory. A line ends at LF; a CR right before the LF is
// part of the line end, as text-mode reading of the files' home platform gives it. The last
// line may lack its line end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tarvo {

class TextLines {
 public:
  TextLines(const std::uint8_t* data, std::size_t length)
      : next_(reinterpret_cast<const char*>(data)), end_(next_ + length) {}

  bool Next(std::string_view* line) {
    if (next_ >= end_) return false;
    const void* newline = std::memchr(next_, '\n', static_cast<std::size_t>(end_ - next_));
    const char* lineEnd = newline ? static_cast<const char*>(newline) : end_;
    const char* textEnd = lineEnd;
    if (newline && textEnd > next_ && textEnd[-1] == '\r') --textEnd;
    *line = std::string_view(next_, static_cast<std::size_t>(textEnd - next_));
    next_ = newline ? lineEnd + 1 : end_;
    return true;
  }

 private:
  const char* next_;
  const char* end_;
};

// Value of a hexadecimal digit, or -1.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace tarvo
