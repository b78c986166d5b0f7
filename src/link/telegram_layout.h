// Command telegrams as the camera understands them. Both directions share one frame:
//   offset 0: command code (16 bit), offset 2: telegram size incl. final byte (16 bit),
//   offset 4..size-2: fields, size-1: final byte (filled and checked by the interface library).
// All multi-byte fields are little-endian.
#pragma once

#include <cstdint>

namespace tarvo::telegram {

inline constexpr std::uint32_t kHeaderSize = 4;   // code + size
inline constexpr std::uint32_t kFieldOffset = 4;  // first field of requests and answers

// Command codes.
inline constexpr std::uint16_t kGetCameraType = 0x0110;
inline constexpr std::uint16_t kGetDeviceVersionsPaged = 0x0D10;
inline constexpr std::uint16_t kGetDeviceVersionsSingle = 0x0810;
inline constexpr std::uint16_t kEndDeviceAccess = 0x0003;
inline constexpr std::uint16_t kEraseDevice = 0x1003;
inline constexpr std::uint16_t kWriteBlock = 0x1103;
inline constexpr std::uint16_t kReadBlock = 0x1403;
inline constexpr std::uint16_t kRequestReboot = 0x1704;
// Device selection codes are per device (device catalogue); the newer HD-SDI board revision
// answers to this one instead of its catalogue code.
inline constexpr std::uint16_t kSelectHdsdiNewerBoard = 0x4A03;

// One row per telegram: request size handed to the library, answer size (the response buffer
// length), and the command timeout in milliseconds (0: the caller gives it).
struct TelegramShape {
  std::uint16_t code;
  std::uint32_t requestLength;
  std::uint32_t responseLength;
  std::uint32_t timeoutMs;
};

inline constexpr TelegramShape kCameraTypeShape{kGetCameraType, 5, 23, 2500};
inline constexpr TelegramShape kVersionsPagedShape{kGetDeviceVersionsPaged, 6, 207, 2500};
inline constexpr TelegramShape kVersionsSingleShape{kGetDeviceVersionsSingle, 5, 207, 2500};
inline constexpr TelegramShape kSelectShape{0, 13, 17, 2500};  // code per device
inline constexpr TelegramShape kEndAccessShape{kEndDeviceAccess, 13, 17, 2500};
inline constexpr TelegramShape kEraseShape{kEraseDevice, 13, 17, 0};  // caller's seconds x 1000
// Write requests always travel as a 269-byte area; their size field holds data length + 13.
inline constexpr TelegramShape kWriteShape{kWriteBlock, 269, 15, 2500};
inline constexpr TelegramShape kReadShape{kReadBlock, 13, 269, 2500};
inline constexpr TelegramShape kRebootShape{kRequestReboot, 5, 272, 350};

inline constexpr std::uint32_t kMaxBlockLength = 256;
inline constexpr std::uint32_t kWriteSizeFieldExtra = 13;  // size field = data length + 13
inline constexpr std::uint32_t kWriteStartOffset = 4;
inline constexpr std::uint32_t kWriteEndOffset = 8;
inline constexpr std::uint32_t kWriteDataOffset = 12;
inline constexpr std::uint32_t kReadStartOffset = 4;
inline constexpr std::uint32_t kReadEndOffset = 8;
inline constexpr std::uint32_t kReadAnswerDataOffset = 12;

// Camera type answer: type (16 bit) at 4, serial number (32 bit) at 8.
inline constexpr std::uint32_t kCameraTypeOffset = 4;
inline constexpr std::uint32_t kSerialNumberOffset = 8;

// Versions answer: total number of entries (16 bit) at 4, up to 10 entries from 6.
inline constexpr std::uint32_t kVersionsTotalOffset = 4;
inline constexpr std::uint32_t kVersionsPageOffset = 4;  // request: page number, 8 bit
inline constexpr std::uint32_t kVersionsEntryOffset = 6;
inline constexpr std::uint32_t kVersionsPerAnswer = 10;
inline constexpr std::uint32_t kVersionEntrySize = 20;
inline constexpr std::uint32_t kVersionEntryNameLength = 16;
inline constexpr std::uint32_t kVersionEntryMinorOffset = 16;
inline constexpr std::uint32_t kVersionEntryMajorOffset = 17;
inline constexpr std::uint32_t kVersionEntryVariantOffset = 18;

// Camera types of the model this program serves.
inline constexpr std::uint16_t kCameraTypeTarvo = 0x1000;
inline constexpr std::uint16_t kCameraTypeTarvoB = 0x1010;

}  // namespace tarvo::telegram
