// Result codes the simulated camera and its interface libraries return. Camera refusals use the
// firmware layer with the main microcontroller as the source, the way the camera's telegram
// handler reports them; connection failures use the driver layer of the library's interface.
#pragma once

#include <cstdint>

#include "log/result_codes.h"

namespace tarvo::sim {

inline constexpr std::uint32_t kErrorFlag = 0x80000000;
inline constexpr std::uint32_t kSourceMainUp = 0x030000;      // "QLM Main uP"
inline constexpr std::uint32_t kSourceSdkLibrary = 0x0A0000;  // "camera sdk dll"

// Numbers of the firmware error table.
inline constexpr std::uint32_t kFwWrongChecksum = 2;     // "Wrong checksum in telegram."
inline constexpr std::uint32_t kFwWrongSize = 4;         // "Wrong size in array."
inline constexpr std::uint32_t kFwInconsistent = 5;      // "Data is inkonsistent."
inline constexpr std::uint32_t kFwUnknownCommand = 6;    // "Unknown command telegram."
inline constexpr std::uint32_t kFwValueOutOfRange = 22;  // "Value is out of allowed range."
inline constexpr std::uint32_t kFwUnknownDevice = 80;    // "Attempt to open unknown device ..."
inline constexpr std::uint32_t kFwDeviceNotAvailable =
    81;                                               // "Attempt to open device not available."
inline constexpr std::uint32_t kFwAlreadyOpen = 82;   // "This or other device is already open."
inline constexpr std::uint32_t kFwNoDeviceOpen = 83;  // "No device opened for update command."
inline constexpr std::uint32_t kFwNotBlank = 87;      // "Device to program is not blank."
inline constexpr std::uint32_t kFwAddressOutOfRange = 88;  // "Device address is out of range."
inline constexpr std::uint32_t kFwProgrammingFailed =
    89;  // "Programming device flash/firmware failed."
inline constexpr std::uint32_t kFwReadingFailed = 91;  // "Reading device flash/firmware failed."
inline constexpr std::uint32_t kFwErasingFailed = 86;  // "Erasing device flash/firmware failed."

constexpr std::uint32_t CameraError(std::uint32_t number) {
  return kErrorFlag | kSourceMainUp | kErrorLayerFirmware | number;
}

// Common codes raised by the library itself ("Function call with wrong parameter.",
// "Handle is invalid.").
inline constexpr std::uint32_t kLibraryWrongParameter =
    kErrorFlag | kErrorCommonFlag | kSourceSdkLibrary | kErrorLayerSdk | 1;
inline constexpr std::uint32_t kLibraryInvalidHandle =
    kErrorFlag | kErrorCommonFlag | kSourceSdkLibrary | kErrorLayerSdk | 2;

// Driver errors; the source is the driver of the library's interface.
inline constexpr std::uint32_t kDrvNoCamera = 1;    // "Initialization failed; no camera connected."
inline constexpr std::uint32_t kDrvOpenFailed = 6;  // "Open driver or driver class failed."
inline constexpr std::uint32_t kDrvHeldByOther = 11;   // "Device is hold by an other process."
inline constexpr std::uint32_t kDrvDisconnected = 21;  // "Device is disconnected or power off."

constexpr std::uint32_t DriverError(std::uint32_t driverSource, std::uint32_t number) {
  return kErrorFlag | driverSource | kErrorLayerDriver | number;
}

}  // namespace tarvo::sim
