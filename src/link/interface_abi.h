// The binary interface of the camera SDK's interface libraries (one per physical interface).
// All values are 32-bit; every result is 0 on success, otherwise an error code.
// Shared by the program's binding and by the simulated camera's libraries.
#pragma once

#include <cstdint>

extern "C" {
using OpenCamFunction = std::uint32_t (*)(std::uint32_t cameraNumber, std::uint32_t* cameraHandle);
using CloseCamFunction = std::uint32_t (*)(std::uint32_t* cameraHandle);
using ControlCommandFunction = std::uint32_t (*)(std::uint32_t cameraHandle, void* request,
                                                 std::uint32_t requestLength, void* response,
                                                 std::uint32_t responseLength);
using SetTimeoutsFunction = std::uint32_t (*)(std::uint32_t cameraHandle, std::uint32_t* timeouts,
                                              std::uint32_t lengthInBytes);
using CheckDeviceAvailabilityFunction = std::uint32_t (*)(std::uint32_t cameraHandle,
                                                          std::uint32_t deviceNumber);
}

namespace tarvo {

// Export names, in the order the binding resolves them.
inline constexpr const char* kOpenCamName = "Open_Cam";
inline constexpr const char* kCloseCamName = "Close_Cam";
inline constexpr const char* kControlCommandName = "Control_Command";
inline constexpr const char* kSetTimeoutsName = "Set_Timeouts";
inline constexpr const char* kCheckDeviceAvailabilityName = "Check_Device_Availability";

// The codes an interface library returns when an answer cannot be used (ERR_RESPONSE_*)
// are in log/result_codes.h with the program's other codes.

}  // namespace tarvo
