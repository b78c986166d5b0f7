// The Main uP's memory image text. "/" starts a comment line, "@" sets the address counter
// (a data offset behind the image header), and data lines hold groups of four hexadecimal
// byte values, most significant first, each group one little-endian 32-bit word. Gaps between
// the words stay zero.
#include <cstring>

#include "firmware/byte_order.h"
#include "firmware/image_file.h"
#include "firmware/image_readers.h"
#include "firmware/image_version_parse.h"
#include "firmware/text_lines.h"
#include "log/result_codes.h"

namespace tarvo {

namespace {

constexpr std::uint64_t kLargestOffset = IMAGE_BUFFER_SIZE;  // saturation of "@" addresses

// A number of a group: blanks, then hexadecimal digits taken into 16 bits. A number without
// digits is 0 and consumes nothing.
std::uint32_t ReadGroupNumber(std::string_view line, std::size_t* position) {
  std::size_t at = *position;
  while (at < line.size() && IsBlank(line[at])) ++at;
  std::uint16_t value = 0;
  for (int digit; at < line.size() && (digit = HexDigitValue(line[at])) >= 0; ++at) {
    value = static_cast<std::uint16_t>(value * 16 + digit);
  }
  *position = at;
  return value;
}

// "@" lines: the hexadecimal number after the at sign. false when there is none.
bool ReadAddressLine(std::string_view line, std::uint64_t* address) {
  std::size_t at = 1;
  while (at < line.size() && IsBlank(line[at])) ++at;
  const std::size_t first = at;
  std::uint64_t value = 0;
  for (int digit; at < line.size() && (digit = HexDigitValue(line[at])) >= 0; ++at) {
    value = value < kLargestOffset ? value * 16 + static_cast<unsigned>(digit) : value;
  }
  if (at == first) return false;
  *address = value;
  return true;
}

bool IsDataLineCharacter(char c) {
  return IsBlank(c) || c == '\r' || HexDigitValue(c) >= 0;
}

template <class Lines>
std::uint32_t ParseMemLines(Lines& lines, const ImageVersion& version, std::uint8_t* image,
                            ImageRange* range) {
  std::memset(image, 0, IMAGE_BUFFER_SIZE);
  std::uint8_t* data = image + IMAGE_HEADER_SIZE;
  const std::uint64_t dataRoom = IMAGE_BUFFER_SIZE - IMAGE_HEADER_SIZE;
  std::uint64_t address = 0;
  std::uint64_t length = 0;
  bool anyGroup = false;
  std::string_view line;
  while (lines.Next(&line)) {
    if (line.empty() || line[0] == '/' || line[0] == '\r') continue;
    if (line[0] == '@') {
      if (!ReadAddressLine(line, &address)) return ERR_FILE_STRUCTURE;
      continue;
    }
    // Any other character would stop the number parser where it stands.
    for (char c : line) {
      if (!IsDataLineCharacter(c)) return ERR_FILE_STRUCTURE;
    }
    std::size_t position = 0;
    while (position < line.size()) {
      const std::uint32_t b1 = ReadGroupNumber(line, &position);
      const std::uint32_t b2 = ReadGroupNumber(line, &position);
      const std::uint32_t b3 = ReadGroupNumber(line, &position);
      const std::uint32_t b4 = ReadGroupNumber(line, &position);
      if (address + 4 > dataRoom) return ERR_FILE_TOO_MUCH_DATA;
      WriteLe32(data + address, (b1 << 24) + (b2 << 16) + (b3 << 8) + b4);
      address += 4;
      anyGroup = true;
      if (address > length) length = address;
      if (position < line.size() && line[position] == '\r') break;
    }
  }
  if (lines.Status() == TextLinesStatus::kReadError) return ERR_FILE_READ;
  if (lines.Status() == TextLinesStatus::kLineTooLong) return ERR_FILE_STRUCTURE;
  if (!anyGroup) length = 1;
  const auto dataLength = static_cast<std::uint32_t>(length);
  const std::uint32_t checksum = SumLe16Words(data, dataLength / 2);
  WriteImageHeader(image, version, 0x00, checksum, dataLength);
  range->Take(0, dataLength + IMAGE_HEADER_SIZE - 1);
  return 0;
}

}  // namespace

std::uint32_t ReadMemImageBytes(const ImageFileBytes& file, std::uint8_t* image,
                                ImageRange* range) {
  TextLines lines(file.data, file.length);
  return ParseMemLines(lines, file.version, image, range);
}

std::uint32_t ReadMemImage(const std::string& path, std::uint8_t* image, ImageRange* range) {
  TextImageFile file(path);
  if (!file.IsOpen()) return ERR_FILE_OPEN;
  ImageVersion version;
  ParseImageVersion(path, &version);
  FileTextLines lines(file.Get());
  return ParseMemLines(lines, version, image, range);
}

}  // namespace tarvo
