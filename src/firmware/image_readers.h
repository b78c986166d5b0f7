// Readers of the raw image files that device firmware comes in. Each turns one file into the
// image the device is to hold, in the image buffer (IMAGE_BUFFER_SIZE bytes) at its device
// addresses, and reports the lowest and highest address it filled. Results are file error
// codes (0 success). Nothing is ever written outside the image buffer: data that would land
// beyond it gives ERR_FILE_TOO_MUCH_DATA.
//
// Every reader exists twice: on a file path, as packet generation uses it, and on the file's
// bytes already in memory (with the version the file name and time give), which the path
// form calls and which tests and fuzzing drive directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "firmware/firmware_packet.h"
#include "firmware/image_version.h"

namespace tarvo {

// Lowest and highest byte address a reader filled; empty as IMAGE_BUFFER_SIZE and 0.
struct ImageRange {
  std::uint32_t lowest = IMAGE_BUFFER_SIZE;
  std::uint32_t highest = 0;

  void Take(std::uint32_t low, std::uint32_t high) {
    if (low < lowest) lowest = low;
    if (high > highest) highest = high;
  }
};

// The file as the program sees it: its bytes (text files as they are on disk; line ends
// CR LF or LF are both taken as one line end) and the version its name and time give.
struct ImageFileBytes {
  const std::uint8_t* data = nullptr;
  std::size_t length = 0;
  ImageVersion version;
};

// 32-byte header in front of bitstream, colour table and memory images.
inline constexpr std::uint32_t IMAGE_HEADER_SIZE = 32;
inline constexpr std::uint32_t IMAGE_HEADER_MARKER = 0x46504741;  // "AGPF"
inline constexpr std::uint32_t kImageHeaderMarkerOffset = 20;
inline constexpr std::uint32_t kImageHeaderChecksumOffset = 24;
inline constexpr std::uint32_t kImageHeaderLengthOffset = 28;

// Boot uP images of major version 1 and more carry an application info block at the start of
// their application area, with the image's version record in it; read-back finds it there.
inline constexpr std::uint32_t kBootAppInfoAddress = 0xD0000;
inline constexpr std::uint32_t kBootAppVersionOffset = 18;  // in the info block
inline constexpr std::uint32_t kBootAppEnd = 0xDFFFF;

// FPGA bitstreams begin their configuration data with this pattern, found at positions 1..999.
inline constexpr std::uint8_t kSyncPattern[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xAA, 0x99, 0x55, 0x66};
inline constexpr std::size_t kSyncSearchLimit = 1000;

// Intel HEX (Boot uP).
[[nodiscard]] std::uint32_t ReadHexImage(const std::string& path, std::uint8_t* image,
                                         ImageRange* range);
[[nodiscard]] std::uint32_t ReadHexImageBytes(const ImageFileBytes& file, std::uint8_t* image,
                                              ImageRange* range);

// Text file of 16-bit words "address: value" (Power uP).
[[nodiscard]] std::uint32_t ReadRomImage(const std::string& path, std::uint8_t* image,
                                         ImageRange* range);
[[nodiscard]] std::uint32_t ReadRomImageBytes(const ImageFileBytes& file, std::uint8_t* image,
                                              ImageRange* range);

// Boot FPGA bitstream, stored run-length compressed behind the image header.
[[nodiscard]] std::uint32_t ReadBootBitstream(const std::string& path, std::uint8_t* image,
                                              ImageRange* range);
[[nodiscard]] std::uint32_t ReadBootBitstreamBytes(const ImageFileBytes& file, std::uint8_t* image,
                                                   ImageRange* range);

// Main FPGA, Mem FPGA 1 and 2, HDSDI FPGA bitstreams, stored bit-reversed behind the header.
[[nodiscard]] std::uint32_t ReadBitstream(const std::string& path, std::uint8_t* image,
                                          ImageRange* range);
[[nodiscard]] std::uint32_t ReadBitstreamBytes(const ImageFileBytes& file, std::uint8_t* image,
                                               ImageRange* range);

// Memory image text (Main uP): "@address" lines and groups of four byte values.
[[nodiscard]] std::uint32_t ReadMemImage(const std::string& path, std::uint8_t* image,
                                         ImageRange* range);
[[nodiscard]] std::uint32_t ReadMemImageBytes(const ImageFileBytes& file, std::uint8_t* image,
                                              ImageRange* range);

// Colour table (Color Data), stored as it is behind the header.
[[nodiscard]] std::uint32_t ReadColorTable(const std::string& path, std::uint8_t* image,
                                           ImageRange* range);
[[nodiscard]] std::uint32_t ReadColorTableBytes(const ImageFileBytes& file, std::uint8_t* image,
                                                ImageRange* range);

// Position of the synchronisation pattern in the first 1000 bytes, or -1.
long FindSyncPattern(const std::uint8_t* data, std::size_t length);

// Writes the image header: version, ten unused bytes (fill), marker, checksum, data length.
void WriteImageHeader(std::uint8_t* image, const ImageVersion& version, std::uint8_t unusedFill,
                      std::uint32_t checksum, std::uint32_t dataLength);

}  // namespace tarvo
