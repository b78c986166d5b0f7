// Lines of a text image file. A line ends at LF; a CR right before the LF is part of the line
// end, as text-mode reading of the files' home platform gives it. The last line may lack its
// line end. Two sources: a file held in memory, and an open file read in large chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace tarvo {

enum class TextLinesStatus { kOk, kReadError, kLineTooLong };

// A line longer than this is no line of any image format.
inline constexpr std::size_t kLongestTextLine = 1 << 20;

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
  TextLinesStatus Status() const { return TextLinesStatus::kOk; }

 private:
  const char* next_;
  const char* end_;
};

// Lines of an open file. The text returned stays valid until the next call.
class FileTextLines {
 public:
  explicit FileTextLines(std::FILE* file);
  bool Next(std::string_view* line);
  // Why Next returned false before the end of the file.
  TextLinesStatus Status() const { return status_; }

 private:
  bool Refill();

  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool atEnd_ = false;
  TextLinesStatus status_ = TextLinesStatus::kOk;
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
