// The folder that is the simulated camera: its state record (mapped shared, so that every
// process and every load of an interface library sees the same camera), one flash file per
// device, and a lock file that serialises all access between processes.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "firmware/device_catalogue.h"
#include "sim/core/camera_state.h"
#include "sim/core/flash_device.h"
#include "sim/core/sim_file.h"

namespace tarvo::sim {

// $QLM_SIM_DIR, else orva-camsim in the user's data folder: ${XDG_DATA_HOME:-$HOME/.local/share}
// on Linux, %LOCALAPPDATA% on Windows ($TARVO_DATA_DIR on both when set).
std::string DefaultCameraFolder();

class CameraFolder {
 public:
  CameraFolder() = default;
  ~CameraFolder();
  CameraFolder(const CameraFolder&) = delete;
  CameraFolder& operator=(const CameraFolder&) = delete;

  // Opens the camera in `path`, creating the folder and a factory-fresh camera when there is
  // none yet. On failure `error` says why.
  [[nodiscard]] bool Open(const std::string& path, std::string* error);
  void Close();
  bool IsOpen() const { return state_ != nullptr; }
  const std::string& Path() const { return path_; }

  // Exclusive access between processes; every access to state or flash happens inside.
  void Lock();
  void Unlock();

  CameraState& State() { return *state_; }
  FlashDevice& Flash(DeviceIndex index) { return flash_[index]; }

  std::string FlashFilePath(DeviceIndex index) const;

 private:
  bool OpenLocked(std::string* error);

  std::string path_;
  SimFile lockFile_;
  SimFile stateFile_;
  CameraState* state_ = nullptr;
  std::array<FlashDevice, kDeviceCount> flash_;
};

class FolderLock {
 public:
  explicit FolderLock(CameraFolder& folder) : folder_(folder) { folder_.Lock(); }
  ~FolderLock() { folder_.Unlock(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  CameraFolder& folder_;
};

// Makes the camera factory-fresh: settings as given, no faults, every device erased, then the
// factory firmware written when `withFirmware` (variant and version as given). Call locked.
[[nodiscard]] bool ResetCamera(CameraFolder& folder, const CameraSettings& settings,
                               bool withFirmware, std::uint16_t variant, std::uint8_t major,
                               std::uint8_t minor);

}  // namespace tarvo::sim
