// Binding of the camera's interface library. One link for the whole process: the library of
// the chosen interface is loaded by OpenLink and unloaded by CloseLink around every operation.
#pragma once

#include <cstdint>

#include "link/interface_abi.h"
#include "platform/dynamic_library.h"

namespace tarvo {

// The user's choice of interface.
using InterfaceType = std::uint32_t;
inline constexpr InterfaceType INTERFACE_USB2 = 3;
inline constexpr InterfaceType INTERFACE_GIGE = 4;
inline constexpr InterfaceType INTERFACE_USB3 = 5;

inline constexpr std::uint32_t ERR_LINK_UNAVAILABLE = 0x10000006;  // bad type, library or export
inline constexpr std::uint32_t ERR_LINK_NOT_BOUND = 0x10000007;    // Transact without binding

// Command timeout that every exchange leaves behind.
inline constexpr std::uint32_t kDefaultCommandTimeoutMs = 200;

// Library name stem per interface type ("qlm_usb" -> libqlm_usb.so / qlm_usb.dll);
// nullptr for a type that is not 3, 4 or 5.
const char* InterfaceLibraryStem(InterfaceType type);

struct LinkState {
  platform::LibraryHandle library = nullptr;
  OpenCamFunction openCam = nullptr;
  CloseCamFunction closeCam = nullptr;
  ControlCommandFunction controlCommand = nullptr;
  SetTimeoutsFunction setTimeouts = nullptr;
  CheckDeviceAvailabilityFunction checkDeviceAvailability = nullptr;
  std::uint32_t cameraHandle = 0;
};

// The process-wide link state, read-only (for diagnostics and tests).
const LinkState& CurrentLinkState();

// Closes an open connection, loads the interface library, resolves the five entry points and
// opens camera 0. 0 when a connection is open; ERR_LINK_UNAVAILABLE or Open_Cam's code
// otherwise (after a failing Open_Cam the library stays bound until CloseLink).
[[nodiscard]] std::uint32_t OpenLink(InterfaceType type);

// Closes the connection (Close_Cam also with handle 0) and unloads the library.
// Returns Close_Cam's result, or 0 when nothing was bound.
std::uint32_t CloseLink();

// One exchange: sets the command timeout, sends the request, waits for the answer, and puts
// the timeout back to 200 ms whatever the result. Returns Control_Command's result unchanged.
[[nodiscard]] std::uint32_t Transact(std::uint32_t timeoutMs, void* request,
                                     std::uint32_t requestLength, void* response,
                                     std::uint32_t responseLength);

// Unloads a library still loaded when the program ends (without Close_Cam).
void UnloadLinkAtExit();

}  // namespace tarvo
