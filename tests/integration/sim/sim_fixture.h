// A fresh simulated camera in a temporary folder for each test, reached through the built
// interface library, with direct access to the camera's settings for arranging faults.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

}  // namespace tarvo::simtest
