// The fixed pauses a run makes for the camera, in milliseconds of the program's clock. The
// runs sleep them; the command line's progress counts them into its estimate.
#pragma once

#include <cstdint>

namespace tarvo {

// Between selecting a device and erasing it.
inline constexpr std::uint32_t kPauseBeforeEraseMs = 2000;
// Between selecting a device and the first read (verify and backup).
inline constexpr std::uint32_t kPauseBeforeReadMs = 4000;
// After each device a backup has read, and before the backup's reboot.
inline constexpr std::uint32_t kPauseAfterBackupDeviceMs = 2000;
inline constexpr std::uint32_t kPauseBeforeBackupRebootMs = 3000;
// After a reboot request, so the request leaves before the link is closed.
inline constexpr std::uint32_t kPauseAfterRebootRequestMs = 2000;

}  // namespace tarvo
