// The eight telegram operations the update engine uses. Each builds its request, exchanges it
// through Transact and returns Transact's result unchanged (0 = success).
#pragma once

#include <cstdint>

namespace tarvo {

// One device as the camera reports it in the versions answer (20 bytes on the wire).
struct DeviceVersionEntry {
  char name[16];  // zero-ended text, e.g. "Main FPGA" or "HDSDI ..."
  std::uint8_t minor;
  std::uint8_t major;
  std::uint16_t variant;
};

inline constexpr std::uint32_t kVersionTableCapacity = 30;

// Camera type (16 bit) and serial number. Both outputs are set to all ones first and are
// overwritten only on success.
[[nodiscard]] std::uint32_t GetCameraType(std::uint16_t* cameraType, std::uint32_t* serialNumber);

// Fills a table with room for kVersionTableCapacity entries; *count is the number stored.
// Pages through the paged form; falls back once to the single form when page 0 fails.
// Never stores more than kVersionTableCapacity entries, however many the camera reports.
[[nodiscard]] std::uint32_t GetDeviceVersions(DeviceVersionEntry* table, std::uint32_t* count);

[[nodiscard]] std::uint32_t SelectDevice(std::uint16_t selectCode);
[[nodiscard]] std::uint32_t EndDeviceAccess();
[[nodiscard]] std::uint32_t EraseDevice(std::uint32_t timeoutSeconds);

// length 1..256 bytes at a device address.
[[nodiscard]] std::uint32_t WriteBlock(std::uint32_t address, const std::uint8_t* data,
                                       std::uint32_t length);

// length 1..256 bytes from a device address; the destination receives the answer's bytes even
// when the result is non-zero (callers use them only on 0).
[[nodiscard]] std::uint32_t ReadBlock(std::uint32_t address, std::uint32_t length,
                                      std::uint8_t* destination);

// The camera may restart before it answers; callers ignore the result.
std::uint32_t RequestReboot();

}  // namespace tarvo
