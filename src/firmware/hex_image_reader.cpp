// Intel HEX files of the Boot uP. A record is read by position: byte count at character 1,
// address at 3, type at 7, data from 9, then the checksum; the start character is not looked
// at. Records of types 00 (data), 01 (end of file), 02 (segment base) and 04 (linear base)
// are understood; the file must end with an end-of-file record.
#include <array>
#include <cstring>

#include "firmware/image_file.h"
#include "firmware/image_readers.h"
#include "firmware/text_lines.h"
#include "log/result_codes.h"

namespace tarvo {

namespace {

constexpr std::size_t kRecordFixedChars = 11;  // start, count, address, type, checksum

// Values of two hexadecimal digits, indexed by the first character times 256 plus the second;
// -1 where either is no digit. Decoding a pair with one lookup keeps the reader near memory
// speed.
using PairTable = std::array<std::int16_t, 65536>;

const PairTable& HexPairs() {
  static const PairTable table = [] {
    auto nibble = [](int c) {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      return -1;
    };
    PairTable pairs{};
    for (int first = 0; first < 256; ++first) {
      for (int second = 0; second < 256; ++second) {
        const int high = nibble(first);
        const int low = nibble(second);
        pairs[first << 8 | second] =
            static_cast<std::int16_t>((high | low) < 0 ? -1 : (high << 4 | low));
      }
    }
    return pairs;
  }();
  return table;
}

// The byte written as two hexadecimal digits at text, or -1.
inline int HexByte(const PairTable& pairs, const char* text) {
  return pairs[static_cast<unsigned char>(text[0]) << 8 | static_cast<unsigned char>(text[1])];
}

enum RecordType : int {
  kData = 0x00,
  kEndOfFile = 0x01,
  kSegmentBase = 0x02,
  kLinearBase = 0x04,
};

template <class Lines>
std::uint32_t ParseHexLines(Lines& lines, std::uint8_t* image, ImageRange* range) {
  std::string_view line;
  std::uint8_t bytes[256];
  std::uint64_t base = 0;
  const PairTable& pairs = HexPairs();
  while (lines.Next(&line)) {
    // Blank lines between records are tolerated; anything else must be a whole record.
    if (line.empty()) continue;
    if (line.size() < kRecordFixedChars) return ERR_FILE_STRUCTURE;
    const char* text = line.data();
    const int count = HexByte(pairs, text + 1);
    if (count < 0 || line.size() < kRecordFixedChars + 2 * static_cast<std::size_t>(count)) {
      return ERR_FILE_STRUCTURE;
    }
    const int addressHigh = HexByte(pairs, text + 3);
    const int addressLow = HexByte(pairs, text + 5);
    const int type = HexByte(pairs, text + 7);
    if ((addressHigh | addressLow | type) < 0) return ERR_FILE_STRUCTURE;
    const std::uint32_t address = static_cast<std::uint32_t>(addressHigh << 8 | addressLow);

    // The checksum covers count, address, type, data and the checksum byte itself.
    unsigned sum = static_cast<unsigned>(count + addressHigh + addressLow + type);
    const char* data = text + 9;
    int invalid = 0;
    for (int i = 0; i <= count; ++i) {
      const int value = HexByte(pairs, data + 2 * i);
      invalid |= value;
      bytes[i] = static_cast<std::uint8_t>(value);
      sum += static_cast<unsigned>(value);
    }
    if (invalid < 0) return ERR_FILE_STRUCTURE;
    if ((sum & 0xFF) != 0) return ERR_FILE_CHECKSUM;

    switch (type) {
      case kData: {
        const std::uint64_t first = base + address;
        if (first + static_cast<std::uint64_t>(count) > IMAGE_BUFFER_SIZE) {
          return ERR_FILE_TOO_MUCH_DATA;
        }
        std::memcpy(image + first, bytes, static_cast<std::size_t>(count));
        // A record without data fills nothing.
        if (count > 0) {
          range->Take(static_cast<std::uint32_t>(first),
                      static_cast<std::uint32_t>(first + static_cast<std::uint64_t>(count) - 1));
        }
        break;
      }
      case kEndOfFile:
        if (count != 0 || address != 0) return ERR_FILE_STRUCTURE;
        return 0;
      case kSegmentBase:
      case kLinearBase: {
        if (count != 2) return ERR_FILE_STRUCTURE;
        const std::uint64_t value = static_cast<std::uint64_t>(bytes[0] << 8 | bytes[1]);
        base = type == kSegmentBase ? value * 16 : value * 65536;
        break;
      }
      default:
        return ERR_FILE_STRUCTURE;
    }
  }
  if (lines.Status() == TextLinesStatus::kLineTooLong) return ERR_FILE_STRUCTURE;
  // The file ended (or could not be read on) before its end-of-file record.
  return ERR_FILE_READ;
}

}  // namespace

std::uint32_t ReadHexImageBytes(const ImageFileBytes& file, std::uint8_t* image,
                                ImageRange* range) {
  TextLines lines(file.data, file.length);
  return ParseHexLines(lines, image, range);
}

std::uint32_t ReadHexImage(const std::string& path, std::uint8_t* image, ImageRange* range) {
  TextImageFile file(path);
  if (!file.IsOpen()) return ERR_FILE_OPEN;
  FileTextLines lines(file.Get());
  return ParseHexLines(lines, image, range);
}

}  // namespace tarvo
