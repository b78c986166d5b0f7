// The rules that decide, from the camera's versions and the loaded packet's, which devices may
// be chosen for an update and which are preselected. Kept apart from the window so the
// decision can be read and tested as data.
#pragma once

#include <array>
#include <cstdint>

#include "engine/programmer_dlg.h"

namespace tarvo {

// Versions compare as major x 100 + minor (4.11 is 411), within one variant only. A device
// absent from a table has the number -101.
inline std::int32_t VersionNumber(const DeviceVersion& version) {
  return version.major * 100 + version.minor;
}

// Boot images older than these leave the camera unable to start; they are refused unless
// emergency mode is on.
struct BootImageFloor {
  DeviceIndex device;
  std::int32_t lowestNumber;
  const char* logFormat;  // one %s: the device's display name
};
inline constexpr BootImageFloor kBootImageFloors[] = {
    {DEVICE_BOOT_UP, 411,
     "Prohibit loading %s with version earlier than 4.11 (camera may get stuck)."},
    {DEVICE_BOOT_FPGA, 100,
     "Prohibit loading %s with version earlier than 1.00 (camera may get stuck)."},
};

struct VersionPolicyDecision {
  std::array<bool, kDeviceCount> enabled{};
  std::array<bool, kDeviceCount> checked{};
  std::array<bool, kDeviceCount> prohibited{};  // refused by a boot image floor
  // Preselected because the last update of this camera did not finish on the device, although
  // the camera reports the packet's version (the version record is in the first block written).
  std::array<bool, kDeviceCount> resumed{};
  bool variantMismatch = false;  // the packet is for another camera variant
  bool olderVersion = false;     // some loaded version is older than the camera's
};

// unfinished: the devices the service history names as half-written on this camera.
VersionPolicyDecision DecideVersionPolicy(const VersionTable& current, const VersionTable& loaded,
                                          bool emergencyMode,
                                          const std::array<bool, kDeviceCount>& unfinished = {});

// True when the device carries exactly the loaded version (variant and number).
bool CarriesLoadedVersion(const DeviceVersion& current, const DeviceVersion& loaded);

}  // namespace tarvo
