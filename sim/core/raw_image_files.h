// Synthetic raw image files, one per device, in the formats the firmware build delivers them
// and the programmer's image readers take: Intel HEX for Boot uP, bitstreams with a file header
// before the synchronisation pattern for the FPGAs, a memory image for Main uP, a word file for
// Power uP and a colour table. Each file is named with its device prefix, variant and version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/device_catalogue.h"

namespace tarvo::sim {

struct RawImageRequest {
  std::uint16_t variant = 1;
  std::uint16_t hdsdiVariant = 1;  // 10 or more: an image for the newer HD-SDI board
  std::uint8_t major = 1;
  std::uint8_t minor = 0;
};

// "CALDO_1_V04_11.bit" and so on.
std::string RawImageFileName(DeviceIndex index, const RawImageRequest& request);

// The whole file content.
std::vector<std::uint8_t> BuildRawImageFile(DeviceIndex index, const RawImageRequest& request);

// Writes all nine files into `folder` (created when missing). On failure `error` names the file.
[[nodiscard]] bool WriteRawImageFiles(const std::string& folder, const RawImageRequest& request,
                                      std::vector<std::string>* written, std::string* error);

inline constexpr std::uint8_t kSyncPattern[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xAA, 0x99, 0x55, 0x66};

}  // namespace tarvo::sim
