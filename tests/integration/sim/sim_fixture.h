// A fresh simulated camera in a temporary folder for each test, reached through the built
// interface library, with direct access to the camera's settings for arranging faults.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "firmware/image_version.h"
#include "sim/core/camera_folder.h"
#include "sim/core/sim_errors.h"
#include "sim_client.h"
#include "support/temp_folder.h"

namespace tarvo::simtest {

class SimCameraTest : public ::testing::Test {
 protected:
  SimCameraTest()
      : environment_("QLM_SIM_DIR", folder_.Path()), trace_("QLM_SIM_TRACE", std::nullopt) {}

  // Changes the camera's state as tarvo-camsim would, under the camera's lock.
  void Configure(const std::function<void(sim::CameraState&)>& change) {
    sim::CameraFolder camera;
    std::string error;
    ASSERT_TRUE(camera.Open(folder_.Path(), &error)) << error;
    sim::FolderLock lock(camera);
    change(camera.State());
  }

  sim::CameraState Snapshot() {
    sim::CameraFolder camera;
    std::string error;
    EXPECT_TRUE(camera.Open(folder_.Path(), &error)) << error;
    sim::FolderLock lock(camera);
    return camera.State();
  }

  // Loads the library and opens the camera.
  std::unique_ptr<SimClient> Connect(const std::string& stem = "qlm_usb") {
    auto client = std::make_unique<SimClient>(stem);
    EXPECT_TRUE(client->Loaded());
    EXPECT_EQ(client->Open(), 0u);
    return client;
  }

  test::TempFolder folder_;
  test::ScopedEnvironment environment_;
  test::ScopedEnvironment trace_;
};

constexpr std::uint32_t Fw(std::uint32_t number) {
  return sim::CameraError(number);
}

struct ReportedEntry {
  std::string name;
  unsigned variant, major, minor;
  std::string Version() const {
    return FormatDeviceVersion(static_cast<std::int32_t>(variant), static_cast<std::int32_t>(major),
                               static_cast<std::int32_t>(minor));
  }
};

// The entries a versions answer carries for the given page (ten to a page).
inline std::vector<ReportedEntry> Entries(const Answer& answer, std::uint32_t page = 0) {
  std::vector<ReportedEntry> entries;
  for (std::uint32_t i = 0; i < 10 && page * 10 + i < Le16(answer.bytes, 4); ++i) {
    const std::uint8_t* entry = answer.bytes.data() + 6 + 20 * i;
    entries.push_back({std::string(reinterpret_cast<const char*>(entry)),
                       static_cast<unsigned>(entry[18] | (entry[19] << 8)), entry[17], entry[16]});
  }
  return entries;
}

// The entry the camera reports for a device, if any.
inline std::optional<ReportedEntry> VersionOf(SimClient& client, DeviceIndex index) {
  Answer answer = client.VersionsPage(0);
  EXPECT_EQ(answer.result, 0u);
  for (const ReportedEntry& entry : Entries(answer)) {
    if (DeviceIndexFromCameraName(entry.name) == index) return entry;
  }
  return std::nullopt;
}

}  // namespace tarvo::simtest
