// tarvo-camsim, run as its own process, sets up, breaks, shows and writes the camera that the
// libraries reach.
#include <nlohmann/json.hpp>

#include "sim_fixture.h"

namespace tarvo::simtest {
namespace {

using CamsimTool = SimCameraTest;

TEST_F(CamsimTool, InitSetsTheCameraTheLibrarySees) {
  ASSERT_EQ(Camsim("init --serial 1234 --type 0x1010 --hdsdi-board newer --variant 2 "
                   "--version 0.95 --extra-entries 3")
                .status,
            0);
  Connect();
  const Answer type = CameraType();
  EXPECT_EQ(Le(type.bytes, 4), 0x1010u);
  EXPECT_EQ(Le(type.bytes, 8, 4), 1234u);
  EXPECT_EQ(SelectDevice(0x4703), Fw(81));  // the newer HD-SDI board answers to its own code only
  EXPECT_EQ(SelectDevice(0x4A03), 0u);
  const Answer versions = VersionsPage(0);
  EXPECT_EQ(Le(versions.bytes, 4), 12u);
  // Boot uP: major 0 keeps the version at the end of the boot area.
  EXPECT_EQ(Entries(versions)[0].version, "002 V00.95");
}

TEST_F(CamsimTool, ShowAndDumpTellWhatTheCameraHolds) {
  ASSERT_EQ(Camsim("fault not-back-after-reboot").status, 0);
  const test::ProgramRun show = Camsim("show --json");
  ASSERT_EQ(show.status, 0) << show.out;
  const nlohmann::json description = nlohmann::json::parse(show.out);
  EXPECT_EQ(description["serialNumber"], 4711);
  ASSERT_EQ(description["devices"].size(), 9u);
  EXPECT_EQ(description["devices"][2]["version"], "001 V01.00");
  EXPECT_EQ(description["faults"][0], "not-back-after-reboot");
  const std::string out = folder_.File("power.bin");
  ASSERT_EQ(Camsim("dump \"Power uP\" " + out).status, 0);
  Connect();
  ASSERT_EQ(Select(DEVICE_POWER_UP), 0u);
  EXPECT_EQ(test::ReadFileBytes(out), ReadRange(0, 0x3600));
}

TEST_F(CamsimTool, RefusesWhatItCannotDoAndHelps) {
  test::WriteFileText(folder_.File("bad.tvf"), "not a packet");
  EXPECT_EQ(Camsim("flash " + folder_.File("bad.tvf")).status, 2);
  EXPECT_EQ(Camsim("dump 9 " + folder_.File("out.bin")).status, 2);
  EXPECT_EQ(Camsim("make-firmware " + folder_.File("fw") + " --version 4").status, 2);
  const test::ProgramRun help = Camsim("fault fail-telegram --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage:"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::simtest
