// Generating a packet from raw image files through the window's dialogs: one file dialog per
// device step of the order, the save dialog, and no file at all when an image fails to load.
#include <gmock/gmock.h>

#include <filesystem>

#include "run_fixture.h"
#include "sim/core/raw_image_files.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class GeneratePacket : public RunFixture {
 protected:
  void SetUp() override {
    Start(false, true);
    std::vector<std::string> written;
    std::string error;
    sim::RawImageRequest request;
    request.major = 4;
    request.minor = 12;
    ASSERT_TRUE(sim::WriteRawImageFiles(temp_.File("raw"), request, &written, &error)) << error;
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      files_[device] = temp_.File("raw/" + sim::RawImageFileName(device, request));
    }
    window_.ClearRecords();
    NewLogLines();
  }
  void SetOrder(const std::vector<std::uint16_t>& steps) {
    Dlg().Order().fill(ORDER_END);
    std::copy(steps.begin(), steps.end(), Dlg().Order().begin());
  }
  std::string files_[kDeviceCount];
};

TEST_F(GeneratePacket, AsksOneFilePerDeviceStepAndStoresTheWholeOrder) {
  SetOrder({DEVICE_BOOT_UP, ORDER_REBOOT, 0x2005, DEVICE_MAIN_FPGA});
  window_.ScriptOpenFile(files_[DEVICE_BOOT_UP]);
  window_.ScriptOpenFile(files_[DEVICE_MAIN_FPGA]);
  window_.ScriptSaveFile(temp_.File("new"));
  EXPECT_EQ(Dlg().GeneratePacket(), 1);
  EXPECT_THAT(window_.DialogFilters(),
              ElementsAre(DeviceImageFilter(DEVICE_BOOT_UP), DeviceImageFilter(DEVICE_MAIN_FPGA),
                          kPacketFileFilter));
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.LoadPacket(temp_.File("new.tvf"))) << packet.LastError();
  ProgramOrder order;
  ASSERT_TRUE(packet.GetOrder(&order));
  EXPECT_EQ(order, Dlg().Order());
  ASSERT_EQ(packet.LoadedEntries().size(), 2u);
  EXPECT_EQ(packet.LoadedEntries()[0].deviceIndex, DEVICE_BOOT_UP);
  EXPECT_EQ(packet.LoadedEntries()[1].version.major, 4);
  // The window's own packet stays as it was.
  EXPECT_FALSE(Dlg().Packet().IsLoaded());
}

TEST_F(GeneratePacket, UpperCaseExtensionIsKeptAndADeviceTwiceIsAskedOnce) {
  SetOrder({DEVICE_COLOR_DATA, ORDER_REBOOT, DEVICE_COLOR_DATA});
  window_.ScriptOpenFile(files_[DEVICE_COLOR_DATA]);
  window_.ScriptSaveFile(temp_.File("NEW.TVF"));
  EXPECT_EQ(Dlg().GeneratePacket(), 1);
  EXPECT_EQ(window_.DialogFilters().size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(temp_.File("NEW.TVF")));
  EXPECT_FALSE(std::filesystem::exists(temp_.File("NEW.TVF.tvf")));
}

// Cancelling any dialog ends the whole generation: no later dialog, no file, and a status line
// that says so.
TEST_F(GeneratePacket, ACancelledDialogEndsTheGenerationWithoutAFile) {
  SetOrder({DEVICE_MAIN_UP, DEVICE_MAIN_FPGA});
  window_.ScriptOpenFile(std::nullopt);
  EXPECT_EQ(Dlg().GeneratePacket(), 0);
  EXPECT_EQ(window_.DialogFilters().size(), 1u);
  EXPECT_EQ(window_.StatusText(),
            "Packet generation cancelled: no image file was chosen for Main uP; no file written.");
  window_.ScriptOpenFile(files_[DEVICE_MAIN_UP]);
  window_.ScriptOpenFile(files_[DEVICE_MAIN_FPGA]);
  window_.ScriptSaveFile(std::nullopt);
  EXPECT_EQ(Dlg().GeneratePacket(), 0);
  EXPECT_EQ(window_.StatusText(),
            "Packet generation cancelled: no file name was chosen; no file written.");
  EXPECT_TRUE(window_.MessageBoxes().empty());
  EXPECT_TRUE(Dlg().LastRun().outputFile.empty());
}

// A packet that lacks a device its order names would fail when run: nothing is written, and
// the window says why.
TEST_F(GeneratePacket, AnImageThatFailsToLoadWritesNoFile) {
  SetOrder({DEVICE_MAIN_UP, DEVICE_MAIN_FPGA});
  window_.ScriptOpenFile(files_[DEVICE_MAIN_UP]);
  window_.ScriptOpenFile(temp_.File("raw/missing.bit"));
  window_.ScriptSaveFile(temp_.File("broken.tvf"));
  EXPECT_EQ(Dlg().GeneratePacket(), 0);
  EXPECT_FALSE(std::filesystem::exists(temp_.File("broken.tvf")));
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
  EXPECT_EQ(window_.MessageBoxes()[0].text,
            "Creating packet file failed.\nImage file of Main FPGA could not be loaded.");
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, (ProgressColour{255, 0, 0}));
  const std::vector<std::string> lines = NewLogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().rfind("File error: ", 0), 0u) << lines.front();
}

}  // namespace
}  // namespace tarvo::test
