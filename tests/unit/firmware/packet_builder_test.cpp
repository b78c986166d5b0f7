#include "firmware/packet_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "firmware/device_image_loader.h"
#include "log/result_codes.h"
#include "platform/folders.h"
#include "raw_image_files.h"
#include "recording_report.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

TEST(EnsurePacketExtension, AppendsTvfUnlessTheNameEndsInItInAnyCase) {
  EXPECT_EQ(EnsurePacketExtension("new"), "new.tvf");
  EXPECT_EQ(EnsurePacketExtension("new.tvf"), "new.tvf");
  EXPECT_EQ(EnsurePacketExtension("NEW.TVF"), "NEW.TVF");
  EXPECT_EQ(EnsurePacketExtension("a.Tvf"), "a.Tvf");
  EXPECT_EQ(EnsurePacketExtension("new.bin"), "new.bin.tvf");
  EXPECT_EQ(EnsurePacketExtension(".tvf"), ".tvf.tvf");
  EXPECT_EQ(EnsurePacketExtension(""), ".tvf");
}

class PacketBuilderTest : public ::testing::Test {
 protected:
  PacketBuilderTest() : image_(IMAGE_BUFFER_SIZE), paths_(test::WriteRawImageFiles(temp_.Path())) {
    order_.fill(ORDER_END);
  }

  std::vector<PacketImageSource> AllDevices() const {
    std::vector<PacketImageSource> sources;
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      sources.push_back({device, paths_[device]});
    }
    return sources;
  }

  test::TempFolder temp_;
  std::vector<std::uint8_t> image_;
  std::vector<std::string> paths_;
  ProgramOrder order_;
  test::RecordingReport report_;
};

TEST_F(PacketBuilderTest, RoundTripOfAllNineDevicesGivesBackEveryImageAndTheWholeOrder) {
  const std::uint16_t steps[] = {0, ORDER_REBOOT, ORDER_WAIT | 5, 1, 2, 3, 4, 5, 6, 7, 8};
  std::copy(std::begin(steps), std::end(steps), order_.begin());
  order_[40] = 0x1234;  // stored as it is, behind the end mark
  const std::string path = temp_.File("all.tvf");
  ASSERT_EQ(BuildPacketFile(order_, AllDevices(), path, image_.data(), report_),
            PacketBuildResult::kWritten);
  EXPECT_TRUE(report_.results.empty());

  CFirmwarePacket packet;
  ASSERT_TRUE(packet.CheckPacketFile(path));
  ASSERT_TRUE(packet.LoadPacket(path));
  ProgramOrder stored;
  ASSERT_TRUE(packet.GetOrder(&stored));
  EXPECT_EQ(stored, order_);
  ASSERT_EQ(packet.LoadedEntries().size(), kDeviceCount);

  std::vector<std::uint8_t> fromPacket(IMAGE_BUFFER_SIZE);
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    LoadedImage expected;
    ASSERT_TRUE(LoadDeviceImage(device, paths_[device], image_.data(), report_, &expected));
    std::uint32_t start = 0, end = 0, size = 0;
    ASSERT_TRUE(
        packet.GetImage(static_cast<std::uint16_t>(device), fromPacket.data(), &start, &end, &size))
        << device;
    EXPECT_EQ(start, expected.start) << device;
    EXPECT_EQ(end, expected.end) << device;
    EXPECT_EQ(size, expected.size) << device;
    EXPECT_TRUE(
        std::equal(image_.begin() + start, image_.begin() + end + 1, fromPacket.begin() + start))
        << device;
    ImageVersion version;
    ASSERT_TRUE(packet.FindImageVersion(static_cast<std::uint16_t>(device), &version));
    EXPECT_EQ(std::memcmp(&version, &expected.version, sizeof version), 0) << device;
  }
}

TEST_F(PacketBuilderTest, AnImageThatFailsToLoadLeavesNoFile) {
  std::vector<PacketImageSource> sources = AllDevices();
  sources[4].path = temp_.File("MIRVA2_1_V01_00.bit");  // missing
  const std::string path = temp_.File("broken.tvf");
  EXPECT_EQ(BuildPacketFile(order_, sources, path, image_.data(), report_),
            PacketBuildResult::kImageFailed);
  EXPECT_FALSE(platform::PathExists(path));
  EXPECT_EQ(report_.fileErrors, std::vector<std::uint32_t>{ERR_FILE_OPEN});
  EXPECT_EQ(report_.failedDevices, std::vector<DeviceIndex>{DEVICE_MEM_FPGA_2});
}

TEST_F(PacketBuilderTest, AFileThatCannotBeWrittenIsShownAsFailure) {
  EXPECT_EQ(BuildPacketFile(order_, {{DEVICE_COLOR_DATA, paths_[DEVICE_COLOR_DATA]}},
                            temp_.File("missing/p.tvf"), image_.data(), report_),
            PacketBuildResult::kPacketFailed);
  EXPECT_EQ(report_.results, std::vector<std::string>{"ERROR: Creating packet file failed."});
  EXPECT_EQ(report_.logLines,
            std::vector<std::string>{"Creating file " + temp_.File("missing/p.tvf") +
                                     " failed!. No such file or directory."});
}

}  // namespace
}  // namespace tarvo
