#include "sim/core/camera_folder.h"

#include <cstdlib>

#include "platform/folders.h"
#include "sim/core/device_layout.h"
#include "sim/core/factory_images.h"

namespace tarvo::sim {

namespace {

constexpr const char* kLockFileName = "camera.lock";
constexpr const char* kStateFileName = "camera.state";

}  // namespace

std::string DefaultCameraFolder() {
  const char* simDir = std::getenv("QLM_SIM_DIR");
  if (simDir != nullptr && simDir[0] != '\0') return simDir;
  std::string data = platform::UserDataFolder();
  if (data.empty()) return "orva-camsim";
  return platform::JoinPath(data, "orva-camsim");
}

CameraFolder::~CameraFolder() {
  Close();
}

std::string CameraFolder::FlashFilePath(DeviceIndex index) const {
  return platform::JoinPath(path_, std::string(kSimDevices[index].fileStem) + ".flash");
}

bool CameraFolder::Open(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  if (!platform::CreateFolders(path_)) {
    *error = "cannot create the camera folder " + path_;
    return false;
  }
  if (!lockFile_.Open(platform::JoinPath(path_, kLockFileName))) {
    *error = "cannot open the lock file in " + path_;
    return false;
  }
  Lock();
  bool opened = OpenLocked(error);
  Unlock();
  if (!opened) Close();
  return opened;
}

bool CameraFolder::OpenLocked(std::string* error) {
  std::uint64_t size = 0;
  if (!stateFile_.Open(platform::JoinPath(path_, kStateFileName)) || !stateFile_.Size(&size)) {
    *error = "cannot open the state file in " + path_;
    return false;
  }
  bool fresh = size != sizeof(CameraState);
  if (fresh && !stateFile_.Resize(sizeof(CameraState))) {
    *error = "cannot size the state file in " + path_;
    return false;
  }
  void* mapped = stateFile_.MapShared(sizeof(CameraState));
  if (mapped == nullptr) {
    *error = "cannot map the state file in " + path_;
    return false;
  }
  state_ = static_cast<CameraState*>(mapped);
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    if (!flash_[index].Open(FlashFilePath(index), kSimDevices[index].capacity)) {
      *error = "cannot open the flash file " + FlashFilePath(index);
      return false;
    }
  }
  if (fresh || !IsValidState(*state_)) {
    if (!ResetCamera(*this, DefaultSettings(), true, kFactoryVariant, kFactoryMajor,
                     kFactoryMinor)) {
      *error = "cannot write the factory firmware in " + path_;
      return false;
    }
  }
  return true;
}

void CameraFolder::Close() {
  for (FlashDevice& flash : flash_) flash.Close();
  state_ = nullptr;
  stateFile_.Close();
  lockFile_.Close();
}

void CameraFolder::Lock() {
  lockFile_.Lock();
}

void CameraFolder::Unlock() {
  lockFile_.Unlock();
}

bool ResetCamera(CameraFolder& folder, const CameraSettings& settings, bool withFirmware,
                 std::uint16_t variant, std::uint8_t major, std::uint8_t minor) {
  ResetState(&folder.State(), settings);
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    FlashDevice& flash = folder.Flash(index);
    if (!flash.Erase()) return false;
    if (!withFirmware) continue;
    FactoryImage image = BuildFactoryImage(index, variant, major, minor);
    if (!flash.Program(image.start, image.bytes.data(),
                       static_cast<std::uint32_t>(image.bytes.size()))) {
      return false;
    }
  }
  return true;
}

}  // namespace tarvo::sim
