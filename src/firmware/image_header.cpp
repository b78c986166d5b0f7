#include <cstring>

#include "firmware/byte_order.h"
#include "firmware/image_readers.h"

namespace tarvo {

void WriteImageHeader(std::uint8_t* image, const ImageVersion& version, std::uint8_t unusedFill,
                      std::uint32_t checksum, std::uint32_t dataLength) {
  ImageVersionToBytes(version, image);
  std::memset(image + kImageVersionSize, unusedFill, kImageHeaderMarkerOffset - kImageVersionSize);
  WriteLe32(image + kImageHeaderMarkerOffset, IMAGE_HEADER_MARKER);
  WriteLe32(image + kImageHeaderChecksumOffset, checksum);
  WriteLe32(image + kImageHeaderLengthOffset, dataLength);
}

long FindSyncPattern(const std::uint8_t* data, std::size_t length) {
  for (std::size_t position = 0; position < kSyncSearchLimit; ++position) {
    if (position + sizeof kSyncPattern > length) break;
    if (std::memcmp(data + position, kSyncPattern, sizeof kSyncPattern) == 0) {
      return static_cast<long>(position);
    }
  }
  return -1;
}

}  // namespace tarvo
