#include "firmware/image_version.h"

#include "log/format_text.h"

namespace tarvo {

ImageVersion ImageVersionFromBytes(const std::uint8_t* bytes) {
  ImageVersion version;
  version.minor = bytes[0];
  version.major = bytes[1];
  version.variant = static_cast<std::uint16_t>(bytes[2] | (bytes[3] << 8));
  version.hour = bytes[4];
  version.minute = bytes[5];
  version.day = bytes[6];
  version.month = bytes[7];
  version.year = static_cast<std::uint16_t>(bytes[8] | (bytes[9] << 8));
  return version;
}

void ImageVersionToBytes(const ImageVersion& version, std::uint8_t* bytes) {
  bytes[0] = version.minor;
  bytes[1] = version.major;
  bytes[2] = static_cast<std::uint8_t>(version.variant & 0xFF);
  bytes[3] = static_cast<std::uint8_t>(version.variant >> 8);
  bytes[4] = version.hour;
  bytes[5] = version.minute;
  bytes[6] = version.day;
  bytes[7] = version.month;
  bytes[8] = static_cast<std::uint8_t>(version.year & 0xFF);
  bytes[9] = static_cast<std::uint8_t>(version.year >> 8);
}

std::string FormatDeviceVersion(std::int32_t variant, std::int32_t major, std::int32_t minor) {
  return FormatText("%03d V%02d.%02d", variant, major, minor);
}

}  // namespace tarvo
