// The version policy on the window with a real camera and packet: boxes, log lines and
// message boxes, and the check after an update.
#include <gmock/gmock.h>

#include "engine_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::Not;

constexpr const char* kOlderText =
    "Note that some or all versions to\nbe loaded are older than the current\nfirmware "
    "versions in the camera!";
constexpr const char* kVariantText =
    "Variants of update file and camera\nfirmware are different. File seems\nnot to be for "
    "that camera type!";

class VersionPolicy : public EngineFixture {
 protected:
  void LoadAndConnect(const std::vector<PacketImage>& images, bool emergency = false) {
    LoadPacket(images, emergency);
    Dlg().OnConnect();
  }
};

TEST_F(VersionPolicy, BootUpBelow411IsRefusedLoggedAndNotedAsOlder) {
  FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 4, 10));
  LoadAndConnect({RecognisedImage(DEVICE_BOOT_UP, 1, 4, 9)});
  EXPECT_FALSE(window_.Row(DEVICE_BOOT_UP).enabled);
  EXPECT_FALSE(window_.Row(DEVICE_BOOT_UP).checked);
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_THAT(lines, Contains("Prohibit loading Boot uP with version earlier than 4.11 (camera "
                              "may get stuck)."));
  EXPECT_THAT(lines, Contains("ERROR: Note that some or all versions to be loaded are older than "
                              "the current firmware versions in the camera!"));
  EXPECT_THAT(BoxTexts(), ElementsAre(kOlderText));
}

TEST_F(VersionPolicy, OtherVariantShowsTheVariantBoxBeforeTheOlderBox) {
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 2, 1, 0));
  LoadAndConnect(
      {RecognisedImage(DEVICE_MAIN_FPGA, 1, 3, 0), RecognisedImage(DEVICE_MAIN_UP, 1, 0, 9)});
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).enabled);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_UP).enabled);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_UP).checked);
  EXPECT_THAT(BoxTexts(), ElementsAre(kVariantText, kOlderText));
  EXPECT_THAT(window_.MessageBoxes(), Each(Field(&ShownMessageBox::icon, MessageIcon::kError)));
}

TEST_F(VersionPolicy, EmergencyModeEnablesOtherVariantsAndOldBootImagesUnchecked) {
  FactoryWrite(RecognisedImage(DEVICE_MAIN_FPGA, 2, 1, 0));
  LoadAndConnect(
      {RecognisedImage(DEVICE_MAIN_FPGA, 1, 3, 0), RecognisedImage(DEVICE_BOOT_UP, 1, 3, 0)},
      /*emergency=*/true);
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_FPGA).enabled);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).checked);
  EXPECT_TRUE(window_.Row(DEVICE_BOOT_UP).enabled);
  EXPECT_THAT(NewLogLines(), Not(Contains(testing::StartsWith("Prohibit loading"))));
  EXPECT_THAT(BoxTexts(), Contains(kVariantText));
}

TEST_F(VersionPolicy, UserChoicesAreRebuiltByTheNextLoad) {
  LoadAndConnect({RecognisedImage(DEVICE_MAIN_FPGA, 1, 1, 0)});  // equal: not preselected
  window_.ClickDevice(DEVICE_MAIN_FPGA, true);
  ASSERT_EQ(Dlg().LoadPacketFile(
                WritePacket(PacketPath("q.tvf"), {RecognisedImage(DEVICE_MAIN_FPGA, 1, 1, 0)})),
            1);
  EXPECT_FALSE(window_.Row(DEVICE_MAIN_FPGA).checked);
}

class VersionsAfterUpdate : public VersionPolicy {};

TEST_F(VersionsAfterUpdate, PassesWhenEveryCheckedDeviceCarriesThePacketVersion) {
  const PacketImage image = RecognisedImage(DEVICE_MAIN_UP, 1, 1, 7);
  LoadAndConnect({image, RecognisedImage(DEVICE_COLOR_DATA, 1, 1, 7)});
  ASSERT_TRUE(window_.Row(DEVICE_MAIN_UP).checked);
  ASSERT_EQ(Dlg().ProgramDevice(DEVICE_MAIN_UP), 1);
  // Color Data is not updated, but the user took it out of the run.
  window_.ClickDevice(DEVICE_COLOR_DATA, false);
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  NewLogLines();
  EXPECT_EQ(Dlg().CheckVersionsAfterUpdate(), 1);
  EXPECT_THAT(NewLogLines(), ElementsAre("Version check after update successful."));
}

TEST_F(VersionsAfterUpdate, FailsOnACheckedDeviceWithAnotherVersion) {
  LoadAndConnect({RecognisedImage(DEVICE_MAIN_UP, 1, 1, 7)});
  ASSERT_TRUE(window_.Row(DEVICE_MAIN_UP).checked);
  NewLogLines();
  EXPECT_EQ(Dlg().CheckVersionsAfterUpdate(), 0);
  EXPECT_THAT(BoxTexts(), ElementsAre("Firmware versions of updated\ndevices do not match the\n"
                                      "versions to be programmed"));
  EXPECT_THAT(NewLogLines(), ElementsAre("ERROR: Firmware versions of updated devices do not "
                                         "match the versions to be programmed"));
}

}  // namespace
}  // namespace tarvo::test
