#include "sim/core/device_contents.h"

#include <algorithm>
#include <cstring>

#include "sim/core/device_layout.h"
#include "sim/core/factory_images.h"

namespace tarvo::sim {

namespace {

bool AllErased(const std::uint8_t* bytes, std::size_t length) {
  return std::all_of(bytes, bytes + length, [](std::uint8_t b) { return b == 0xFF; });
}

std::optional<DeviceContents> FromHeader(const std::uint8_t* header, std::uint32_t capacity,
                                         std::uint32_t endMask) {
  if (std::memcmp(header + kHeaderMarkerOffset, kHeaderMarker, 4) != 0) return std::nullopt;
  DeviceContents contents;
  contents.version = ImageVersionFromBytes(header);
  std::uint64_t end = (std::uint64_t{GetLe32(header + kHeaderLengthOffset)} + 31) | endMask;
  contents.end = static_cast<std::uint32_t>(std::min<std::uint64_t>(end, capacity - 1));
  return contents;
}

std::optional<DeviceContents> BootUpContents(const FlashDevice& flash) {
  std::uint8_t block[32];
  if (!flash.Read(kBootAppInfoAddress, block, sizeof(block))) return std::nullopt;
  DeviceContents contents;
  if (std::memcmp(block + kBootAppInfoTagOffset, "APP_INFO", 8) == 0) {
    contents.version =
        ImageVersionFromBytes(block + (kBootAppVersionAddress - kBootAppInfoAddress));
    contents.start = kBootAppInfoAddress;
    contents.end = kBootAppEnd;
    return contents;
  }
  // Images of major version 0 keep their version record near the end of the boot area.
  std::uint8_t record[kImageVersionSize];
  if (!flash.Read(kBootLegacyVersionAddress, record, sizeof(record)) ||
      AllErased(record, sizeof(record))) {
    return std::nullopt;
  }
  contents.version = ImageVersionFromBytes(record);
  contents.start = kBootLoaderStart;
  contents.end = kBootLegacyEnd;
  return contents;
}

std::optional<DeviceContents> PowerUpContents(const FlashDevice& flash) {
  std::uint8_t info[0x18];
  if (!flash.Read(kPowerInfoAddress, info, sizeof(info))) return std::nullopt;
  if (GetLe16(info) != kPowerInfoMarker ||
      std::memcmp(info + kPowerInfoNameOffset, "Tarvo Power uP", 15) != 0) {
    return std::nullopt;
  }
  DeviceContents contents;
  contents.version.minor = info[kPowerInfoVersionOffset];
  contents.version.major = info[kPowerInfoVersionOffset + 1];
  contents.version.variant =
      static_cast<std::uint16_t>(GetLe16(info + kPowerInfoVersionOffset + 2));
  contents.end = kPowerImageEnd;
  return contents;
}

}  // namespace

std::optional<DeviceContents> ReadDeviceContents(DeviceIndex index, const FlashDevice& flash) {
  if (index == DEVICE_BOOT_UP) return BootUpContents(flash);
  if (index == DEVICE_POWER_UP) return PowerUpContents(flash);
  std::uint8_t header[kImageHeaderSize];
  if (!flash.Read(0, header, sizeof(header))) return std::nullopt;
  if (index == DEVICE_HDSDI_FPGA) {
    // Stored as 16-bit words high byte first.
    for (std::uint32_t i = 0; i < kImageHeaderSize; i += 2) std::swap(header[i], header[i + 1]);
    return FromHeader(header, flash.Capacity(), 0x1FF);
  }
  return FromHeader(header, flash.Capacity(), 0);
}

}  // namespace tarvo::sim
