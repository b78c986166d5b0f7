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
// is loaded; a lone file that does not load is counted and reported. A damaged packet loaded
// later keeps the good one, its versions and its image: the runs go on using it. (That Load
// File holds the controls is pinned with Connect's command state.)
TEST_F(PacketLoading, StartupLoadsTheOnePacketBesideTheProgramAndADamagedOneKeepsIt) {
  Create();
  EXPECT_EQ(dlg_->LoadStartupPacket(), 0);
  WriteFileText(ProgramFile("broken.tvf"), "not a packet");
  EXPECT_EQ(dlg_->LoadStartupPacket(), 1);
  EXPECT_FALSE(dlg_->PacketLoaded());
  EXPECT_EQ(window_.MessageBoxes().size(), 1u);
  WritePacket(ProgramFile("b.TVF"), {{DEVICE_MAIN_FPGA, 4, 12}});
  EXPECT_EQ(dlg_->LoadStartupPacket(), 0);
  EXPECT_FALSE(dlg_->PacketLoaded());

  std::remove(ProgramFile("broken.tvf").c_str());
  std::remove(ProgramFile("b.TVF").c_str());
  const std::string path =
      WritePacket(ProgramFile("update.tvf"), {{DEVICE_MAIN_FPGA, 4, 11}, {DEVICE_BOOT_UP, 4, 12}});
  dlg_.reset();
  Start();
  EXPECT_TRUE(dlg_->PacketLoaded());
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).packetText, "001 V04.11");
  EXPECT_THAT(LogLines(), Contains("Loaded packetfile " + path + "."));
  EXPECT_THAT(LogLines(), Contains("- Device Main FPGA        version: 001 V04.11"));
  // No camera: nothing to program or verify yet.
  EXPECT_FALSE(window_.Control(CommandControl::kProgram).enabled ||
               window_.Control(CommandControl::kVerify).enabled);

  std::vector<std::uint8_t> damaged = ReadFileBytes(path);
  damaged[damaged.size() / 2] ^= 0x01;
  WriteFileBytes(temp_.File("damaged.tvf"), damaged);
  EXPECT_EQ(dlg_->LoadPacketFile(temp_.File("damaged.tvf")), 0);
  EXPECT_EQ(window_.MessageBoxes().back().text, "Firmware packet file integrity check failed.");
  EXPECT_EQ(window_.MessageBoxes().back().icon, MessageIcon::kError);
  EXPECT_EQ(LogLines().back(), "ERROR: Firmware packet file integrity check failed.");
  EXPECT_EQ(window_.Row(DEVICE_BOOT_UP).packetText, "001 V04.12");
  EXPECT_EQ(dlg_->LoadedVersions()[DEVICE_BOOT_UP], (DeviceVersion{1, 4, 12}));
  std::uint32_t start = 0, end = 0, size = 0;
  EXPECT_TRUE(dlg_->Packet().GetImage(DEVICE_BOOT_UP, dlg_->ImageBuffer(), &start, &end, &size));
  EXPECT_EQ(size, 64u);
}

}  // namespace
}  // namespace tarvo::test
