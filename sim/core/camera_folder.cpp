#include "sim/core/camera_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
  std::string data = platform::CommonDataFolder();
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
  lockFd_ =
      open(platform::JoinPath(path_, kLockFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lockFd_ < 0) {
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
  stateFd_ =
      open(platform::JoinPath(path_, kStateFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  struct stat info {};
  if (stateFd_ < 0 || fstat(stateFd_, &info) != 0) {
    *error = "cannot open the state file in " + path_;
    return false;
  }
  bool fresh = info.st_size != static_cast<off_t>(sizeof(CameraState));
  if (fresh && ftruncate(stateFd_, sizeof(CameraState)) != 0) {
    *error = "cannot size the state file in " + path_;
    return false;
  }
  void* mapped =
      mmap(nullptr, sizeof(CameraState), PROT_READ | PROT_WRITE, MAP_SHARED, stateFd_, 0);
  if (mapped == MAP_FAILED) {
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
  if (state_ != nullptr) munmap(state_, sizeof(CameraState));
  state_ = nullptr;
  if (stateFd_ >= 0) close(stateFd_);
  stateFd_ = -1;
  if (lockFd_ >= 0) close(lockFd_);
  lockFd_ = -1;
}

void CameraFolder::Lock() {
  while (flock(lockFd_, LOCK_EX) != 0 && errno == EINTR) {
  }
}

void CameraFolder::Unlock() {
  flock(lockFd_, LOCK_UN);
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
