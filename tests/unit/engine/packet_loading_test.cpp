// Getting packets into the window: the start-up search beside the program, Load File, and
// what a failed load leaves in place.
#include <gmock/gmock.h>

#include "platform/folders.h"
#include "window_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::Contains;
using ::testing::Not;
using ::testing::StartsWith;

class PacketLoading : public WindowFixture {
 protected:
  std::string ProgramFile(const std::string& name) const {
    return platform::JoinPath(programFolder_, name);
  }
};

TEST_F(PacketLoading, StartupLoadsTheOnePacketBesideTheProgram) {
  const std::string path = WritePacket(ProgramFile("update.tvf"),
                                       {{DEVICE_MAIN_FPGA, 1, 4, 11}, {DEVICE_BOOT_UP, 1, 4, 12}});
  Start();
  EXPECT_TRUE(dlg_->PacketLoaded());
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).packetText, "001 V04.11");
  EXPECT_EQ(window_.Row(DEVICE_BOOT_UP).packetText, "001 V04.12");
  for (DeviceIndex device : {DEVICE_BOOT_FPGA, DEVICE_MEM_FPGA_1, DEVICE_MEM_FPGA_2, DEVICE_MAIN_UP,
                             DEVICE_POWER_UP, DEVICE_HDSDI_FPGA, DEVICE_COLOR_DATA}) {
    EXPECT_EQ(window_.Row(device).packetText, "") << device;
    EXPECT_FALSE(dlg_->LoadedVersions()[device].IsAvailable()) << device;
  }
  EXPECT_EQ(dlg_->LoadedVersions()[DEVICE_MAIN_FPGA], (DeviceVersion{1, 4, 11}));
  const std::vector<std::string> lines = LogLines();
  EXPECT_THAT(lines, Contains("Loaded packetfile " + path + "."));
  EXPECT_THAT(lines, Contains("- Device Main FPGA        version: 001 V04.11"));
  // No camera: nothing to program or verify yet.
  EXPECT_FALSE(window_.Control(CommandControl::kProgram).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kVerify).enabled);
}

TEST_F(PacketLoading, StartupWithoutOrWithTwoPacketsLoadsNothing) {
  Create();
  EXPECT_EQ(dlg_->LoadStartupPacket(), 0);
  WritePacket(ProgramFile("a.tvf"), {{DEVICE_MAIN_FPGA, 1, 4, 11}});
  WritePacket(ProgramFile("b.TVF"), {{DEVICE_MAIN_FPGA, 1, 4, 12}});
  EXPECT_EQ(dlg_->LoadStartupPacket(), 0);
  EXPECT_FALSE(dlg_->PacketLoaded());
  EXPECT_THAT(LogLines(), Not(Contains(StartsWith("Loaded packetfile"))));
}

// The search counts a lone file even when it does not load.
TEST_F(PacketLoading, StartupWithOneDamagedPacketReportsItAndKeepsNothing) {
  WriteFileText(ProgramFile("broken.tvf"), "not a packet");
  Create();
  EXPECT_EQ(dlg_->LoadStartupPacket(), 1);
  EXPECT_FALSE(dlg_->PacketLoaded());
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
}

TEST_F(PacketLoading, DamagedPacketAfterAGoodOneKeepsTheGoodOne) {
  Start();
  ASSERT_EQ(dlg_->LoadPacketFile(WritePacket(temp_.File("good.tvf"), {{DEVICE_MAIN_UP, 1, 2, 3}})),
            1);
  std::vector<std::uint8_t> damaged = ReadFileBytes(temp_.File("good.tvf"));
  damaged[damaged.size() / 2] ^= 0x01;
  WriteFileBytes(temp_.File("damaged.tvf"), damaged);

  EXPECT_EQ(dlg_->LoadPacketFile(temp_.File("damaged.tvf")), 0);
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
  EXPECT_EQ(window_.MessageBoxes()[0].text, "Firmware packet file integrity check failed.");
  EXPECT_EQ(window_.MessageBoxes()[0].icon, MessageIcon::kError);
  EXPECT_EQ(LogLines().back(), "ERROR: Firmware packet file integrity check failed.");
  EXPECT_EQ(window_.Row(DEVICE_MAIN_UP).packetText, "001 V02.03");
  EXPECT_EQ(dlg_->LoadedVersions()[DEVICE_MAIN_UP], (DeviceVersion{1, 2, 3}));
  std::uint32_t start = 0, end = 0, size = 0;
  EXPECT_TRUE(dlg_->Packet().GetImage(DEVICE_MAIN_UP, dlg_->ImageBuffer(), &start, &end, &size));
  EXPECT_EQ(size, 64u);
}

TEST_F(PacketLoading, LoadFileAsksWithThePacketFilterAndCancelChangesNothing) {
  Start();
  window_.ClearRecords();
  dlg_->OnLoadFile();
  EXPECT_THAT(
      window_.DialogFilters(),
      testing::ElementsAre("orva.tarvo firmware packets (*.tvf)|*.tvf|All Files (*.*)|*.*||"));
  EXPECT_EQ(window_.Calls().size(), 1u);
  EXPECT_FALSE(dlg_->PacketLoaded());
}

// The load runs with every control held disabled and gives them back as they were.
TEST_F(PacketLoading, LoadFileHoldsTheControlsWhileItRuns) {
  Start();
  const std::string path = WritePacket(temp_.File("p.tvf"), {{DEVICE_MAIN_UP, 1, 2, 3}});
  window_.ScriptOpenFile(path);
  bool sawEnabledControl = false;
  window_.OnPump([&] {
    for (CommandControl control : kAllCommandControls) {
      sawEnabledControl |= window_.IsControlEnabled(control);
    }
  });
  dlg_->OnLoadFile();
  EXPECT_TRUE(dlg_->PacketLoaded());
  EXPECT_FALSE(sawEnabledControl);
  EXPECT_TRUE(window_.Control(CommandControl::kConnect).enabled);
  EXPECT_TRUE(window_.Control(CommandControl::kLoadFile).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kProgram).enabled);
}

}  // namespace
}  // namespace tarvo::test
