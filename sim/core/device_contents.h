// What the camera's firmware finds in a device's flash: the version a programmed image
// carries, and the extent of that image. Found where a read-back finds them, so after a good
// update the camera reports the versions of the packet it was given; an erased device or one
// whose contents carry no recognisable image is not reported.
#pragma once

#include <cstdint>
#include <optional>

#include "firmware/device_catalogue.h"
#include "firmware/image_version.h"
#include "sim/core/flash_device.h"

namespace tarvo::sim {

struct DeviceContents {
  ImageVersion version;
  std::uint32_t start = 0;
  std::uint32_t end = 0;  // inclusive
};

std::optional<DeviceContents> ReadDeviceContents(DeviceIndex index, const FlashDevice& flash);

}  // namespace tarvo::sim
