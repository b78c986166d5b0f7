// What the simulated camera knows about its nine devices: flash capacity, the name it reports
// in the versions answer, and where each device's image carries its version.
#pragma once

#include <cstdint>
#include <optional>

#include "firmware/device_catalogue.h"

namespace tarvo::sim {

struct SimDevice {
  const char* reportedName;  // entry name of the versions answer
  const char* fileStem;      // flash file name without extension
  std::uint32_t capacity;    // bytes of flash
};

extern const SimDevice kSimDevices[kDeviceCount];

inline std::uint32_t DeviceCapacity(DeviceIndex index) {
  return kSimDevices[index].capacity;
}

// Image layout facts the camera's firmware relies on when it reports versions.
inline constexpr std::uint32_t kImageHeaderSize = 32;
inline constexpr std::uint32_t kHeaderMarkerOffset = 20;
inline constexpr std::uint32_t kHeaderLengthOffset = 28;
inline constexpr std::uint32_t kHeaderChecksumOffset = 24;
inline constexpr char kHeaderMarker[4] = {'A', 'G', 'P', 'F'};

inline constexpr std::uint32_t kBootAppInfoAddress = 0xD0000;
inline constexpr std::uint32_t kBootAppInfoTagOffset = 8;  // "APP_INFO"
inline constexpr std::uint32_t kBootAppVersionAddress = 0xD0012;
inline constexpr std::uint32_t kBootAppEnd = 0xDFFFF;
inline constexpr std::uint32_t kBootLegacyVersionAddress = 0xF7FE0;  // images of major 0
inline constexpr std::uint32_t kBootLegacyEnd = 0xF7FFF;
inline constexpr std::uint32_t kBootLoaderStart = 0xC0000;

inline constexpr std::uint32_t kPowerInfoAddress = 0x35C0;
inline constexpr std::uint16_t kPowerInfoMarker = 0xB00B;
inline constexpr std::uint32_t kPowerInfoNameOffset = 4;  // "Tarvo Power uP"
inline constexpr std::uint32_t kPowerInfoVersionOffset = 0x14;
inline constexpr std::uint32_t kPowerImageEnd = 0x35FF;

// The device whose select code this is on a camera with the given HD-SDI board revision;
// nothing for codes that select no device on that camera. `*unknown` tells a code outside the
// select family from one this board refuses.
std::optional<DeviceIndex> DeviceForSelectCode(std::uint16_t code, bool newerHdsdiBoard,
                                               bool* unknown);

bool IsSelectFamilyCode(std::uint16_t code);

}  // namespace tarvo::sim
