// Offsets and fixed texts of the packet file header. All numbers are little-endian.
#pragma once

#include <cstdint>

namespace tarvo::packet_layout {

inline constexpr std::uint32_t kHeaderSizeOffset = 0;
inline constexpr std::uint32_t kFormatVersionOffset = 2;
inline constexpr std::uint32_t kMagicOffset = 4;
inline constexpr std::uint32_t kMagicLength = 8;
inline constexpr std::uint32_t kHeaderTextOffset = 12;
inline constexpr std::uint32_t kHeaderTextLength = 80;
inline constexpr std::uint32_t kCreationTextOffset = 2012;
inline constexpr std::uint32_t kCreationTextLength = 80;
inline constexpr std::uint32_t kEntryCountOffset = 2092;
inline constexpr std::uint32_t kFileLengthOffset = 2096;
inline constexpr std::uint32_t kCheckWordOffset = 2100;
inline constexpr std::uint32_t kEntryTableOffset = 2168;
inline constexpr std::uint32_t kEntrySize = 136;

// Fields of one entry, relative to the entry.
inline constexpr std::uint32_t kEntryDataOffset = 0;
inline constexpr std::uint32_t kEntryImageSize = 4;
inline constexpr std::uint32_t kEntryStartAddress = 8;
inline constexpr std::uint32_t kEntryDeviceIndex = 124;
inline constexpr std::uint32_t kEntryVersion = 126;

inline constexpr char kMagic[] = "ORVTRVFW";
inline constexpr char kHeaderText[] = "Firmware packet file for orva.tarvo";
inline constexpr const char* kCreationTextFormat = "File created: %02d.%02d.%04d %02d:%02d.";

// Size of the stdio buffer of the integrity check: the check reads 1024-byte chunks, and a
// large buffer keeps that as fast as one whole-file read.
inline constexpr std::uint32_t kCheckStreamBufferSize = 1 << 20;
inline constexpr std::uint32_t kCheckChunkSize = 1024;

inline constexpr std::uint32_t EntryOffset(std::uint32_t entry) {
  return kEntryTableOffset + entry * kEntrySize;
}

}  // namespace tarvo::packet_layout
