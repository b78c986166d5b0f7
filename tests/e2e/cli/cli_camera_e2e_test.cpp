// tarvo-cli's camera commands against the simulated camera, through the real interface
// libraries: what they print, their exit statuses, what the camera holds afterwards, the backup
// files and the sealed log.
#include "cli_camera_fixture.h"
#include "platform/exclusive_file.h"

namespace tarvo {
namespace {

TEST_F(CliCameraTest, ProgramTakesThePreselectedOrTheNamedDevicesAndRefusesDisabledOnes) {
  const std::string packet = MakePacket("4.11");
  {
    // info as text (its JSON is docs/json.md's example); a time scale that is no number is told
    // at once, and the command goes on.
    const test::ScopedEnvironment badScale("TARVO_TIME_SCALE", "fast");
    const ToolResult info = Cli("--interface usb3 info");
    EXPECT_EQ(Lines(info.out).front(), "Camera:     orva.tarvo SN 4711 on USB 3.0");
    EXPECT_TRUE(Contains(info.out, "\nMain FPGA   001 V01.00\n"));
    EXPECT_EQ(Lines(info.out).size(), 10u);
    EXPECT_EQ(info.err,
              "Warning: TARVO_TIME_SCALE 'fast' is not a decimal >= 0; every wait takes "
              "its full time.\nConnected to orva.tarvo SN 4711\nLog file: " +
                  LogPath() + "\n");
    // The same lines as the window writes.
    EXPECT_TRUE(Contains(Log(), "- Device Main FPGA        version: 001 V01.00\r\n"));
  }
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
  // "all" is every enabled device: Boot uP stays out, the others are programmed, even where the
  // packet is older than the camera, but only when --yes confirms it.
  EXPECT_EQ(Cli("program '" + old + "' --devices all").status, 1);
  EXPECT_EQ(CameraVersions(), expected);
  const ToolResult all = Cli("program '" + old + "' --devices all --yes");
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_TRUE(Contains(all.out,
                       "Operation Status: Note that some or all versions to be loaded are "
                       "older than the current firmware versions in the camera!\n"));
  EXPECT_EQ(CameraVersions()[0], "001 V01.00");
  EXPECT_EQ(CameraVersions()[2], "001 V03.00");

  // Without --devices the newer ones are taken, without a backup.
  const ToolResult program = Cli("program '" + packet + "'");
  ASSERT_EQ(program.status, 0) << program.err;
  EXPECT_EQ(program.out, "Operation Status: Updating firmware in camera SN 4711 successful.\n");
  EXPECT_EQ(CameraVersions(), kUpdated);
  EXPECT_TRUE(Contains(Log(), "Version check after update successful.\r\n"));
  EXPECT_FALSE(Contains(Log(), "Creating backup"));
  // Nothing is newer now: the command fails with the reason per device and an advice.
  const ToolResult again = Cli("program '" + packet + "'");
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(Contains(again.err,
                       "Nothing to program: the version policy selects no device.\n"
                       "  Boot uP     packet 001 V04.11, camera 001 V04.11: the camera carries "
                       "this version\n"));
  EXPECT_TRUE(Contains(again.err, "To program them anyway, name them: --devices \"Boot uP,"));
  EXPECT_EQ(again.out, "");
}

TEST_F(CliCameraTest, BadCommandLinesAndInputsEndBeforeTheCameraIsReached) {
  const std::string packet = MakePacket("4.11");
  for (const std::string& wrong :
       {"--emergency program '" + packet + "' --backup", std::string("--interface firewire info"),
        std::string("program")}) {
    EXPECT_EQ(Cli(wrong).status, 2) << wrong;
  }
  // A missing packet is a failed command, not a wrong command line.
  EXPECT_EQ(Cli("program '" + temp_.File("none.tvf") + "'").err,
            "No such packet file: " + temp_.File("none.tvf") + "\n");
  // A damaged packet is there but cannot be used: the load fails, the camera is not reached.
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(packet);
  bytes[7000] ^= 1;
  test::WriteFileBytes(packet, bytes);
  const ToolResult damaged = Cli("program '" + packet + "'");
  EXPECT_EQ(damaged.status, 1);
  EXPECT_EQ(damaged.out, "Operation Status: Firmware packet file integrity check failed.\n");
  EXPECT_FALSE(Contains(Log(), "Connected to"));
  EXPECT_EQ(CameraVersions(), kFactory);
}

// The plan as text (docs/json.md's example pins it as JSON with the default choice): the devices
// not selected are passed over, Power uP is never verified, and the run follows the plan.
TEST_F(CliCameraTest, DryRunPrintsThePlanThatTheRunFollows) {
  const std::string packet = MakePacket("4.11", "0,wait:3,reboot,2,6,8");
  const ToolResult text = Cli("program '" + packet + "' --dry-run --backup --verify --devices 2,6");
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(Contains(text.out, "Dry run: camera SN 4711 on USB 2.0"));
  EXPECT_TRUE(Contains(text.out,
                       "\nBoot uP      001 V01.00  001 V04.11  not selected: "
                       "not named in --devices\n"));
  EXPECT_TRUE(Contains(text.out,
                       "   2. Pass over Boot uP (not selected)\n"
                       "   3. Wait 3 s\n"
                       "   4. Reboot the camera and wait 30 s for it\n"
                       "   5. Erase and program Main FPGA, then pause 1 s\n"
                       "   6. Erase and program Power uP, then pause 40 s\n"
                       "   7. Pass over Color Data (not selected)\n"
                       "   8. Reboot the camera and wait 30 s for it\n"
                       "   9. Connect, read the versions and check that every selected "
                       "device carries the packet's version\n"
                       "  10. Verify Main FPGA, then pause 1 s\n"
                       "  11. Pass over Power uP (cannot be read back)\n"
                       "  12. Reboot the camera and wait 30 s for it\n"));

  const ToolResult json =
      Cli("--interface gige program '" + packet + "' --dry-run --json --devices 8,2");
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json plan = nlohmann::json::parse(json.out)["plan"];
  EXPECT_EQ(plan["steps"][2]["waitMs"], 80000);  // a reboot's wait follows the interface
  std::vector<std::string> planned, erased;
  for (const nlohmann::json& step : plan["steps"]) {
    if (step["kind"] == "program") planned.push_back(step["device"]["name"]);
  }
  EXPECT_EQ(CameraVersions(), kFactory);
  EXPECT_FALSE(Contains(Log(), "Erase device"));
  EXPECT_TRUE(platform::FindFilesWithExtension(LogFolder(), ".tvf").empty());

  const ToolResult run = Cli("program '" + packet + "' --devices 8,2");
  ASSERT_EQ(run.status, 0) << run.err;
  for (const std::string& line : Lines(run.err)) {
    if (line.rfind("Erase device ", 0) == 0) erased.push_back(line.substr(13, line.size() - 17));
  }
  EXPECT_EQ(erased, planned);
  EXPECT_EQ(planned, (std::vector<std::string>{"Main FPGA", "Color Data"}));

  // The plan promises only what the run does: a Boot uP too old to be read back is named as
  // left out of the backup.
  ASSERT_EQ(Camsim("init --version 0.95").status, 0);
  EXPECT_TRUE(Contains(Cli("program '" + packet + "' --dry-run --backup").out,
                       "Mem FPGA 2, Main uP into " +
                           platform::JoinPath(LogFolder(), "orva_tarvo_SN004711_backup.tvf") +
                           ", then reboot the camera and reconnect; not backed up: Boot uP (its "
                           "firmware 001 V00.95 is older than 1.0 "
                           "and keeps no application area to read); the backup is incomplete "
                           "and the run stops there\n"));
}

// verify compares the devices that carry the packet's version (a flipped bit that it finds is
// one of the fault campaign's faults).
TEST_F(CliCameraTest, VerifyComparesTheDevicesThatCarryThePacketsVersion) {
  const std::string packet = MakePacket("4.11");
  const ToolResult good = Cli("program '" + packet + "' --verify --devices 2,3");
  ASSERT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(good.out,
            "Operation Status: Updating firmware in camera SN 4711 successful.\n"
            "Operation Status: Verifying firmware in camera SN 4711 successful.\n");
  const ToolResult some = Cli("verify '" + packet + "'");
  EXPECT_EQ(some.status, 0) << some.err;
  EXPECT_EQ(some.out, "Operation Status: Verifying firmware in camera SN 4711 successful.\n");
  EXPECT_TRUE(Contains(some.err, "Verify device Mem FPGA 1 successful!"));
  EXPECT_FALSE(Contains(some.err, "Verify device Boot uP"));
}

// Without a terminal a run with two reboots and a wait prints one line per step and a line per
// ten seconds of each countdown, also when the waits take real time, while the log keeps every
// countdown line; --quiet prints the outcome only.
TEST_F(CliCameraTest, ProgressWithoutATerminalIsBoundedAndQuietShowsOnlyTheOutcome) {
  const std::string packet = MakePacket("4.11", "0,reboot,2,wait:5,8");
  const auto count = [](const std::string& text, const std::string& part) {
    const std::vector<std::string> lines = Lines(text);
    return std::count_if(lines.begin(), lines.end(),
                         [&](const std::string& line) { return Contains(line, part); });
  };
  const test::ScopedEnvironment timeScale("TARVO_TIME_SCALE", "0.004");
  const ToolResult run = Cli("program '" + packet + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_LE(Lines(run.err).size(), 30u);
  EXPECT_EQ(count(run.err, "Step "), 6);  // three devices, two reboots, a wait
  EXPECT_EQ(count(run.err, "Waiting for camera to reconnect."), 6);
  EXPECT_EQ(count(Log(), "Waiting for camera to reconnect."), 60);  // two reboots, 30 s each

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
