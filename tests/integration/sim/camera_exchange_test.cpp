// Correct exchanges of every command, and the versions the camera reports from its contents.
#include <cstring>

#include "firmware/device_catalogue.h"
#include "link/telegram_layout.h"
#include "sim/core/factory_images.h"
#include "sim/core/telegram_frame.h"
#include "sim_fixture.h"

namespace tarvo::simtest {
namespace {

void ExpectFramed(const Answer& answer, std::uint16_t code) {
  ASSERT_EQ(answer.result, 0u);
  EXPECT_EQ(Le16(answer.bytes, 0), code);
  EXPECT_EQ(Le16(answer.bytes, 2), answer.bytes.size());
  EXPECT_TRUE(sim::IsSealed(answer.bytes.data(), static_cast<std::uint32_t>(answer.bytes.size())));
}

using CameraExchange = SimCameraTest;

TEST_F(CameraExchange, IdentifiesAsTheDefaultCamera) {
  auto client = Connect();
  Answer answer = client->CameraType();
  ExpectFramed(answer, 0x0110);
  EXPECT_EQ(answer.bytes.size(), 23u);
  EXPECT_EQ(Le16(answer.bytes, 4), 0x1000u);
  EXPECT_EQ(Le32(answer.bytes, 8), 4711u);
}

TEST_F(CameraExchange, FreshCameraReportsFactoryFirmwareOfEveryDevice) {
  auto client = Connect();
  Answer answer = client->VersionsPage(0);
  ExpectFramed(answer, 0x0D10);
  ASSERT_EQ(Le16(answer.bytes, 4), 9u);
  std::vector<ReportedEntry> entries = Entries(answer);
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    std::optional<DeviceIndex> mapped = DeviceIndexFromCameraName(entries[index].name);
    ASSERT_TRUE(mapped.has_value()) << entries[index].name;
    EXPECT_EQ(*mapped, index) << entries[index].name;
    EXPECT_EQ(entries[index].Version(), "001 V01.00");
  }
  Answer single = client->VersionsSingle();
  ExpectFramed(single, 0x0810);
  EXPECT_EQ(std::memcmp(single.bytes.data() + 4, answer.bytes.data() + 4, 2 + 9 * 20), 0);
}

TEST_F(CameraExchange, DeviceAccessCommandsAnswerWithTheirOwnCode) {
  auto client = Connect();
  ExpectFramed(client->Send(Telegram(0x4203, 13, 13), 17), 0x4203);
  ExpectFramed(client->Send(Telegram(0x1003, 13, 13), 17), 0x1003);
  std::uint8_t data[100];
  for (int i = 0; i < 100; ++i) data[i] = static_cast<std::uint8_t>(i);
  std::vector<std::uint8_t> write = Telegram(0x1103, 113, 269);
  PutLe32(write, 4, 0x1000);
  PutLe32(write, 8, 0x1063);
  std::memcpy(write.data() + 12, data, 100);
  Answer written = client->Send(write, 15);
  ExpectFramed(written, 0x1103);
  Answer read = client->Read(0x1000, 100);
  ExpectFramed(read, 0x1403);
  EXPECT_EQ(Le32(read.bytes, 4), 0x1000u);
  EXPECT_EQ(Le32(read.bytes, 8), 0x1063u);
  EXPECT_EQ(std::memcmp(read.bytes.data() + 12, data, 100), 0);
  ExpectFramed(client->Send(Telegram(0x0003, 13, 13), 17), 0x0003);
  Answer reboot = client->Reboot();
  ExpectFramed(reboot, 0x1704);
  EXPECT_EQ(reboot.bytes.size(), 272u);
}

TEST_F(CameraExchange, LeavesTheCallersRequestUntouched) {
  auto client = Connect();
  std::vector<std::uint8_t> request = Telegram(0x0110, 5, 5);
  std::vector<std::uint8_t> answer(23);
  ASSERT_EQ(client->controlCommand(client->Handle(), request.data(), 5, answer.data(), 23), 0u);
  EXPECT_EQ(request[4], 0u);
}

// Versions come from what the devices hold, found where a read-back finds them.
using VersionsFromContents = SimCameraTest;

TEST_F(VersionsFromContents, ProgrammedImagesReportTheirVersion) {
  auto client = Connect();
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    sim::FactoryImage image = sim::BuildFactoryImage(index, 12, 4, 11);
    ASSERT_EQ(client->ProgramImage(index, image.start, image.bytes), 0u) << index;
    std::optional<ReportedEntry> entry = VersionOf(*client, index);
    ASSERT_TRUE(entry) << index;
    EXPECT_EQ(entry->Version(), "012 V04.11") << index;
  }
  // Boot uP of major 0 keeps its version at the end of the boot area.
  sim::FactoryImage image = sim::BuildFactoryImage(DEVICE_BOOT_UP, 1, 0, 95);
  ASSERT_EQ(client->ProgramImage(DEVICE_BOOT_UP, image.start, image.bytes), 0u);
  ASSERT_TRUE(VersionOf(*client, DEVICE_BOOT_UP));
  EXPECT_EQ(VersionOf(*client, DEVICE_BOOT_UP)->Version(), "001 V00.95");
}

TEST_F(VersionsFromContents, ErasedOrUnrecognisedDevicesAreNotReported) {
  auto client = Connect();
  ASSERT_EQ(client->SelectDevice(DEVICE_MAIN_FPGA), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  ASSERT_EQ(client->End(), 0u);
  // An HD-SDI image written without its word swap has no readable header.
  sim::FactoryImage plain = sim::BuildFactoryImage(DEVICE_MAIN_FPGA, 1, 2, 3);
  ASSERT_EQ(client->ProgramImage(DEVICE_HDSDI_FPGA, 0, plain.bytes), 0u);
  EXPECT_FALSE(VersionOf(*client, DEVICE_MAIN_FPGA));
  EXPECT_FALSE(VersionOf(*client, DEVICE_HDSDI_FPGA));
  EXPECT_EQ(Le16(client->VersionsPage(0).bytes, 4), 7u);
}

}  // namespace
}  // namespace tarvo::simtest
