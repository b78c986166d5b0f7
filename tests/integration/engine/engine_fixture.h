// The engine against the simulated camera, whose interface library it loads by bare name like the
// program does; camera, log and program folders in a temporary folder, the fake window and clock.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
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
                       std::uint32_t seed);

using OrderSteps = std::optional<std::vector<std::uint16_t>>;  // a packet's stored order

class EngineFixture : public ::testing::Test {
 protected:
  EngineFixture();
  ~EngineFixture() override;

  // Camera: factory-fresh with firmware 1.00 on every device, or with nothing.
  void ResetCamera(bool withFirmware) {
    sim::FolderLock lock(camera_);
    ASSERT_TRUE(sim::ResetCamera(camera_, sim::DefaultSettings(), withFirmware, 1, 1, 0));
  }
  // Changes the camera's settings or faults, under the camera folder's lock.
  void ChangeCamera(const std::function<void(sim::CameraState&)>& change) {
    sim::FolderLock lock(camera_);
    change(camera_.State());
  }
  // Fails the nth telegram of one command (0: of any command) with a camera error code.
  void FailTelegram(std::uint16_t command, std::uint32_t nth, std::uint32_t code) {
    ChangeCamera([&](sim::CameraState& state) {
      state.faults.failTelegram = sim::TelegramFault{1, {0}, command, nth, 0, code};
    });
  }
  // Erases the device and writes the image, as the factory would.
  void FactoryWrite(const PacketImage& image) {
    sim::FolderLock lock(camera_);
    sim::FlashDevice& flash = camera_.Flash(image.device);
    ASSERT_TRUE(flash.Erase() &&
                flash.Program(image.start, image.bytes.data(), std::uint32_t(image.bytes.size())));
  }
  std::vector<std::uint8_t> ReadFlash(DeviceIndex device, std::uint32_t address,
                                      std::uint32_t length) {
    sim::FolderLock lock(camera_);
    std::vector<std::uint8_t> bytes(length);
    EXPECT_TRUE(camera_.Flash(device).Read(address, bytes.data(), length));
    return bytes;
  }
  bool FlashHolds(const PacketImage& image) {
    return ReadFlash(image.device, image.start, std::uint32_t(image.bytes.size())) == image.bytes;
  }
  // Telegrams the camera saw while the action ran, in order: the code, and "@" with the start
  // address for those that carry one ("1403@00000100").
  std::vector<std::string> TracedCodes(const std::function<void()>& action);
  std::string WritePacket(const std::string& path, const std::vector<PacketImage>& images,
                          const OrderSteps& steps = std::nullopt);

  // The main window object, created with its log and started like the program starts it.
  CProgrammerDlg& Start(bool emergency = false, bool packetGeneration = false) {
    dlg_ = std::make_unique<CProgrammerDlg>(window_, clock_, programFolder_);
    dlg_->SetModes(emergency, packetGeneration);
    dlg_->StartWindow();
    return *dlg_;
  }
  CProgrammerDlg& Dlg() { return *dlg_; }
  // Loads a packet (starting the window when needed) or connects, then clears the records.
  void LoadPacket(const std::vector<PacketImage>& images, const OrderSteps& steps = std::nullopt) {
    if (!dlg_) Start();
    ASSERT_EQ(dlg_->LoadPacketFile(WritePacket(temp_.File("run.tvf"), images, steps)), 1);
    window_.ClearRecords();
    NewLogLines();
  }
  void ConnectFresh() {
    if (!dlg_) Start();
    dlg_->OnConnect();
    ASSERT_TRUE(dlg_->Camera().connected);
    window_.ClearRecords();
    clock_.Reset();
    NewLogLines();
  }
  void ConnectWithPacket(const std::vector<PacketImage>& images,
                         const OrderSteps& steps = std::nullopt) {
    LoadPacket(images, steps);
    ConnectFresh();
  }
  void CheckOnly(const std::vector<DeviceIndex>& devices) {
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      window_.ClickDevice(device, std::count(devices.begin(), devices.end(), device) != 0);
    }
  }
  // Log lines written since the last call (texts without time stamps).
  std::vector<std::string> NewLogLines() {
    std::vector<std::string> all = LogLineTexts(dlg_->Log().Path());
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(logMark_));
    logMark_ += all.size();
    return all;
  }

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
