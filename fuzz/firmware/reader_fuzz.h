// Shared body of the image reader fuzz targets: the input is a raw image file; a successful
// read is finished for the device as image loading does it. The image buffer is allocated
// once, as the program does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "firmware/device_image_loader.h"
#include "firmware/image_readers.h"

namespace tarvo::fuzz {

class SilentReport final : public ImageLoadReport {
 public:
  void WriteLog(const std::string&) override {}
  void ShowResult(bool, const std::string&) override {}
  void LogFileError(const std::string&, std::uint32_t) override {}
  void ShowDeviceFailed(DeviceIndex) override {}
};

inline std::uint8_t* ImageBuffer() {
  static std::vector<std::uint8_t> buffer(IMAGE_BUFFER_SIZE, 0xFF);
  return buffer.data();
}

using BytesReader = std::uint32_t (*)(const ImageFileBytes&, std::uint8_t*, ImageRange*);

// The first byte picks the version's major number (Boot uP layouts) and which of the devices
// finishes the image.
inline void ReadAndFinish(BytesReader reader, const DeviceIndex* devices, std::size_t deviceCount,
                          const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  ImageFileBytes file;
  file.version.major = data[0] & 1;
  file.version.variant = data[0];
  file.data = data + 1;
  file.length = size - 1;
  std::uint8_t* image = ImageBuffer();
  ImageRange range;
  if (reader(file, image, &range) != 0) return;
  LoadedImage loaded;
  loaded.start = range.lowest;
  loaded.end = range.highest;
  loaded.size = range.highest - range.lowest + 1;
  loaded.version = file.version;
  SilentReport report;
  const DeviceIndex device = devices[(data[0] >> 1) % deviceCount];
  if (FinishDeviceImage(device, image, report, &loaded)) {
    // Everything the packet would take must lie inside the buffer.
    if (static_cast<std::uint64_t>(loaded.start) + loaded.size > IMAGE_BUFFER_SIZE)
      __builtin_trap();
    volatile std::uint8_t last = image[loaded.end];
    (void)last;
  }
}

}  // namespace tarvo::fuzz
