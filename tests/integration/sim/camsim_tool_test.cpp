// tarvo-camsim, run as its own process, sets up, breaks, shows and writes the camera that the
// libraries reach.
#include <nlohmann/json.hpp>

#include "firmware/firmware_packet.h"
#include "sim/core/factory_images.h"
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
  EXPECT_EQ(description["devices"][2]["name"], "Main FPGA");
  EXPECT_EQ(description["devices"][2]["version"], "001 V01.00");
  EXPECT_EQ(description["devices"][0]["start"], "0x0D0000");
  EXPECT_EQ(description["faults"][0], "not-back-after-reboot");
  const std::string out = folder_.File("power.bin");
  ASSERT_EQ(Camsim("dump \"Power uP\" " + out).status, 0);
  Connect();
  ASSERT_EQ(Select(DEVICE_POWER_UP), 0u);
  EXPECT_EQ(test::ReadFileBytes(out), ReadRange(0, 0x3600));
}

TEST_F(CamsimTool, FlashWritesEveryImageOfAPacketIntoABlankCamera) {
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.CreatePacket());
  std::vector<Bytes> images;
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    sim::FactoryImage image = sim::BuildFactoryImage(index, 1, 5, 2);
    image.bytes.resize((image.bytes.size() + 3) / 4 * 4, 0xFF);
    ASSERT_TRUE(packet.AddImage(static_cast<std::uint16_t>(index), image.start,
                                static_cast<std::uint32_t>(image.bytes.size()), image.bytes.data(),
                                sim::MakeImageVersion(1, 5, 2)))
        << packet.LastError();
    images.push_back(image.bytes);
  }
  ASSERT_TRUE(packet.SealPacket());
  ASSERT_TRUE(packet.SavePacket(folder_.File("camera.tvf"))) << packet.LastError();
  ASSERT_EQ(Camsim("init --blank").status, 0);
  Connect();
  EXPECT_EQ(Le(VersionsPage(0).bytes, 4), 0u);
  const test::ProgramRun run = Camsim("flash " + folder_.File("camera.tvf"));
  ASSERT_EQ(run.status, 0) << run.out;
  const std::vector<Reported> versions = Entries(VersionsPage(0));
  ASSERT_EQ(versions.size(), 9u);
  for (const Reported& entry : versions) EXPECT_EQ(entry.version, "001 V05.02") << entry.name;
  ASSERT_EQ(Select(DEVICE_MAIN_FPGA), 0u);
  EXPECT_EQ(ReadRange(0, 4096), Bytes(images[2].begin(), images[2].begin() + 4096));
}

TEST_F(CamsimTool, RefusesWhatItCannotDoAndHelpsWithEveryCommand) {
  test::WriteFileText(folder_.File("bad.tvf"), "not a packet");
  EXPECT_EQ(Camsim("flash " + folder_.File("bad.tvf")).status, 2);
  EXPECT_EQ(Camsim("dump 9 " + folder_.File("out.bin")).status, 2);
  EXPECT_EQ(Camsim("make-firmware " + folder_.File("fw") + " --version 4").status, 2);
  for (const char* command : {"", "init", "show", "flash", "fault", "fault fail-telegram",
                              "power-cycle", "dump", "make-firmware"}) {
    const test::ProgramRun run = Camsim(std::string(command) + " --help");
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_NE(run.out.find("Usage:"), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace tarvo::simtest
