// tarvo-cli's camera commands where only Linux can make the situation: a disk that is full
// (/dev/full under the log's name) and a user without any data folder (no HOME).
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "cli_camera_fixture.h"

namespace tarvo {
namespace {

TEST_F(CliCameraTest, ALogOnAFullDiskIsToldAndTheRunGoesOn) {
  const std::string packet = MakePacket("4.11");
  ASSERT_EQ(rename(LogPath().c_str(), temp_.File("kept.log").c_str()), 0);
  ASSERT_EQ(symlink("/dev/full", LogPath().c_str()), 0);
  const ToolResult full = Cli("program '" + packet + "' --devices 8");
  const std::string failure = "writing " + LogPath() + " failed: No space left on device";
  ASSERT_EQ(unlink(LogPath().c_str()), 0);
  ASSERT_EQ(rename(temp_.File("kept.log").c_str(), LogPath().c_str()), 0);
  EXPECT_EQ(full.status, 0);
  EXPECT_EQ(full.err.rfind("Log: " + failure + "; the run goes on without a log.\n", 0), 0u);
  EXPECT_TRUE(full.err.ends_with("No complete log of this run: " + failure + ".\n")) << full.err;
  EXPECT_EQ(CameraVersions()[8], "001 V04.11");
}

// A backup needs the data folder; without one, nothing lands in the working folder.
TEST_F(CliCameraTest, WithoutAnyDataFolderABackupIsRefusedAndNothingLandsElsewhere) {
  const std::set<std::filesystem::path> before(
      std::filesystem::directory_iterator(std::filesystem::current_path()), {});
  const test::ScopedEnvironment noDataDir("TARVO_DATA_DIR", std::nullopt);
  const test::ScopedEnvironment noDataHome("XDG_DATA_HOME", std::nullopt);
  const test::ScopedEnvironment noHome("HOME", std::nullopt);
  const ToolResult homeless = Cli("backup");
  EXPECT_EQ(homeless.status, 1);
  EXPECT_TRUE(Contains(homeless.err, "no data folder: neither XDG_DATA_HOME nor HOME is set"));
  const std::set<std::filesystem::path> after(
      std::filesystem::directory_iterator(std::filesystem::current_path()), {});
  EXPECT_EQ(before, after);
}

}  // namespace
}  // namespace tarvo
