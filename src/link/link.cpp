#include "link/link.h"

namespace tarvo {

namespace {

LinkState gLink;

struct InterfaceLibrary {
  InterfaceType type;
  const char* stem;
};

// Windows names the files qlm_usb.dll, qlm_gige.dll and qlm_usb3.dll; the platform layer adds
// its own prefix and extension.
constexpr InterfaceLibrary kInterfaceLibraries[] = {
    {INTERFACE_USB2, "qlm_usb"},
    {INTERFACE_GIGE, "qlm_gige"},
    {INTERFACE_USB3, "qlm_usb3"},
};

template <typename Function>
Function Resolve(platform::LibraryHandle library, const char* name) {
  return reinterpret_cast<Function>(platform::ResolveEntryPoint(library, name));
}

void ForgetEntryPoints() {
  gLink.openCam = nullptr;
  gLink.closeCam = nullptr;
  gLink.controlCommand = nullptr;
  gLink.setTimeouts = nullptr;
  gLink.checkDeviceAvailability = nullptr;
}

void UnloadLibrary() {
  if (gLink.library != nullptr) {
    platform::UnloadSharedLibrary(gLink.library);
    gLink.library = nullptr;
  }
}

bool ResolveAll(platform::LibraryHandle library) {
  gLink.openCam = Resolve<OpenCamFunction>(library, kOpenCamName);
  gLink.closeCam = Resolve<CloseCamFunction>(library, kCloseCamName);
  gLink.controlCommand = Resolve<ControlCommandFunction>(library, kControlCommandName);
  gLink.setTimeouts = Resolve<SetTimeoutsFunction>(library, kSetTimeoutsName);
  gLink.checkDeviceAvailability =
      Resolve<CheckDeviceAvailabilityFunction>(library, kCheckDeviceAvailabilityName);
  return gLink.openCam != nullptr && gLink.closeCam != nullptr && gLink.controlCommand != nullptr &&
         gLink.setTimeouts != nullptr && gLink.checkDeviceAvailability != nullptr;
}

void SetCommandTimeout(std::uint32_t timeoutMs) {
  std::uint32_t timeouts[1] = {timeoutMs};
  // Only the first value, the command timeout, is given; the result carries no meaning.
  (void)gLink.setTimeouts(gLink.cameraHandle, timeouts, sizeof timeouts);
}

}  // namespace

const char* InterfaceLibraryStem(InterfaceType type) {
  for (const InterfaceLibrary& library : kInterfaceLibraries) {
    if (library.type == type) return library.stem;
  }
  return nullptr;
}

const LinkState& CurrentLinkState() {
  return gLink;
}

std::uint32_t OpenLink(InterfaceType type) {
  // A connection left open by an earlier operation is closed with its own library first.
  if (gLink.cameraHandle != 0) {
    if (gLink.closeCam != nullptr) gLink.closeCam(&gLink.cameraHandle);
    gLink.cameraHandle = 0;
  }
  UnloadLibrary();
  // The old entry points point into the unloaded library: never leave them callable, also
  // when no new library gets bound below.
  ForgetEntryPoints();

  const char* stem = InterfaceLibraryStem(type);
  if (stem == nullptr) return ERR_LINK_UNAVAILABLE;

  platform::LibraryHandle library =
      platform::LoadSharedLibrary(platform::SharedLibraryFileName(stem));
  if (library == nullptr) return ERR_LINK_UNAVAILABLE;
  if (!ResolveAll(library)) {
    platform::UnloadSharedLibrary(library);
    ForgetEntryPoints();
    return ERR_LINK_UNAVAILABLE;
  }
  gLink.library = library;

  gLink.cameraHandle = 0;
  return gLink.openCam(0, &gLink.cameraHandle);
}

std::uint32_t CloseLink() {
  std::uint32_t result = 0;
  if (gLink.closeCam != nullptr) result = gLink.closeCam(&gLink.cameraHandle);
  UnloadLibrary();
  gLink.cameraHandle = 0;
  ForgetEntryPoints();
  return result;
}

std::uint32_t Transact(std::uint32_t timeoutMs, void* request, std::uint32_t requestLength,
                       void* response, std::uint32_t responseLength) {
  if (gLink.setTimeouts == nullptr || gLink.controlCommand == nullptr) return ERR_LINK_NOT_BOUND;
  SetCommandTimeout(timeoutMs);
  const std::uint32_t result =
      gLink.controlCommand(gLink.cameraHandle, request, requestLength, response, responseLength);
  SetCommandTimeout(kDefaultCommandTimeoutMs);
  return result;
}

void UnloadLinkAtExit() {
  UnloadLibrary();
  gLink.cameraHandle = 0;
  ForgetEntryPoints();
}

}  // namespace tarvo
