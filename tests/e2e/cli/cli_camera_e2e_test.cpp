// tarvo-cli's camera commands against the simulated camera, through the real interface
// libraries: what they print, their exit statuses, what the camera holds afterwards, the backup
// files and the sealed log.
#include "cli_camera_fixture.h"
#include "platform/exclusive_file.h"

namespace tarvo {
namespace {

TEST_F(CliCameraTest, InfoShowsSerialAndVersionsAsTextAndJson) {
  const ToolResult text = Cli("info");
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(Lines(text.out).front(), "Camera:     orva.tarvo SN 4711 on USB 2.0");
  EXPECT_TRUE(Contains(text.out, "\nMain FPGA   001 V01.00\n"));
  EXPECT_EQ(Lines(text.out).size(), 10u);
  EXPECT_EQ(text.err, "Connected to orva.tarvo SN 4711\nLog file: " + LogPath() + "\n");

  // A time scale that is no number: said at once, and the command goes on.
  const test::ScopedEnvironment badScale("TARVO_TIME_SCALE", "fast");
  const ToolResult json = Cli("--interface usb3 info --json");
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_TRUE(Contains(json.err, "Warning: TARVO_TIME_SCALE 'fast' is not a decimal >= 0"));
  const nlohmann::json parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed["camera"]["serialNumber"], 4711);
  EXPECT_EQ(parsed["camera"]["interface"], "usb3");
  EXPECT_EQ(parsed["camera"]["devices"][7]["version"]["text"], "001 V01.00");
  EXPECT_EQ(parsed["log"], nlohmann::json({{"path", LogPath()}, {"sealed", true}}));

  // The same lines as the window writes, after the run's banner and mode lines.
  const std::string log = Log();
  EXPECT_TRUE(Contains(log, "Emergency Mode off.\r\n"));
  EXPECT_TRUE(Contains(log, "Packet Generation Mode off.\r\n"));
  EXPECT_TRUE(Contains(log, "- Device Main FPGA        version: 001 V01.00\r\n"));
}

TEST_F(CliCameraTest, AFailingCameraEndsWithStatusOneAndASealedLog) {
  ASSERT_EQ(Camsim("fault no-camera").status, 0);
  const ToolResult info = Cli("info");
  EXPECT_EQ(info.status, 1);
  EXPECT_TRUE(Contains(info.err, "ERROR: Connecting to camera failed!"));
  EXPECT_EQ(Cli("--emergency backup").status, 1);
  EXPECT_TRUE(Contains(Log(), "!!! Emergency Mode Enabled !!!\r\n"));

  // A telegram failing in the middle of the run: the run goes on, its result is FAILED!.
  ASSERT_EQ(Camsim("fault clear").status, 0);
  const std::string packet = MakePacket("4.11");
  ASSERT_EQ(Camsim("fault fail-telegram --nth 3000 --code 0x80031058").status, 0);
  const ToolResult program = Cli("program '" + packet + "'");
  EXPECT_EQ(program.status, 1);
  EXPECT_EQ(program.out, "Operation Status: Updating firmware in camera SN 4711 FAILED!\n");
  EXPECT_TRUE(Contains(program.err, "ERROR: Programming device "));
  EXPECT_TRUE(Contains(Log(), "ERROR: Updating firmware in camera SN 4711 FAILED!\r\n"));
}

TEST_F(CliCameraTest, ProgramUpdatesThePreselectedDevicesWithoutABackup) {
  const std::string packet = MakePacket("4.11");
  const ToolResult program = Cli("program '" + packet + "'");
  ASSERT_EQ(program.status, 0) << program.err;
  EXPECT_EQ(program.out, "Operation Status: Updating firmware in camera SN 4711 successful.\n");
  EXPECT_EQ(CameraVersions(), kUpdated);
  const std::string log = Log();
  EXPECT_TRUE(Contains(log, "Programming firmware started.\r\n"));
  EXPECT_TRUE(Contains(log, "Version check after update successful.\r\n"));
  EXPECT_FALSE(Contains(log, "Creating backup"));
  EXPECT_TRUE(platform::FindFilesWithExtension(LogFolder(), ".tvf").empty());

  // Nothing is newer now: nothing is done, the camera is not touched, and the command fails
  // with the reason per device and an advice that works.
  const ToolResult again = Cli("program '" + packet + "'");
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(Contains(again.err,
                       "Nothing to program: the version policy selects no device.\n"
                       "  Boot uP     packet 001 V04.11, camera 001 V04.11: the camera carries "
                       "this version\n"));
  EXPECT_TRUE(Contains(again.err, "To program them anyway, name them: --devices \"Boot uP,"));
  EXPECT_EQ(again.out, "");
}

TEST_F(CliCameraTest, ProgramTakesTheNamedDevicesOnlyAndRefusesDisabledOnes) {
  const std::string packet = MakePacket("4.11");
  const ToolResult named = Cli("program '" + packet + "' --devices 'main fpga,8'");
  ASSERT_EQ(named.status, 0) << named.err;
  std::vector<std::string> expected = kFactory;
  expected[2] = expected[8] = "001 V04.11";
  EXPECT_EQ(CameraVersions(), expected);

  // Boot uP below 4.11 would leave the camera unable to start: refused before any change.
  const std::string old = MakePacket("3.00");
  const ToolResult refused = Cli("program '" + old + "' --devices 0,1");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err,
            "Connected to orva.tarvo SN 4711\n"
            "Boot uP cannot be chosen: a version earlier than V04.11 is refused "
            "(camera may get stuck).\nLog file: " +
                LogPath() + "\n");
  EXPECT_EQ(CameraVersions(), expected);

  // "all" is every enabled device: Boot uP stays out, the others are programmed, even where the
  // packet is older than the camera.
  // Older firmware goes in only when --yes confirms it.
  EXPECT_EQ(Cli("program '" + old + "' --devices all").status, 1);
  EXPECT_EQ(CameraVersions(), expected);
  const ToolResult all = Cli("program '" + old + "' --devices all --yes");
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_TRUE(Contains(all.out,
                       "Operation Status: Note that some or all versions to be loaded are "
                       "older than the current firmware versions in the camera!\n"));
  EXPECT_EQ(CameraVersions()[0], "001 V01.00");
  EXPECT_EQ(CameraVersions()[2], "001 V03.00");
}

TEST_F(CliCameraTest, BadCommandLinesAndInputsEndBeforeTheCameraIsReached) {
  const std::string packet = MakePacket("4.11");
  const ToolResult unknown = Cli("program '" + packet + "' --devices 2,GPU");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err,
            "Unknown device 'GPU' in --devices: expected 0..8, a device name or all.\n");
  EXPECT_EQ(Cli("verify '" + packet + "' --devices 9").status, 2);
  // A missing packet is a failed command, not a wrong command line.
  const ToolResult missing = Cli("program '" + temp_.File("none.tvf") + "'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "No such packet file: " + temp_.File("none.tvf") + "\n");
  EXPECT_EQ(Cli("verify '" + temp_.File("none.tvf") + "'").status, 1);
  EXPECT_EQ(Cli("--interface firewire info").status, 2);
  EXPECT_EQ(Cli("--emergency program '" + packet + "' --backup").status, 2);
  EXPECT_EQ(Cli("program").status, 2);
  // None of these opened the log.
  EXPECT_FALSE(Contains(Log(), "Connected to"));
  EXPECT_EQ(CameraVersions(), kFactory);

  // A damaged packet is there but cannot be used: the load fails, the camera is not reached.
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(packet);
  bytes[7000] ^= 1;
  test::WriteFileBytes(temp_.File("damaged.tvf"), bytes);
  const ToolResult damaged = Cli("program '" + temp_.File("damaged.tvf") + "'");
  EXPECT_EQ(damaged.status, 1);
  EXPECT_EQ(damaged.out, "Operation Status: Firmware packet file integrity check failed.\n");
  EXPECT_TRUE(Contains(damaged.err,
                       "instead of 87654322: the content or the check word was "
                       "changed.\n"));
  EXPECT_FALSE(Contains(Log(), "Connected to"));
}

TEST_F(CliCameraTest, ProgramWithBackupKeepsTheCameraFirmwareInTheLogFolder) {
  const std::string packet = MakePacket("4.11");
  const std::string backup = platform::JoinPath(LogFolder(), "orva_tarvo_SN004711_backup.tvf");
  const ToolResult program = Cli("program '" + packet + "' --backup");
  ASSERT_EQ(program.status, 0) << program.err;
  EXPECT_EQ(program.out,
            "Operation Status: Updating firmware in camera SN 4711 successful.\n"
            "Backup file: " +
                backup + "\n");
  EXPECT_TRUE(Contains(Log(), "Creating backup of camera firmware.\r\n"));
  EXPECT_TRUE(Contains(Log(), "Creating backup file: " + backup + ".\r\n"));
  EXPECT_EQ(CameraVersions(), kUpdated);

  // The backup holds the factory firmware, and programming it brings the camera back to it
  // (the backup's own order; --emergency, since the packet is older).
  const ToolResult shown = Cli("packet show --json '" + backup + "'");
  ASSERT_EQ(shown.status, 0) << shown.err;
  const nlohmann::json description = nlohmann::json::parse(shown.out);
  ASSERT_EQ(description["packet"]["entries"].size(), 7u);
  EXPECT_EQ(description["packet"]["entries"][0]["device"]["name"], "HDSDI FPGA");
  EXPECT_EQ(description["packet"]["entries"][0]["version"]["text"], "001 V01.00");
  const ToolResult restore =
      Cli("--emergency program '" + backup + "' --devices 1,2,3,4,5,7 --yes");
  ASSERT_EQ(restore.status, 0) << restore.err;
  std::vector<std::string> expected = kFactory;
  expected[0] = expected[6] = expected[8] = "001 V04.11";
  EXPECT_EQ(CameraVersions(), expected);
}

// A requested backup that failed ends the run before anything is erased; --yes does not change
// that, only --continue-without-backup does.
TEST_F(CliCameraTest, AFailedBackupStopsTheRunUnlessContinuingIsAskedFor) {
  const std::string packet = MakePacket("4.11");
  // Read-back is the first telegram of its command in a backup: failing it fails the backup.
  const auto failFirstReadBack = [this] {
    ASSERT_EQ(Camsim("fault fail-telegram --nth 1 --command 0x1403 --code 0x80031058").status, 0);
  };
  failFirstReadBack();
  const ToolResult stopped = Cli("program '" + packet + "' --backup --yes");
  EXPECT_EQ(stopped.status, 1);
  EXPECT_TRUE(Contains(stopped.err,
                       "HDSDI FPGA: read-back for the backup failed: function return 80031058: "
                       "Firmware error 80031058 at device 'QLM Main uP': Device address is out "
                       "of range.\n"));
  EXPECT_TRUE(Contains(stopped.err, "nothing was programmed.\n"));
  EXPECT_FALSE(Contains(stopped.out, "successful."));
  EXPECT_TRUE(Contains(Log(), "Backup failed -> user cancels programming.\r\n"));
  EXPECT_EQ(CameraVersions(), kFactory);

  ASSERT_EQ(Camsim("fault clear").status, 0);
  failFirstReadBack();
  const ToolResult goesOn = Cli("program '" + packet + "' --backup --continue-without-backup");
  EXPECT_EQ(goesOn.status, 0) << goesOn.err;
  EXPECT_TRUE(Contains(goesOn.err, "The camera was updated anyway (--continue-without-backup)."));
  EXPECT_EQ(CameraVersions(), kUpdated);
}

TEST_F(CliCameraTest, DryRunPrintsThePlanAndLeavesTheCameraAsItWas) {
  const std::string packet = MakePacket("4.11", "0,wait:3,reboot,2,6,8");
  const std::vector<std::uint8_t> before = Dump(6);
  const ToolResult text = Cli("program '" + packet + "' --dry-run --backup --verify --devices 2,6");
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(Contains(text.out, "Dry run: camera SN 4711 on USB 2.0"));
  EXPECT_TRUE(Contains(text.out,
                       "\nMain FPGA    001 V01.00  001 V04.11  will be programmed: "
                       "named in --devices\n"));
  EXPECT_TRUE(Contains(text.out,
                       "\nBoot uP      001 V01.00  001 V04.11  not selected: "
                       "not named in --devices\n"));
  EXPECT_TRUE(Contains(text.out,
                       "   1. Back up HDSDI FPGA, Boot FPGA, Main FPGA, Mem FPGA 1, "
                       "Mem FPGA 2, Main uP, Boot uP into " +
                           platform::JoinPath(LogFolder(), "orva_tarvo_SN004711_backup.tvf")));
  EXPECT_TRUE(Contains(text.out,
                       "   2. Pass over Boot uP (not selected)\n"
                       "   3. Wait 3 s\n"
                       "   4. Reboot the camera and wait 30 s for it\n"
                       "   5. Erase and program Main FPGA, then pause 1 s\n"
                       "   6. Erase and program Power uP, then pause 40 s\n"
                       "   7. Pass over Color Data (not selected)\n"));
  // Power uP is never verified.
  EXPECT_TRUE(Contains(text.out,
                       "   8. Reboot the camera and wait 30 s for it\n"
                       "   9. Connect, read the versions and check that every selected "
                       "device carries the packet's version\n"
                       "  10. Verify Main FPGA, then pause 1 s\n"
                       "  11. Pass over Power uP (cannot be read back)\n"
                       "  12. Reboot the camera and wait 30 s for it\n"));
  const ToolResult noImage = Cli("program '" + packet + "' --dry-run --devices 1");
  EXPECT_EQ(noImage.status, 2);
  EXPECT_TRUE(
      Contains(noImage.err, "Boot FPGA cannot be chosen: the packet has no image for it.\n"));

  const ToolResult json =
      Cli("--interface gige program '" + packet + "' --dry-run --json --devices 2");
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json plan = nlohmann::json::parse(json.out)["plan"];
  EXPECT_EQ(plan["devices"][2]["decision"], "program");
  EXPECT_EQ(plan["devices"][6]["decision"], "not-selected");
  std::vector<std::string> kinds;
  for (const nlohmann::json& step : plan["steps"]) kinds.push_back(step["kind"]);
  EXPECT_EQ(kinds, (std::vector<std::string>{"pass-over", "wait", "reboot", "program", "pass-over",
                                             "pass-over", "final-reboot", "version-check"}));
  EXPECT_EQ(plan["steps"][2]["waitMs"], 80000);

  EXPECT_EQ(CameraVersions(), kFactory);
  EXPECT_EQ(Dump(6), before);
  EXPECT_FALSE(Contains(Log(), "Erase device"));
  EXPECT_TRUE(platform::FindFilesWithExtension(LogFolder(), ".tvf").empty());
}

TEST_F(CliCameraTest, TheRunFollowsThePlanOfTheDryRun) {
  const std::string packet = MakePacket("4.11", "8,reboot,2,wait:1,0,5,3");
  const ToolResult plan = Cli("program '" + packet + "' --dry-run --json --devices 0,2,3,8");
  ASSERT_EQ(plan.status, 0) << plan.err;
  std::vector<std::string> planned;
  const nlohmann::json parsed = nlohmann::json::parse(plan.out);
  for (const nlohmann::json& step : parsed["plan"]["steps"]) {
    if (step["kind"] == "program") planned.push_back(step["device"]["name"]);
  }
  const ToolResult run = Cli("program '" + packet + "' --devices 0,2,3,8");
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> erased;
  for (const std::string& line : Lines(run.err)) {
    if (line.rfind("Erase device ", 0) == 0) erased.push_back(line.substr(13, line.size() - 17));
  }
  EXPECT_EQ(erased, planned);
  EXPECT_EQ(planned,
            (std::vector<std::string>{"Color Data", "Main FPGA", "Boot uP", "Mem FPGA 1"}));
}

TEST_F(CliCameraTest, ProgramVerifyFailsWhenABitFlippedWhileWriting) {
  const std::string packet = MakePacket("4.11");
  const ToolResult good = Cli("program '" + packet + "' --verify --devices 2,3");
  ASSERT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(good.out,
            "Operation Status: Updating firmware in camera SN 4711 successful.\n"
            "Operation Status: Verifying firmware in camera SN 4711 successful.\n");

  // The flipped byte lies inside Main FPGA's image, away from its version record.
  ASSERT_EQ(Camsim("fault flip-write --nth 70000 --bit 3").status, 0);
  const ToolResult flipped = Cli("program '" + packet + "' --verify --devices 2");
  EXPECT_EQ(flipped.status, 1);
  EXPECT_EQ(flipped.out,
            "Operation Status: Updating firmware in camera SN 4711 successful.\n"
            "Operation Status: Verifying firmware in camera SN 4711 FAILED!\n");
  EXPECT_TRUE(Contains(Log(), "Error programming device Main FPGA: Verify failed! \r\n"));

  // verify on its own finds the same difference.
  const ToolResult verify = Cli("verify '" + packet + "' --devices 2,3");
  EXPECT_EQ(verify.status, 1);
  EXPECT_EQ(verify.out, "Operation Status: Verifying firmware in camera SN 4711 FAILED!\n");
}

TEST_F(CliCameraTest, VerifyChecksTheDevicesThatCarryThePacketsVersion) {
  const std::string packet = MakePacket("4.11");
  // Nothing carries the packet's versions yet: every device is passed over, nothing verified.
  const ToolResult none = Cli("verify '" + packet + "'");
  EXPECT_EQ(none.status, 1);
  EXPECT_TRUE(Contains(none.err,
                       "Not verified, the camera's version differs from the packet's: "
                       "Boot uP, Boot FPGA, Main FPGA"));
  EXPECT_TRUE(Contains(none.err, "Verify FAILED: no device was compared.\n"));

  ASSERT_EQ(Cli("program '" + packet + "' --devices 'Main FPGA,HDSDI FPGA'").status, 0);
  const ToolResult some = Cli("verify '" + packet + "'");
  EXPECT_EQ(some.status, 0) << some.err;
  EXPECT_EQ(some.out, "Operation Status: Verifying firmware in camera SN 4711 successful.\n");
  EXPECT_TRUE(Contains(some.err, "Verify device HDSDI FPGA successful!"));
  EXPECT_TRUE(Contains(some.err, "Verify device Main FPGA successful!"));
  EXPECT_FALSE(Contains(some.err, "Verify device Boot uP"));

  // A device the packet's variant does not fit cannot be named.
  const ToolResult refused = Cli("verify '" + MakePacket("3.00") + "' --devices 'Boot uP'");
  EXPECT_EQ(refused.status, 2);
}

TEST_F(CliCameraTest, BackupWritesNumberedFilesWithoutEmergencyMode) {
  const ToolResult first = Cli("backup");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(
      first.out,
      "Backup file: " + platform::JoinPath(LogFolder(), "orva_tarvo_SN004711_backup.tvf") + "\n");
  EXPECT_TRUE(Contains(first.err, "Creating backup successful."));
  const ToolResult second = Cli("--interface usb3 backup");
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out,
            "Backup file: " + platform::JoinPath(LogFolder(), "orva_tarvo_SN004711_backup_01.tvf") +
                "\n");
  EXPECT_EQ(Cli("packet check '" +
                platform::JoinPath(LogFolder(), "orva_tarvo_SN004711_backup_01.tvf") + "'")
                .status,
            0);

  // A device that cannot be read back: the file is written without it, the backup failed.
  ASSERT_EQ(Camsim("fault fail-telegram --nth 1 --command 0x1403 --code 0x80031058").status, 0);
  const ToolResult failed = Cli("backup");
  EXPECT_EQ(failed.status, 1);
  EXPECT_TRUE(Contains(failed.err, "Creating backup failed."));
}

// Without a terminal a run with two reboots and a wait prints one line per step and a line per
// ten seconds of each countdown, at any time scale, while the log keeps every countdown line;
// --quiet prints the outcome only.
TEST_F(CliCameraTest, ProgressWithoutATerminalIsBoundedAndQuietShowsOnlyTheOutcome) {
  const std::string packet = MakePacket("4.11", "0,reboot,2,wait:5,8");
  const auto starting = [](const std::vector<std::string>& lines, const std::string& start) {
    return std::count_if(lines.begin(), lines.end(),
                         [&](const std::string& line) { return line.rfind(start, 0) == 0; });
  };
  std::vector<std::size_t> counts;
  for (const char* scale : {"0", "0.004"}) {
    ASSERT_EQ(Camsim("init").status, 0);
    const test::ScopedEnvironment timeScale("TARVO_TIME_SCALE", scale);
    const ToolResult run = Cli("program '" + packet + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.err);
    counts.push_back(lines.size());
    EXPECT_EQ(starting(lines, "Step "), 6);  // three devices, two reboots, a wait
    EXPECT_EQ(starting(lines, "Waiting for camera to reconnect."), 6);
  }
  EXPECT_EQ(counts[0], counts[1]);
  EXPECT_LE(counts[0], 30u);
  const std::vector<std::string> logLines = Lines(Log());
  EXPECT_EQ(std::count_if(logLines.begin(), logLines.end(),
                          [](const std::string& line) {
                            return Contains(line, "Waiting for camera to reconnect.");
                          }),
            120);  // two runs, two reboots, 30 s each

  ASSERT_EQ(Camsim("init").status, 0);
  const ToolResult quiet = Cli("program '" + packet + "' --quiet");
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out, "Operation Status: Updating firmware in camera SN 4711 successful.\n");
  EXPECT_EQ(quiet.err, "Log file: " + LogPath() + "\n");
}

// Only one programmer works on a camera at a time; a log that cannot be written is told at once
// and at the end, and leaves the run's outcome as it is.
TEST_F(CliCameraTest, AnotherInstanceBlocksCameraChangesAndLogFailuresAreTold) {
  const std::string packet = MakePacket("4.11");
  platform::ExclusiveOpenResult held{};
  std::FILE* lock = platform::OpenExclusiveForWriting(LogPath(), &held);
  ASSERT_NE(lock, nullptr);
  for (const std::string& command :
       {"program '" + packet + "' --devices 8", "verify '" + packet + "'", std::string("backup")}) {
    const ToolResult refused = Cli(command);
    EXPECT_EQ(refused.status, 1) << command;
    EXPECT_EQ(refused.err, "Another instance of the programmer is running (it holds " + LogPath() +
                               "): only one may work on the camera at a time. Nothing was done; "
                               "run the command again when the other one has ended.\n");
  }
  EXPECT_EQ(Cli("program '" + packet + "' --dry-run").status, 0);
  const ToolResult info = Cli("info");
  EXPECT_EQ(info.status, 0);
  EXPECT_TRUE(Contains(info.err, "No complete log of this run: " + LogPath() +
                                     " is held by another running instance.\n"));
  std::fclose(lock);
  EXPECT_EQ(CameraVersions(), kFactory);
  EXPECT_TRUE(platform::FindFilesWithExtension(LogFolder(), ".tvf").empty());
}

TEST_F(CliCameraTest, AStopRequestDoesNotCutARunShortButASecondOneDoes) {
  const std::string packet = MakePacket("4.11");
  // Scaled waits keep the run going long enough to be interrupted, also on a busy machine:
  // Power uP's pause and the final reboot still take 2 s after the device is programmed.
  std::optional<test::ScopedEnvironment> slower;
  slower.emplace("TARVO_TIME_SCALE", "0.03");
  const std::string errPath = temp_.File("run.err");
  using Stop = test::StartedProgram::StopRequest;
  std::optional<test::StartedProgram> run;
  run.emplace(TARVO_CLI_PATH, std::vector<std::string>{"program", packet, "--devices", "6"},
              errPath);
  ASSERT_TRUE(WaitForText(errPath, "Programming device Power uP successful!"));
  run->RequestStop(Stop::kTerminate);
  test::StartedProgram::End end = run->Wait();
  ASSERT_TRUE(end.exited);
  EXPECT_EQ(end.status, 0);
  const std::string err = test::ReadFileText(errPath);
  EXPECT_TRUE(Contains(err, "The run cannot be stopped once it has started"));
  EXPECT_TRUE(Contains(err, "Version check after update successful.") ||
              Contains(Log(), "Version check after update successful."));
  EXPECT_EQ(CameraVersions()[6], "001 V04.11");

  // This run is stopped early; its waits would take minutes.
  slower.reset();
  slower.emplace("TARVO_TIME_SCALE", "0.2");
  run.emplace(TARVO_CLI_PATH, std::vector<std::string>{"program", packet, "--devices", "all"},
              errPath);
  ASSERT_TRUE(WaitForText(errPath, "Connected to orva.tarvo SN 4711"));
  run->RequestStop(Stop::kInterrupt);
  ASSERT_TRUE(WaitForText(errPath, "Press Ctrl-C again"));
  run->RequestStop(Stop::kHangUp);
  end = run->Wait();
  EXPECT_EQ(end.endedBy, Stop::kHangUp);
  // The next run seals the log again.
  EXPECT_EQ(Cli("info").status, 0);
}

}  // namespace
}  // namespace tarvo
