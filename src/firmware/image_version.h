// Versions of device images: the 10-byte record that packets and devices store, and the
// version as the program compares and shows it.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// Stored packed, little-endian, in packet entries, image headers and info blocks.
// Bytes 0..3 form the version word (minor + 256 x major + 65536 x variant),
// bytes 4..7 the time word.
#pragma pack(push, 1)
struct ImageVersion {
  std::uint8_t minor = 0;
  std::uint8_t major = 0;
  std::uint16_t variant = 0;
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t day = 0;
  std::uint8_t month = 0;
  std::uint16_t year = 0;
};
#pragma pack(pop)
static_assert(sizeof(ImageVersion) == 10, "ImageVersion is a packed 10-byte record");

inline constexpr std::uint32_t kImageVersionSize = 10;

// Reads and writes the record in its file layout (independent of host byte order).
ImageVersion ImageVersionFromBytes(const std::uint8_t* bytes);
void ImageVersionToBytes(const ImageVersion& version, std::uint8_t* bytes);

// A device's version as compared and shown; -1 in all three fields means "not available".
struct DeviceVersion {
  std::int32_t variant = -1;
  std::int32_t major = -1;
  std::int32_t minor = -1;

  bool IsAvailable() const { return variant != -1; }
  friend bool operator==(const DeviceVersion&, const DeviceVersion&) = default;
};

inline constexpr DeviceVersion kVersionNotAvailable{};

// "%03d V%02d.%02d": variant 1, version 4.11 reads "001 V04.11".
std::string FormatDeviceVersion(std::int32_t variant, std::int32_t major, std::int32_t minor);
inline std::string FormatDeviceVersion(const DeviceVersion& version) {
  return FormatDeviceVersion(version.variant, version.major, version.minor);
}

}  // namespace tarvo
