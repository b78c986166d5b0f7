// Generating a packet from raw image files through the window's dialogs: one file dialog per
// device step of the order, the save dialog, and no file at all when an image fails to load.
#include <gmock/gmock.h>

#include <filesystem>

#include "engine_fixture.h"
#include "sim/core/raw_image_files.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class GeneratePacket : public EngineFixture {
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

// A device the order names twice is asked for once; the packet extension is added when the
// name lacks it, in any case.
TEST_F(GeneratePacket, AsksOneFilePerDeviceStepAndStoresTheWholeOrder) {
  SetOrder({DEVICE_BOOT_UP, ORDER_REBOOT, 0x2005, DEVICE_MAIN_FPGA, DEVICE_BOOT_UP});
  for (const char* name : {"new", "NEW.TVF"}) {
    window_.ScriptOpenFile(files_[DEVICE_BOOT_UP]);
    window_.ScriptOpenFile(files_[DEVICE_MAIN_FPGA]);
    window_.ScriptSaveFile(temp_.File(name));
    EXPECT_EQ(Dlg().GeneratePacket(), 1);
  }
  ASSERT_EQ(window_.DialogFilters().size(), 6u);
  EXPECT_THAT(
      std::vector<std::string>(window_.DialogFilters().begin() + 3, window_.DialogFilters().end()),
      ElementsAre(DeviceImageFilter(DEVICE_BOOT_UP), DeviceImageFilter(DEVICE_MAIN_FPGA),
                  kPacketFileFilter));
  EXPECT_FALSE(std::filesystem::exists(temp_.File("NEW.TVF.tvf")));
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.LoadPacket(temp_.File("NEW.TVF"))) << packet.LastError();
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

// Cancelling any dialog ends the whole generation: no later dialog, no file, and a status line
// that says so. A packet that lacks a device its order names would fail when run: when an
// image fails to load nothing is written, and the window says why.
TEST_F(GeneratePacket, ACancelledDialogOrAFailedImageWritesNoFile) {
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

  NewLogLines();
  window_.ScriptOpenFile(files_[DEVICE_MAIN_UP]);
  window_.ScriptOpenFile(temp_.File("raw/missing.bit"));
  window_.ScriptSaveFile(temp_.File("broken.tvf"));
  EXPECT_EQ(Dlg().GeneratePacket(), 0);
  EXPECT_FALSE(std::filesystem::exists(temp_.File("broken.tvf")));
  EXPECT_THAT(BoxTexts(), ElementsAre("Creating packet file failed.\nImage file of Main FPGA "
                                      "could not be loaded."));
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, kRed);
  EXPECT_THAT(NewLogLines(), testing::Contains(testing::StartsWith("File error: ")));
}

}  // namespace
}  // namespace tarvo::test
