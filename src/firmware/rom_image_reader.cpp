// The Power uP's ".rom" file: one 16-bit word per line, "word address: value", both
// hexadecimal. Each word is stored little-endian at byte address 2 x word address.
#include "firmware/image_file.h"
#include "firmware/image_readers.h"
#include "firmware/text_lines.h"
#include "log/result_codes.h"

namespace tarvo {

namespace {

// Reads a hexadecimal number at position, after blanks and an optional "0x"; the value
// saturates far above any address the image buffer has. false when no digit follows.
bool ReadHexNumber(std::string_view line, std::size_t* position, std::uint64_t* value) {
  std::size_t at = *position;
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at + 2 < line.size() && line[at] == '0' && (line[at + 1] == 'x' || line[at + 1] == 'X') &&
      HexDigitValue(line[at + 2]) >= 0) {
    at += 2;
  }
  std::uint64_t number = 0;
  const std::size_t first = at;
  for (int digit; at < line.size() && (digit = HexDigitValue(line[at])) >= 0; ++at) {
    number = number < (1ull << 40) ? number * 16 + static_cast<unsigned>(digit) : number;
  }
  if (at == first) return false;
  *position = at;
  *value = number;
  return true;
}

template <class Lines>
std::uint32_t ParseRomLines(Lines& lines, std::uint8_t* image, ImageRange* range) {
  std::string_view line;
  bool anyLine = false;
  while (lines.Next(&line)) {
    anyLine = true;
    std::size_t position = 0;
    std::uint64_t wordAddress = 0;
    std::uint64_t value = 0;
    if (!ReadHexNumber(line, &position, &wordAddress)) return ERR_FILE_STRUCTURE;
    const std::size_t colon = line.find(':', position);
    if (colon == std::string_view::npos) return ERR_FILE_STRUCTURE;
    position = colon + 1;
    if (!ReadHexNumber(line, &position, &value)) return ERR_FILE_STRUCTURE;
    const std::uint64_t byteAddress = 2 * wordAddress;
    if (byteAddress + 2 > IMAGE_BUFFER_SIZE) return ERR_FILE_TOO_MUCH_DATA;
    image[byteAddress] = static_cast<std::uint8_t>(value & 0xFF);
    image[byteAddress + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    const auto address = static_cast<std::uint32_t>(byteAddress);
    if (address < range->lowest) range->lowest = address;
    if (address > range->highest) range->highest = address + 1;
  }
  if (lines.Status() == TextLinesStatus::kReadError) return ERR_FILE_READ;
  if (lines.Status() == TextLinesStatus::kLineTooLong) return ERR_FILE_STRUCTURE;
  // A file without a single word describes no image.
  return anyLine ? 0 : ERR_FILE_STRUCTURE;
}

}  // namespace

std::uint32_t ReadRomImageBytes(const ImageFileBytes& file, std::uint8_t* image,
                                ImageRange* range) {
  TextLines lines(file.data, file.length);
  return ParseRomLines(lines, image, range);
}

std::uint32_t ReadRomImage(const std::string& path, std::uint8_t* image, ImageRange* range) {
  TextImageFile file(path);
  if (!file.IsOpen()) return ERR_FILE_OPEN;
  FileTextLines lines(file.Get());
  return ParseRomLines(lines, image, range);
}

}  // namespace tarvo
