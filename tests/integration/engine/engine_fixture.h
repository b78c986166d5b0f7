// The engine against the simulated camera through the real library path: the test process
// loads the camera's interface library by bare name like the program does, with the camera
// folder, the log folder and the program folder in a temporary folder, the fake window and
// the fake clock. The camera itself is prepared and inspected through its folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/programmer_dlg.h"
#include "platform/clock.h"
#include "sim/core/camera_folder.h"
#include "support/engine/fake_window.h"
#include "support/temp_folder.h"

namespace tarvo::test {

// One image of a packet, at its device addresses.
struct PacketImage {
  DeviceIndex device = 0;
  std::uint32_t start = 0;
  std::vector<std::uint8_t> bytes;
  ImageVersion version;
};

// A finished image that the camera recognises and reports with its version once it holds it.
PacketImage RecognisedImage(DeviceIndex device, std::uint16_t variant, std::uint8_t major,
                            std::uint8_t minor);
// Deterministic bytes the camera does not recognise; the version is only the packet's.
PacketImage PlainImage(DeviceIndex device, std::uint32_t start, std::uint32_t size,
                       std::uint32_t seed, std::uint16_t variant = 1, std::uint8_t major = 2,
                       std::uint8_t minor = 0);

class EngineFixture : public ::testing::Test {
 protected:
  EngineFixture();
  ~EngineFixture() override;

  // Camera: factory-fresh with the given firmware version on every device, or with nothing.
  void ResetCamera(bool withFirmware, std::uint16_t variant = 1, std::uint8_t major = 1,
                   std::uint8_t minor = 0);
  // Changes the camera's settings or faults, under the camera folder's lock.
  void ChangeCamera(const std::function<void(sim::CameraState&)>& change);
  // Fails the nth telegram of one command (0: of any command) with a camera error code.
  void FailTelegram(std::uint16_t command, std::uint32_t nth, std::uint32_t code);
  // Erases the device and writes the image, as the factory would.
  void FactoryWrite(const PacketImage& image);
  void EraseDevice(DeviceIndex device);
  std::vector<std::uint8_t> ReadFlash(DeviceIndex device, std::uint32_t address,
                                      std::uint32_t length);
  // Changes single flash bytes behind the programmer's back.
  void CorruptFlash(DeviceIndex device, std::uint32_t address, std::uint32_t count);

  // Packets, with the given order stored in them when there is one.
  std::string WritePacket(const std::string& path, const std::vector<PacketImage>& images,
                          const std::optional<std::vector<std::uint16_t>>& steps = std::nullopt);
  void ConnectWithPacket(const std::vector<PacketImage>& images,
                         const std::vector<std::uint16_t>& steps) {
    ConnectWithPacket(images, std::optional<std::vector<std::uint16_t>>(steps));
  }
  std::string PacketPath(const std::string& name) const { return temp_.File(name); }

  // The main window object, created with its log and started like the program starts it.
  CProgrammerDlg& Start(bool emergency = false, bool packetGeneration = false);
  CProgrammerDlg& Dlg() { return *dlg_; }
  // Loads a packet (starting the window when needed), then clears the records of the load.
  void LoadPacket(const std::vector<PacketImage>& images, bool emergency = false);
  // Connects (starting the window when needed), then clears the records of the connect.
  void ConnectFresh();
  // Loads a packet (with the order, when given) and connects, then clears the records of both.
  void ConnectWithPacket(const std::vector<PacketImage>& images,
                         const std::optional<std::vector<std::uint16_t>>& steps = std::nullopt);
  // Texts of the message boxes shown so far.
  std::vector<std::string> BoxTexts() const;

  // Log lines written since the last call (texts without time stamps).
  std::vector<std::string> NewLogLines();
  std::vector<std::string> AllLogLines() const;
  std::string LogPath() const;

  TempFolder temp_;
  ScopedEnvironment dataHome_;
  ScopedEnvironment simFolder_;
  ScopedEnvironment timeScale_;
  std::string programFolder_;
  sim::CameraFolder camera_;
  FakeWindow window_;
  platform::FakeClock clock_;
  std::unique_ptr<CProgrammerDlg> dlg_;
  std::size_t logMark_ = 0;
};

}  // namespace tarvo::test
