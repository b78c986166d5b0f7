// Getting packets into the window: the start-up search beside the program, Load File, and
// what a failed load leaves in place.
#include <gmock/gmock.h>

#include "platform/folders.h"
#include "window_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::Contains;

class PacketLoading : public WindowFixture {
 protected:
  std::string ProgramFile(const std::string& name) const {
    return platform::JoinPath(programFolder_, name);
  }
};

// Only an unambiguous packet is taken: with none or several files beside the program nothing
// is loaded; a lone file that does not load is counted and reported.
TEST_F(PacketLoading, StartupLoadsTheOnePacketBesideTheProgram) {
  Create();
  EXPECT_EQ(dlg_->LoadStartupPacket(), 0);
  WriteFileText(ProgramFile("broken.tvf"), "not a packet");
  EXPECT_EQ(dlg_->LoadStartupPacket(), 1);
  EXPECT_FALSE(dlg_->PacketLoaded());
  EXPECT_EQ(window_.MessageBoxes().size(), 1u);
  WritePacket(ProgramFile("b.TVF"), {{DEVICE_MAIN_FPGA, 1, 4, 12}});
  EXPECT_EQ(dlg_->LoadStartupPacket(), 0);
  EXPECT_FALSE(dlg_->PacketLoaded());

  std::remove(ProgramFile("broken.tvf").c_str());
  std::remove(ProgramFile("b.TVF").c_str());
  const std::string path = WritePacket(ProgramFile("update.tvf"),
                                       {{DEVICE_MAIN_FPGA, 1, 4, 11}, {DEVICE_BOOT_UP, 1, 4, 12}});
  dlg_.reset();
  Start();
  EXPECT_TRUE(dlg_->PacketLoaded());
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).packetText, "001 V04.11");
  EXPECT_EQ(window_.Row(DEVICE_BOOT_UP).packetText, "001 V04.12");
  EXPECT_EQ(window_.Row(DEVICE_MAIN_UP).packetText, "");
  EXPECT_FALSE(dlg_->LoadedVersions()[DEVICE_MAIN_UP].IsAvailable());
  const std::vector<std::string> lines = LogLines();
  EXPECT_THAT(lines, Contains("Loaded packetfile " + path + "."));
  EXPECT_THAT(lines, Contains("- Device Main FPGA        version: 001 V04.11"));
  // No camera: nothing to program or verify yet.
  EXPECT_FALSE(window_.Control(CommandControl::kProgram).enabled);
  EXPECT_FALSE(window_.Control(CommandControl::kVerify).enabled);
}

// A damaged packet after a good one keeps the good one, its versions and its image: the runs
// go on using it. (That Load File holds the controls is pinned with Connect's command state.)
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

}  // namespace
}  // namespace tarvo::test
