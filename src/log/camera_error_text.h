// Text of a camera error code: which layer raised it, at which device, and why.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// Writes a zero-ended line into the buffer: "<layer> error|warning <code> at device '<device>':
// <message>", or "Error buffer too short. err: <code>" when the buffer is not longer than the
// line. A buffer shorter than that second text receives as much of it as fits.
void CameraErrorText(std::uint32_t code, char* buffer, std::uint32_t length);

// The line as the log shows it (a 199-byte buffer, as every caller in the program uses).
std::string CameraErrorText(std::uint32_t code);

inline constexpr std::uint32_t kErrorTextBufferLength = 199;

}  // namespace tarvo
