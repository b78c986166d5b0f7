// The camera's side of the link: it takes one framed request, checks that it is exactly what
// its command requires, carries it out on the state and flash of the camera folder, and
// builds the framed answer. A request the camera cannot accept gets a firmware error code.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/core/camera_folder.h"

namespace tarvo::sim {

// What one telegram was about, for the trace.
struct TelegramSummary {
  std::uint16_t code = 0;
  std::uint16_t sizeField = 0;
  bool hasAddresses = false;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::int32_t device = -1;  // selected device after the telegram
};

inline constexpr std::uint32_t kMaxAnswerSize = 272;

// `request` holds `requestLength` bytes with its final byte already set; `answer` has room for
// kMaxAnswerSize bytes and receives `responseLength` bytes on success. Call with the folder
// locked. Returns 0 or a camera error code.
std::uint32_t HandleTelegram(CameraFolder& folder, const std::uint8_t* request,
                             std::uint32_t requestLength, std::uint8_t* answer,
                             std::uint32_t responseLength, TelegramSummary* summary);

// The entries of the versions answer in the camera's order: one per device whose contents
// carry a version, then the extra entries of the settings.
struct VersionEntry {
  char name[16];
  std::uint8_t minor;
  std::uint8_t major;
  std::uint16_t variant;
};
std::vector<VersionEntry> CollectVersionEntries(CameraFolder& folder);

inline constexpr std::uint32_t kMaxExtraEntries = 200;

}  // namespace tarvo::sim
