// The interface library's side of the link: one connection to the simulated camera per
// process, opened by Open_Cam and closed by Close_Cam. It frames every request (sets its final
// byte), hands it to the camera under the camera folder's lock, applies faults, latency and
// the command timeout, checks the camera's answer the way the link checks a real one, and
// writes the telegram trace when QLM_SIM_TRACE names a file.
#pragma once

#include <cstdint>

namespace tarvo::sim {

// Driver sources of the three libraries ("USB 2.0 driver", "GigE driver", "USB 3.0 driver").
inline constexpr std::uint32_t kDriverUsb2 = 0x310000;
inline constexpr std::uint32_t kDriverGige = 0x320000;
inline constexpr std::uint32_t kDriverUsb3 = 0x340000;

inline constexpr std::uint32_t kInitialCommandTimeoutMs = 2000;

std::uint32_t ConnectionOpen(std::uint32_t driverSource, std::uint32_t cameraNumber,
                             std::uint32_t* cameraHandle);
std::uint32_t ConnectionClose(std::uint32_t* cameraHandle);
std::uint32_t ConnectionCommand(std::uint32_t cameraHandle, const void* request,
                                std::uint32_t requestLength, void* response,
                                std::uint32_t responseLength);
std::uint32_t ConnectionSetTimeouts(std::uint32_t cameraHandle, const std::uint32_t* timeouts,
                                    std::uint32_t lengthInBytes);
std::uint32_t ConnectionCheckDevice(std::uint32_t cameraHandle, std::uint32_t deviceNumber);

}  // namespace tarvo::sim
