// Building a packet file from raw image files, as packet generation does it: one image per
// device step of the programming order, the whole order stored in the header, the file
// written and checked.
#pragma once

#include <string>
#include <vector>

#include "firmware/device_catalogue.h"
#include "firmware/firmware_packet.h"
#include "firmware/image_load_report.h"

namespace tarvo {

inline constexpr const char* kPacketExtension = ".tvf";

// The path with ".tvf" appended, unless its last four characters already are ".tvf" in any
// case (and it is longer than that): "a.bin" becomes "a.bin.tvf", "A.TVF" stays.
std::string EnsurePacketExtension(const std::string& path);

struct PacketImageSource {
  DeviceIndex device = 0;
  std::string path;
};

enum class PacketBuildResult {
  kWritten,       // the file was written and passed its check
  kImageFailed,   // an image file could not be loaded; no file was written
  kPacketFailed,  // the packet could not be made or written (shown as a result box)
};

// Loads each image in the order given, adds it to a new packet, stores all 64 codes of the
// order, seals the packet and saves it to path (taken as it is; apply EnsurePacketExtension
// first). The image buffer holds IMAGE_BUFFER_SIZE bytes. If any image fails to load, no file
// is written: a packet lacking a device that its order names would be broken. A file that
// cannot be written leaves the log a line saying why (path and the system's reason).
[[nodiscard]] PacketBuildResult BuildPacketFile(
    const ProgramOrder& order, const std::vector<PacketImageSource>& images,
    const std::string& path, std::uint8_t* imageBuffer, ImageLoadReport& report,
    platform::ReplaceMode mode = platform::ReplaceMode::kReplace);

}  // namespace tarvo
