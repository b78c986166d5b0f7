// Talks to a simulated camera the way the program does: loads one of the built interface
// libraries at run time, resolves its five entry points and exchanges telegrams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/device_catalogue.h"
#include "link/interface_abi.h"

namespace tarvo::simtest {

// Full paths of the built libraries (set by the build).
std::string LibraryPath(const std::string& stem);

struct Answer {
  std::uint32_t result = 0;
  std::vector<std::uint8_t> bytes;
};

class SimClient {
 public:
  explicit SimClient(const std::string& stem = "qlm_usb");
  ~SimClient();
  SimClient(const SimClient&) = delete;
  SimClient& operator=(const SimClient&) = delete;

  bool Loaded() const { return library_ != nullptr; }
  std::uint32_t Open();
  std::uint32_t Close();
  std::uint32_t Handle() const { return handle_; }

  // Sends exactly these bytes (final byte left to the library) with this response length.
  Answer Send(std::vector<std::uint8_t> request, std::uint32_t responseLength);

  // The program's telegrams.
  Answer CameraType();
  Answer VersionsPage(std::uint8_t page);
  Answer VersionsSingle();
  std::uint32_t Select(std::uint16_t code);
  std::uint32_t SelectDevice(DeviceIndex index) { return Select(DeviceSelectCode(index)); }
  std::uint32_t End();
  std::uint32_t Erase();
  std::uint32_t Write(std::uint32_t address, const std::uint8_t* data, std::uint32_t length);
  Answer Read(std::uint32_t address, std::uint32_t length);
  Answer Reboot();

  // Whole-device helpers: select, erase, write in 256-byte blocks, end.
  std::uint32_t ProgramImage(DeviceIndex index, std::uint32_t start,
                             const std::vector<std::uint8_t>& bytes);
  std::vector<std::uint8_t> ReadRange(std::uint32_t address, std::uint32_t length);

  OpenCamFunction openCam = nullptr;
  CloseCamFunction closeCam = nullptr;
  ControlCommandFunction controlCommand = nullptr;
  SetTimeoutsFunction setTimeouts = nullptr;
  CheckDeviceAvailabilityFunction checkDevice = nullptr;

 private:
  void* library_ = nullptr;
  std::uint32_t handle_ = 0;
};

// Test data: length bytes from the seed on.
std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed);

std::vector<std::uint8_t> Telegram(std::uint16_t code, std::uint16_t size, std::uint32_t length);
void PutLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);
std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at);
std::uint32_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t at);

}  // namespace tarvo::simtest
