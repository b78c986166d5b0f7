// FPGA bitstreams. The file's own header is dropped: the image data begins at the
// synchronisation pattern. The Boot FPGA keeps its data run-length compressed; the other FPGAs
// take it with the bit order of every byte reversed, as their configuration port reads it.
#include <array>
#include <cstring>

#include "firmware/byte_order.h"
#include "firmware/image_file.h"
#include "firmware/image_readers.h"
#include "firmware/image_version_parse.h"
#include "firmware/run_length.h"
#include "log/result_codes.h"

namespace tarvo {

namespace {

// Room the original work area layout kept in front of a bitstream: the file may be at most
// this much shorter than the image buffer.
constexpr std::uint64_t kBitstreamWorkOffset = 512;
// Programming the Boot FPGA raises an odd last block by one byte.
constexpr std::uint64_t kBootFpgaSpare = 1;

constexpr std::array<std::uint8_t, 256> MakeBitReversal() {
  std::array<std::uint8_t, 256> table{};
  for (unsigned value = 0; value < 256; ++value) {
    unsigned reversed = 0;
    for (unsigned bit = 0; bit < 8; ++bit) {
      if (value & (1u << bit)) reversed |= 0x80u >> bit;
    }
    table[value] = static_cast<std::uint8_t>(reversed);
  }
  return table;
}
constexpr std::array<std::uint8_t, 256> kBitReversal = MakeBitReversal();

// Position of the synchronisation pattern, which must follow a file header of its own.
bool FindBitstreamData(const ImageFileBytes& file, std::size_t* position) {
  const long found = FindSyncPattern(file.data, file.length);
  if (found <= 0) return false;
  *position = static_cast<std::size_t>(found);
  return true;
}

}  // namespace

std::uint32_t ReadBootBitstreamBytes(const ImageFileBytes& file, std::uint8_t* image,
                                     ImageRange* range) {
  if (file.length > IMAGE_BUFFER_SIZE) return ERR_FILE_TOO_MUCH_DATA;
  std::size_t position = 0;
  if (!FindBitstreamData(file, &position)) return ERR_FILE_STRUCTURE;
  std::memset(image, 0xFF, IMAGE_HEADER_SIZE);
  const std::size_t room = IMAGE_BUFFER_SIZE - IMAGE_HEADER_SIZE - kBootFpgaSpare;
  const std::optional<std::size_t> compressed = RunLengthCompress(
      file.data + position, file.length - position, image + IMAGE_HEADER_SIZE, room);
  if (!compressed) return ERR_FILE_TOO_MUCH_DATA;
  const auto length = static_cast<std::uint32_t>(*compressed);
  const std::uint32_t checksum = SumLe16Words(image + IMAGE_HEADER_SIZE, length / 2);
  WriteImageHeader(image, file.version, 0xFF, checksum, length);
  range->Take(0, length + IMAGE_HEADER_SIZE - 1);
  return 0;
}

std::uint32_t ReadBitstreamBytes(const ImageFileBytes& file, std::uint8_t* image,
                                 ImageRange* range) {
  if (file.length + kBitstreamWorkOffset > IMAGE_BUFFER_SIZE) return ERR_FILE_TOO_MUCH_DATA;
  std::size_t position = 0;
  if (!FindBitstreamData(file, &position)) return ERR_FILE_STRUCTURE;
  const std::size_t length = file.length - position;
  const std::uint8_t* data = file.data + position;
  std::uint8_t* out = image + IMAGE_HEADER_SIZE;
  std::uint32_t checksum = 0;
  const std::size_t pairs = length / 2;
  for (std::size_t word = 0; word < pairs; ++word) {
    const std::uint8_t low = kBitReversal[data[2 * word]];
    const std::uint8_t high = kBitReversal[data[2 * word + 1]];
    out[2 * word] = low;
    out[2 * word + 1] = high;
    checksum += static_cast<std::uint32_t>(low | high << 8);
  }
  if (length % 2 != 0) {
    // The last word takes in the erased byte behind the data.
    const std::uint8_t low = kBitReversal[data[length - 1]];
    out[length - 1] = low;
    out[length] = 0xFF;
    checksum += static_cast<std::uint32_t>(low | 0xFF << 8);
  }
  WriteImageHeader(image, file.version, 0xFF, checksum, static_cast<std::uint32_t>(length));
  range->Take(0, static_cast<std::uint32_t>(length + IMAGE_HEADER_SIZE - 1));
  return 0;
}

std::uint32_t ReadColorTableBytes(const ImageFileBytes& file, std::uint8_t* image,
                                  ImageRange* range) {
  if (file.length + IMAGE_HEADER_SIZE > IMAGE_BUFFER_SIZE) return ERR_FILE_TOO_MUCH_DATA;
  const std::size_t length = file.length;
  if (length > 0) std::memcpy(image + IMAGE_HEADER_SIZE, file.data, length);
  std::uint32_t checksum = SumLe16Words(image + IMAGE_HEADER_SIZE, length / 2);
  // An odd length takes in the erased byte behind the data.
  if (length % 2 != 0) checksum += static_cast<std::uint32_t>(file.data[length - 1] | 0xFF << 8);
  WriteImageHeader(image, file.version, 0xFF, checksum, static_cast<std::uint32_t>(length));
  range->Take(0, static_cast<std::uint32_t>(length + IMAGE_HEADER_SIZE - 1));
  return 0;
}

namespace {

using BytesReader = std::uint32_t (*)(const ImageFileBytes&, std::uint8_t*, ImageRange*);

std::uint32_t ReadBinaryImage(const std::string& path, std::uint64_t maxLength, BytesReader reader,
                              std::uint8_t* image, ImageRange* range) {
  std::vector<std::uint8_t> bytes;
  const std::uint32_t code = ReadWholeFile(path, maxLength, &bytes);
  if (code != 0) return code;
  ImageFileBytes file;
  file.data = bytes.data();
  file.length = bytes.size();
  ParseImageVersion(path, &file.version);
  return reader(file, image, range);
}

}  // namespace

std::uint32_t ReadBootBitstream(const std::string& path, std::uint8_t* image, ImageRange* range) {
  return ReadBinaryImage(path, IMAGE_BUFFER_SIZE, &ReadBootBitstreamBytes, image, range);
}

std::uint32_t ReadBitstream(const std::string& path, std::uint8_t* image, ImageRange* range) {
  return ReadBinaryImage(path, IMAGE_BUFFER_SIZE - kBitstreamWorkOffset, &ReadBitstreamBytes, image,
                         range);
}

std::uint32_t ReadColorTable(const std::string& path, std::uint8_t* image, ImageRange* range) {
  return ReadBinaryImage(path, IMAGE_BUFFER_SIZE - IMAGE_HEADER_SIZE, &ReadColorTableBytes, image,
                         range);
}

}  // namespace tarvo
