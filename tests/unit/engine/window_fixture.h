// The main window object with the fake window and the fake clock, its log and program folder
// in a temporary folder; no camera.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/programmer_dlg.h"
#include "support/engine/fake_window.h"
#include "support/temp_folder.h"

namespace tarvo::test {

class WindowFixture : public ::testing::Test {
 protected:
  WindowFixture()
      : dataHome_("TARVO_DATA_DIR", temp_.File("data")), programFolder_(temp_.File("program")) {
    std::filesystem::create_directories(programFolder_);
  }

  void Create(platform::Clock* clock = nullptr) {
    dlg_ = std::make_unique<CProgrammerDlg>(window_, clock ? *clock : clock_, programFolder_);
  }
  void Start(bool emergency = false, bool packetGeneration = false) {
    Create();
    dlg_->SetModes(emergency, packetGeneration);
    dlg_->StartWindow();
  }

  // A packet with one small image of variant 1 per given device and version major.minor.
  struct Entry {
    DeviceIndex device;
    std::uint8_t major, minor;
  };
  std::string WritePacket(const std::string& path, const std::vector<Entry>& entries) {
    CFirmwarePacket packet;
    EXPECT_TRUE(packet.CreatePacket());
    for (const Entry& e : entries) {
      std::vector<std::uint8_t> bytes(64, static_cast<std::uint8_t>(e.device + 1));
      const ImageVersion version{.minor = e.minor, .major = e.major, .variant = 1};
      EXPECT_TRUE(
          packet.AddImage(static_cast<std::uint16_t>(e.device), 0, 64, bytes.data(), version));
    }
    EXPECT_TRUE(packet.SealPacket() && packet.SavePacket(path)) << packet.LastError();
    return path;
  }

  std::vector<std::string> LogLines() const { return LogLineTexts(dlg_->Log().Path()); }

  TempFolder temp_;
  ScopedEnvironment dataHome_;
  std::string programFolder_;
  FakeWindow window_;
  platform::FakeClock clock_;
  std::unique_ptr<CProgrammerDlg> dlg_;
};

}  // namespace tarvo::test
