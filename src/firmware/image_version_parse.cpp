#include "firmware/image_version_parse.h"

#include <cstdio>

#include "platform/local_time.h"

namespace tarvo {

namespace {

// A decimal number as the C library reads one: blanks, an optional sign, digits. Values
// outside 32 bits are clamped; each field keeps its low bits.
bool ReadDecimal(std::string_view text, std::size_t* position, long long* value) {
  std::size_t at = *position;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  const std::size_t first = at;
  long long number = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    if (number < 0x7FFFFFFF) number = number * 10 + (text[at] - '0');
  }
  if (at == first) return false;
  if (number > 0x7FFFFFFF) number = 0x7FFFFFFF;
  *position = at;
  *value = negative ? -number : number;
  return true;
}

// Moves past the next underscore at or after position; false when there is none.
bool SkipPastUnderscore(std::string_view text, std::size_t* position) {
  const std::size_t underscore = text.find('_', *position);
  if (underscore == std::string_view::npos) return false;
  *position = underscore + 1;
  return true;
}

}  // namespace

std::string_view ImageFileName(std::string_view path) {
  std::size_t start = 0;
  for (char separator : {'\\', ':', '/'}) {
    const std::size_t found = path.rfind(separator);
    if (found != std::string_view::npos && found + 1 > start) start = found + 1;
  }
  return path.substr(start);
}

bool ParseImageVersionName(std::string_view fileName, ImageVersion* version) {
  std::size_t position = 0;
  long long number = 0;
  if (!SkipPastUnderscore(fileName, &position)) return false;
  if (!ReadDecimal(fileName, &position, &number)) return false;
  version->variant = static_cast<std::uint16_t>(number);
  if (!SkipPastUnderscore(fileName, &position)) return false;
  if (position >= fileName.size() || (fileName[position] != 'V' && fileName[position] != 'v')) {
    return false;
  }
  ++position;
  if (!ReadDecimal(fileName, &position, &number)) return false;
  version->major = static_cast<std::uint8_t>(number);
  if (!SkipPastUnderscore(fileName, &position)) return false;
  if (!ReadDecimal(fileName, &position, &number)) return false;
  version->minor = static_cast<std::uint8_t>(number);
  return true;
}

bool ParseImageVersion(const std::string& path, ImageVersion* version) {
  *version = ImageVersion{};
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  platform::CalendarTime written;
  if (platform::FileLastWriteTimeUtc(path, &written)) {
    version->hour = static_cast<std::uint8_t>(written.hour);
    version->minute = static_cast<std::uint8_t>(written.minute);
    version->day = static_cast<std::uint8_t>(written.day);
    version->month = static_cast<std::uint8_t>(written.month);
    version->year = static_cast<std::uint16_t>(written.year);
  }
  return ParseImageVersionName(ImageFileName(path), version);
}

}  // namespace tarvo
