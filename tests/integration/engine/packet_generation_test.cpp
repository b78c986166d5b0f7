// Generating a packet from raw image files through the window's dialogs: one file dialog per
// device of the order, the save dialog, and no file at all when a dialog is cancelled or an
// image fails to load (a packet that lacks a device its order names would fail when run).
#include <gmock/gmock.h>

#include <filesystem>

#include "engine_fixture.h"
#include "sim/core/raw_image_files.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class GeneratePacket : public EngineFixture {};

TEST_F(GeneratePacket, AsksOneFilePerDeviceAndStoresTheWholeOrderOrWritesNoFile) {
  sim::RawImageRequest request;
  request.major = 4;
  request.minor = 12;
  std::vector<std::string> written;
  std::string error;
  ASSERT_TRUE(sim::WriteRawImageFiles(temp_.File("raw"), request, &written, &error)) << error;
  const auto file = [&](DeviceIndex device) {
    return temp_.File("raw/" + sim::RawImageFileName(device, request));
  };
  CProgrammerDlg& dlg = Start(false, true);
  const std::vector<std::uint16_t> steps = {DEVICE_BOOT_UP, ORDER_REBOOT, 0x2005, DEVICE_MAIN_FPGA,
                                            DEVICE_BOOT_UP};
  dlg.Order().fill(ORDER_END);
  std::copy(steps.begin(), steps.end(), dlg.Order().begin());
  EXPECT_EQ(dlg.GeneratePacket(), 0);
  EXPECT_EQ(window_.StatusText(),
            "Packet generation cancelled: no image file was chosen for Boot uP; no file written.");

  // A device the order names twice is asked for once; the extension is added.
  window_.ScriptOpenFile(file(DEVICE_BOOT_UP));
  window_.ScriptOpenFile(file(DEVICE_MAIN_FPGA));
  window_.ScriptSaveFile(temp_.File("new"));
  EXPECT_EQ(dlg.GeneratePacket(), 1);
  EXPECT_THAT(window_.DialogFilters(),
              ElementsAre(DeviceImageFilter(DEVICE_BOOT_UP), DeviceImageFilter(DEVICE_BOOT_UP),
                          DeviceImageFilter(DEVICE_MAIN_FPGA), kPacketFileFilter));
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.LoadPacket(temp_.File("new.tvf"))) << packet.LastError();
  ProgramOrder order;
  ASSERT_TRUE(packet.GetOrder(&order));
  EXPECT_EQ(order, dlg.Order());
  ASSERT_EQ(packet.LoadedEntries().size(), 2u);
  EXPECT_EQ(packet.LoadedEntries()[0].deviceIndex, DEVICE_BOOT_UP);
  EXPECT_FALSE(dlg.Packet().IsLoaded());  // the window's own packet stays as it was

  NewLogLines();
  window_.ScriptOpenFile(file(DEVICE_BOOT_UP));
  window_.ScriptOpenFile(temp_.File("raw/missing.bit"));
  window_.ScriptSaveFile(temp_.File("broken.tvf"));
  EXPECT_EQ(dlg.GeneratePacket(), 0);
  EXPECT_FALSE(std::filesystem::exists(temp_.File("broken.tvf")));
  EXPECT_EQ(window_.BoxTexts().back(),
            "Creating packet file failed.\nImage file of Main FPGA could not be loaded.");
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, kRed);
  EXPECT_THAT(NewLogLines(), testing::Contains(testing::StartsWith("File error: ")));
  EXPECT_TRUE(dlg.LastRun().outputFile.empty());
}

}  // namespace
}  // namespace tarvo::test
