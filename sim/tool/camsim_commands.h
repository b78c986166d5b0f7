// The commands of tarvo-camsim, each working on the camera folder under its lock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "sim/core/camera_state.h"
#include "sim/core/raw_image_files.h"

namespace tarvo::sim {

struct InitOptions {
  CameraSettings settings = DefaultSettings();
  bool blank = false;  // all devices erased instead of factory firmware
  std::uint16_t variant = 1;
  std::uint8_t major = 1;
  std::uint8_t minor = 0;
};

// Exit codes: 0 done, 1 failed, 2 bad usage or input.
int RunInit(const std::string& folder, const InitOptions& options);
int RunShow(const std::string& folder, bool json);
int RunDump(const std::string& folder, const std::string& device, const std::string& outPath,
            bool wholeDevice);
int RunMakeFirmware(const std::string& folder, const RawImageRequest& request);
int RunFlash(const std::string& folder, const std::string& packetPath);

int ChangeCamera(const std::string& folder, const std::function<void(CameraState&)>& change);

// "0".."8" or a device's display name ("Main FPGA").
std::optional<unsigned> ParseDevice(const std::string& text);
// "MAJOR.MINOR"
bool ParseVersion(const std::string& text, std::uint8_t* major, std::uint8_t* minor);

}  // namespace tarvo::sim
