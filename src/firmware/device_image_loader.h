// Loading one raw image file for a device into the image buffer: the catalogue's reader for
// the device, the version from the file's name and time, and the finishing the device needs.
#pragma once

#include <cstdint>
#include <string>

#include "firmware/device_catalogue.h"
#include "firmware/image_load_report.h"
#include "firmware/image_version.h"

namespace tarvo {

// A device image in the image buffer: addresses start..end (inclusive), size bytes.
struct LoadedImage {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::uint32_t size = 0;
  ImageVersion version;  // from the file's name and last-write time
};

// The image buffer holds IMAGE_BUFFER_SIZE bytes; it is filled with 0xFF first. On failure
// the report has shown why (file error in the log, device shown failed), the buffer holds a
// partial image and image is left unchanged.
[[nodiscard]] bool LoadDeviceImage(DeviceIndex device, const std::string& path,
                                   std::uint8_t* imageBuffer, ImageLoadReport& report,
                                   LoadedImage* image);

// Runs the reader of the device's catalogue entry; returns its file error code.
[[nodiscard]] std::uint32_t ReadDeviceImageFile(DeviceIndex device, const std::string& path,
                                                std::uint8_t* imageBuffer, std::uint32_t* lowest,
                                                std::uint32_t* highest);

// What each device needs beyond its reader. false when the image cannot be finished: its
// data lies entirely behind the device's fixed end address, or its padding would pass the end
// of the image buffer.
[[nodiscard]] bool FinishDeviceImage(DeviceIndex device, std::uint8_t* imageBuffer,
                                     ImageLoadReport& report, LoadedImage* image);

}  // namespace tarvo
