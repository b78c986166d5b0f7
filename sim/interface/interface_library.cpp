// The five entry points of an interface library, built once per interface: the libraries
// differ only in the driver that their connection errors name.
#include <cstdint>

#include "sim/core/camera_connection.h"

#ifndef TARVO_SIM_DRIVER_SOURCE
#error "TARVO_SIM_DRIVER_SOURCE names the driver of the library's interface"
#endif

// Windows DLLs export what exports.def lists; shared objects what the version script lets out.
#ifdef _WIN32
#define TARVO_SIM_EXPORT extern "C"
#else
#define TARVO_SIM_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TARVO_SIM_EXPORT std::uint32_t Open_Cam(std::uint32_t cameraNumber, std::uint32_t* cameraHandle) {
  return tarvo::sim::ConnectionOpen(TARVO_SIM_DRIVER_SOURCE, cameraNumber, cameraHandle);
}

TARVO_SIM_EXPORT std::uint32_t Close_Cam(std::uint32_t* cameraHandle) {
  return tarvo::sim::ConnectionClose(cameraHandle);
}

TARVO_SIM_EXPORT std::uint32_t Control_Command(std::uint32_t cameraHandle, void* request,
                                               std::uint32_t requestLength, void* response,
                                               std::uint32_t responseLength) {
  return tarvo::sim::ConnectionCommand(cameraHandle, request, requestLength, response,
                                       responseLength);
}

TARVO_SIM_EXPORT std::uint32_t Set_Timeouts(std::uint32_t cameraHandle, std::uint32_t* timeouts,
                                            std::uint32_t lengthInBytes) {
  return tarvo::sim::ConnectionSetTimeouts(cameraHandle, timeouts, lengthInBytes);
}

TARVO_SIM_EXPORT std::uint32_t Check_Device_Availability(std::uint32_t cameraHandle,
                                                         std::uint32_t deviceNumber) {
  return tarvo::sim::ConnectionCheckDevice(cameraHandle, deviceNumber);
}
