// The fixture of tarvo-cli's camera commands against the simulated camera, through the real
// interface libraries: a camera folder, a data folder and the time scale 0 for each test, the
// programs run as processes, and the camera inspected through tarvo-camsim.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/folders.h"
#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tarvo {

using ToolResult = test::ProgramRun;

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

class CliCameraTest : public ::testing::Test {
 protected:
  CliCameraTest()
      : camera_("QLM_SIM_DIR", temp_.File("camera")),
        dataHome_("TARVO_DATA_DIR", temp_.File("data")),
        timeScale_("TARVO_TIME_SCALE", "0"),
        trace_("QLM_SIM_TRACE", std::nullopt) {}

  void SetUp() override { ASSERT_EQ(Camsim("init").status, 0); }

  // The log of every test ends sealed, whatever the commands did.
  void TearDown() override {
    if (!platform::PathExists(LogPath())) return;
    const ToolResult check = Cli("log check '" + LogPath() + "'");
    EXPECT_EQ(check.status, 0) << check.err;
  }

  ToolResult Run(const char* tool, const std::string& arguments, const std::string& input = "") {
    return test::RunProgram(tool, arguments, temp_.Path(), input);
  }
  ToolResult Cli(const std::string& arguments, const std::string& input = "") {
    return Run(TARVO_CLI_PATH, arguments, input);
  }
  ToolResult Camsim(const std::string& arguments) { return Run(TARVO_CAMSIM_PATH, arguments); }

  std::string LogFolder() const { return temp_.File("data/orva"); }
  std::string LogPath() const { return temp_.File("data/orva/TARVO_PROG.log"); }
  std::string Log() const { return test::ReadFileText(LogPath()); }

  // A packet at one version (and variant) of the devices its order names (by index), by
  // default all nine with a reboot after the boot devices.
  std::string MakePacket(const std::string& version,
                         const std::string& order = "0,1,reboot,2,3,4,5,6,7,8", int variant = 1) {
    const std::string name = version + (variant == 1 ? "" : "v" + std::to_string(variant));
    const std::string folder = temp_.File("fw" + name);
    const ToolResult made = Camsim("make-firmware '" + folder + "' --version " + version +
                                   " --variant " + std::to_string(variant));
    EXPECT_EQ(made.status, 0) << made.err;
    const std::vector<std::string> paths = Lines(made.out);
    std::string images;
    std::istringstream steps(order);
    for (std::string step; std::getline(steps, step, ',');) {
      if (step.size() == 1 && std::isdigit(static_cast<unsigned char>(step[0])) != 0) {
        images +=
            " --image '" + step + "=" + paths.at(static_cast<std::size_t>(step[0] - '0')) + "'";
      }
    }
    const std::string packet = temp_.File("packet" + name + ".tvf");
    const ToolResult built = Cli("packet build --order " + order + images + " -o '" + packet + "'");
    EXPECT_EQ(built.status, 0) << built.err;
    return packet;
  }

  // The version the camera reports for each device, from its contents.
  std::vector<std::string> CameraVersions() {
    const nlohmann::json shown = nlohmann::json::parse(Camsim("show --json").out);
    std::vector<std::string> versions;
    for (const nlohmann::json& device : shown["devices"]) versions.push_back(device["version"]);
    return versions;
  }

  // Waits until the file holds the text (at most 20 s).
  bool WaitForText(const std::string& path, const std::string& text) {
    for (int i = 0; i < 2000; ++i) {
      if (Contains(test::ReadFileText(path), text)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  test::TempFolder temp_;
  test::ScopedEnvironment camera_;
  test::ScopedEnvironment dataHome_;
  test::ScopedEnvironment timeScale_;
  test::ScopedEnvironment trace_;
};

const std::vector<std::string> kFactory(9, "001 V01.00");
const std::vector<std::string> kUpdated(9, "001 V04.11");

}  // namespace tarvo
