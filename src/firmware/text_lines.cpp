#include "firmware/text_lines.h"

namespace tarvo {

namespace {
constexpr std::size_t kChunkSize = 1 << 20;
}

FileTextLines::FileTextLines(std::FILE* file) : file_(file), buffer_(kChunkSize) {}

bool FileTextLines::Next(std::string_view* line) {
  while (true) {
    const char* start = buffer_.data() + begin_;
    const void* newline = std::memchr(start, '\n', end_ - begin_);
    if (newline != nullptr || (atEnd_ && begin_ < end_)) {
      const char* lineEnd = newline ? static_cast<const char*>(newline) : buffer_.data() + end_;
      const char* textEnd = lineEnd;
      if (newline && textEnd > start && textEnd[-1] == '\r') --textEnd;
      *line = std::string_view(start, static_cast<std::size_t>(textEnd - start));
      begin_ = newline ? static_cast<std::size_t>(lineEnd - buffer_.data()) + 1 : end_;
      return true;
    }
    if (atEnd_ || !Refill()) return false;
  }
}

// Moves the unfinished line to the front and reads behind it.
bool FileTextLines::Refill() {
  const std::size_t pending = end_ - begin_;
  if (pending > kLongestTextLine) {
    status_ = TextLinesStatus::kLineTooLong;
    return false;
  }
  if (begin_ > 0) std::memmove(buffer_.data(), buffer_.data() + begin_, pending);
  begin_ = 0;
  end_ = pending;
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
  end_ += got;
  if (got == 0) {
    if (std::ferror(file_)) {
      status_ = TextLinesStatus::kReadError;
      return false;
    }
    atEnd_ = true;
  }
  return true;
}

}  // namespace tarvo
