#include "log/format_text.h"

#include <cstdio>
#include <vector>

namespace tarvo {

std::string FormatTextV(const char* format, std::va_list arguments) {
  char small[512];
  std::va_list copy;
  va_copy(copy, arguments);
  const int length = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (length < 0) return std::string();
  if (static_cast<std::size_t>(length) < sizeof small) {
    return std::string(small, static_cast<std::size_t>(length));
  }
  std::vector<char> large(static_cast<std::size_t>(length) + 1);
  std::vsnprintf(large.data(), large.size(), format, arguments);
  return std::string(large.data(), static_cast<std::size_t>(length));
}

std::string FormatText(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::string text = FormatTextV(format, arguments);
  va_end(arguments);
  return text;
}

std::string JoinTexts(const std::vector<std::string>& parts, const char* separator) {
  std::string joined;
  for (const std::string& part : parts) {
    if (!joined.empty()) joined += separator;
    joined += part;
  }
  return joined;
}

}  // namespace tarvo
