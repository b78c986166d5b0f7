// tarvo-camsim, run as its own process, sets up and breaks the camera the libraries reach.
#include <nlohmann/json.hpp>

#include "sim_fixture.h"
#include "tool_runner.h"

namespace tarvo::simtest {
namespace {

using CamsimTool = SimCameraTest;

TEST_F(CamsimTool, InitSetsTheCameraTheLibrarySees) {
  ASSERT_EQ(RunTool("init --serial 1234 --type 0x1010 --hdsdi-board newer --variant 2 "
                    "--version 0.95 --extra-entries 3")
                .status,
            0);
  auto client = Connect();
  Answer type = client->CameraType();
  EXPECT_EQ(Le16(type.bytes, 4), 0x1010u);
  EXPECT_EQ(Le32(type.bytes, 8), 1234u);
  EXPECT_EQ(client->Select(0x4A03), 0u);
  Answer versions = client->VersionsPage(0);
  EXPECT_EQ(Le16(versions.bytes, 4), 12u);
  EXPECT_EQ(versions.bytes[6 + 16], 95u);  // Boot uP minor
  EXPECT_EQ(versions.bytes[6 + 17], 0u);   // major 0: version at the end of the boot area
  EXPECT_EQ(versions.bytes[6 + 18], 2u);
}

TEST_F(CamsimTool, BlankInitLeavesEveryDeviceErased) {
  ASSERT_EQ(RunTool("init --blank").status, 0);
  auto client = Connect();
  EXPECT_EQ(Le16(client->VersionsPage(0).bytes, 4), 0u);
}

TEST_F(CamsimTool, FaultsReachTheLoadedLibrary) {
  auto client = Connect();
  ASSERT_EQ(RunTool("fault fail-telegram --nth 2 --command 0x0110 --code 0x80031013").status, 0);
  EXPECT_EQ(client->CameraType().result, 0u);
  EXPECT_EQ(client->CameraType().result, 0x80031013u);
  ASSERT_EQ(RunTool("fault wrong-type --type 0x2000").status, 0);
  EXPECT_EQ(Le16(client->CameraType().bytes, 4), 0x2000u);
  ASSERT_EQ(RunTool("fault paged-refused").status, 0);
  EXPECT_EQ(client->VersionsPage(0).result, Fw(6));
  ASSERT_EQ(RunTool("fault many-versions --count 30").status, 0);
  EXPECT_EQ(Le16(client->VersionsSingle().bytes, 4), 39u);
  ASSERT_EQ(RunTool("fault no-camera").status, 0);
  client->Close();
  EXPECT_EQ(client->Open(), sim::DriverError(0x310000, 1));
  EXPECT_EQ(client->Handle(), 0u);
  EXPECT_EQ(client->Close(), 0u);
  ASSERT_EQ(RunTool("fault clear").status, 0);
  EXPECT_EQ(client->Open(), 0u);
  EXPECT_EQ(Le16(client->CameraType().bytes, 4), 0x1000u);
}

TEST_F(CamsimTool, ShowListsVersionsAndFaults) {
  ASSERT_EQ(RunTool("fault not-back-after-reboot").status, 0);
  ToolRun show = RunTool("show --json");
  ASSERT_EQ(show.status, 0) << show.out;
  nlohmann::json description = nlohmann::json::parse(show.out);
  EXPECT_EQ(description["serialNumber"], 4711);
  ASSERT_EQ(description["devices"].size(), 9u);
  EXPECT_EQ(description["devices"][2]["name"], "Main FPGA");
  EXPECT_EQ(description["devices"][2]["version"], "001 V01.00");
  EXPECT_EQ(description["devices"][0]["start"], "0x0D0000");
  EXPECT_EQ(description["faults"][0], "not-back-after-reboot");
}

TEST_F(CamsimTool, DumpWritesWhatTheCameraReadsBack) {
  std::string out = folder_.File("power.bin");
  ASSERT_EQ(RunTool("dump \"Power uP\" " + out).status, 0);
  auto client = Connect();
  ASSERT_EQ(client->SelectDevice(DEVICE_POWER_UP), 0u);
  EXPECT_EQ(test::ReadFileBytes(out), client->ReadRange(0, 0x3600));
  EXPECT_EQ(RunTool("dump 9 " + out).status, 2);
}

// Its nine files are built into a packet by CamsimFlash.
TEST_F(CamsimTool, MakeFirmwareRefusesAVersionWithoutMinor) {
  EXPECT_EQ(RunTool("make-firmware " + folder_.File("fw") + " --version 4").status, 2);
}

TEST_F(CamsimTool, EveryCommandHasHelp) {
  for (const char* command :
       {"", "init", "show", "flash", "fault", "fault fail-telegram", "dump", "make-firmware"}) {
    ToolRun run = RunTool(std::string(command) + " --help");
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_NE(run.out.find("Usage:"), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace tarvo::simtest
