// The service history through tarvo-cli: what it holds after runs on two cameras, a torn last
// line, an update killed halfway and picked up by the next one, the backups of the log folder,
// and the restore of a camera from its newest complete backup.
#include <filesystem>

#include "cli_camera_fixture.h"

namespace tarvo {
namespace {

std::string HistoryPathIn(const std::string& logFolder) {
  return platform::JoinPath(logFolder, "history.jsonl");
}

TEST_F(CliCameraTest, HistoryKeepsEveryCamerasRunsNewestFirst) {
  const std::string packet = MakePacket("4.11");
  ASSERT_EQ(Cli("program '" + packet + "' --backup").status, 0);
  ASSERT_EQ(Camsim("init --serial 815").status, 0);
  ASSERT_EQ(Cli("program '" + packet + "' --devices 'Main FPGA'").status, 0);
  // A crash in the middle of a record leaves a torn last line: skipped, and the next record
  // starts a line of its own.
  const std::string history = HistoryPathIn(LogFolder());
  test::WriteFileText(history, test::ReadFileText(history) + "{\"record\":\"run\",\"serialNu");
  ASSERT_EQ(Cli("backup").status, 0);

  const ToolResult all = Cli("history --json");
  ASSERT_EQ(all.status, 0) << all.err;
  const nlohmann::json runs = nlohmann::json::parse(all.out)["runs"];
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0]["kind"], "backup");
  EXPECT_EQ(runs[1]["serialNumber"], 815);
  EXPECT_EQ(runs[1]["devices"][2]["outcome"], "programmed");
  EXPECT_EQ(runs[1]["devices"][0]["planned"], false);
  EXPECT_EQ(runs[2]["serialNumber"], 4711);
  EXPECT_EQ(runs[2]["backup"]["complete"], true);
  EXPECT_EQ(runs[2]["packet"]["path"], packet);

  // As text: the run, packet, devices, backup.
  EXPECT_EQ(Lines(Cli("history --serial 4711").out).size(), 4u);

  const nlohmann::json list =
      nlohmann::json::parse(Cli("backup list --json --serial 815").out)["backups"];
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]["devices"][2]["version"]["text"], "001 V04.11");

  // A history that cannot be written never stops a run, but the run says so.
  std::filesystem::remove(history);
  std::filesystem::create_directory(history);
  const ToolResult unrecorded = Cli("program '" + packet + "' --devices 'Main FPGA' --yes");
  EXPECT_EQ(unrecorded.status, 0) << unrecorded.err;
  EXPECT_TRUE(
      Contains(unrecorded.err, "ERROR: The service history " + history + " cannot be written ("));
}

// A device cut off between the record before its erase and its outcome (the process killed):
// the next update of the camera programs it again, even where the camera already reports the
// new version.
TEST_F(CliCameraTest, AnUpdateKilledHalfwayIsPickedUpByTheNextOne) {
  const std::string packet = MakePacket("4.11");
  ASSERT_EQ(Camsim("fault latency --ms 2").status, 0);
  const std::string errPath = temp_.File("killed.err");
  test::StartedProgram run(TARVO_CLI_PATH, {"program", packet}, errPath);
  ASSERT_TRUE(WaitForText(HistoryPathIn(LogFolder()), "\"record\":\"device-start\""));
  run.Kill();
  run.Wait();
  ASSERT_EQ(Camsim("power-cycle").status, 0);
  ASSERT_EQ(Camsim("fault latency --ms 0").status, 0);
  EXPECT_TRUE(Contains(Cli("program '" + packet + "' --dry-run").out,
                       "will be programmed: the last update did not finish on it\n"));

  const ToolResult resumed = Cli("program '" + packet + "'");
  EXPECT_EQ(resumed.status, 0) << resumed.err;
  EXPECT_TRUE(Contains(resumed.out, "The last update of this camera did not finish on "));
  EXPECT_EQ(CameraVersions(), kUpdated);
}

TEST_F(CliCameraTest, LatestBackupRestoresTheNewestCompleteBackupOfThisCamera) {
  // The backup of the factory 1.0; the later ones get numbered names, replacing none.
  const std::string packet = MakePacket("4.11");
  const std::string first = platform::JoinPath(LogFolder(), "orva_tarvo_SN004711_backup.tvf");
  EXPECT_EQ(Cli("program '" + packet + "' --backup").out,
            "Operation Status: Updating firmware in camera SN 4711 successful.\nBackup file: " +
                first + "\n");
  ASSERT_EQ(Camsim("init --serial 815 --version 3.0").status, 0);
  ASSERT_EQ(Cli("backup").status, 0);  // another camera's, newer
  ASSERT_EQ(Camsim("init --version 4.11").status, 0);
  ASSERT_EQ(Camsim("fault fail-telegram --nth 1 --command 0x1403 --code 0x80031058").status, 0);
  ASSERT_EQ(Cli("backup").status, 1);  // this camera's newest, incomplete

  EXPECT_EQ(Cli("program --latest-backup --yes").status, 2);  // emergency mode only
  const ToolResult restore = Cli("--emergency program --latest-backup --yes");
  ASSERT_EQ(restore.status, 0) << restore.err;
  EXPECT_TRUE(Contains(restore.err, "Restoring camera SN 4711 from " + first + "\n"));
  std::vector<std::string> expected = kFactory;
  expected[6] = expected[8] = "001 V04.11";  // Power uP and Color Data are never backed up
  EXPECT_EQ(CameraVersions(), expected);
  EXPECT_TRUE(Contains(Log(), "!!! Emergency Mode Enabled !!!\r\n"));
}

}  // namespace
}  // namespace tarvo
