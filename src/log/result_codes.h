// The program's own result codes. 0 is success; every code not listed here is a camera error
// code in the 32-bit format that CameraErrorText explains. The link codes ERR_LINK_* belong to
// the interface library binding (link/link.h).
#pragma once

#include <cstdint>

namespace tarvo {

// Returned by the interface library when an answer cannot be used.
inline constexpr std::uint32_t ERR_RESPONSE_TIMEOUT = 0x10000002;     // no answer in time
inline constexpr std::uint32_t ERR_RESPONSE_CHECKSUM = 0x10000003;    // final byte wrong
inline constexpr std::uint32_t ERR_RESPONSE_SIZE = 0x10000004;        // answer of wrong size
inline constexpr std::uint32_t ERR_RESPONSE_UNEXPECTED = 0x10000005;  // not the expected answer

// Set by device verification for a content mismatch.
inline constexpr std::uint32_t ERR_VERIFY_FAILED = 0x10000300;

// File errors of the image readers and file handling.
inline constexpr std::uint32_t ERR_FILE_OPEN = 0x80000000;
inline constexpr std::uint32_t ERR_FILE_READ = 0x80000001;
inline constexpr std::uint32_t ERR_FILE_WRITE = 0x80000002;
inline constexpr std::uint32_t ERR_FILE_CHECKSUM = 0x80000003;
inline constexpr std::uint32_t ERR_FILE_STRUCTURE = 0x80000004;
inline constexpr std::uint32_t ERR_FILE_TOO_MUCH_DATA = 0x80000005;
inline constexpr std::uint32_t ERR_FILE_NAME = 0x80000006;

// Fields of a camera error code.
inline constexpr std::uint32_t kErrorNumberMask = 0x00000FFF;
inline constexpr std::uint32_t kErrorLayerMask = 0x0000F000;
inline constexpr std::uint32_t kErrorDeviceMask = 0x00FF0000;
inline constexpr std::uint32_t kErrorCommonFlag = 0x20000000;
inline constexpr std::uint32_t kErrorWarningFlag = 0x40000000;
inline constexpr std::uint32_t kErrorLayerFirmware = 0x1000;
inline constexpr std::uint32_t kErrorLayerDriver = 0x2000;
inline constexpr std::uint32_t kErrorLayerSdk = 0x3000;
inline constexpr std::uint32_t kErrorLayerApplication = 0x4000;

}  // namespace tarvo
