// Block shapes, erase timeouts and select codes of the nine devices.
#include "engine/device_blocks.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

// The lengths of the blocks an image of `size` bytes is cut into.
std::vector<std::uint32_t> BlockLengths(DeviceIndex device, std::uint32_t size) {
  std::vector<std::uint32_t> lengths;
  for (std::uint64_t offset = 0; offset < size; offset += DeviceBlockSize(device)) {
    lengths.push_back(DeviceBlockLength(device, size - offset));
  }
  return lengths;
}

TEST(DeviceBlocks, BlockShapesFollowTheDevice) {
  EXPECT_EQ(BlockLengths(DEVICE_MAIN_FPGA, 600), (std::vector<std::uint32_t>{256, 256, 88}));
  EXPECT_EQ(BlockLengths(DEVICE_POWER_UP, 300), (std::vector<std::uint32_t>{128, 128, 44}));
  EXPECT_EQ(BlockLengths(DEVICE_BOOT_FPGA, 257), (std::vector<std::uint32_t>{256, 2}));
  EXPECT_EQ(BlockLengths(DEVICE_BOOT_UP, 257), (std::vector<std::uint32_t>{256, 1}));
  EXPECT_EQ(BlockLengths(DEVICE_BOOT_FPGA, 3), (std::vector<std::uint32_t>{4}));
  EXPECT_EQ(DeviceBlockOverhang(DEVICE_BOOT_FPGA), 1u);
  EXPECT_EQ(DeviceBlockOverhang(DEVICE_HDSDI_FPGA), 0u);
}

TEST(DeviceBlocks, HdsdiFpgaAloneGetsTheLongEraseTimeout) {
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_EQ(DeviceEraseTimeoutSeconds(device), device == DEVICE_HDSDI_FPGA ? 100u : 30u);
  }
}

// The word at address 2 picks the board revision only when the image holds it: bytes the image
// does not cover (an image starting past address 3) are never read. 0x0A, 0x09 and 0x0100 are
// run against the camera by the engine's integration tests.
TEST(DeviceBlocks, HdsdiSelectCodeComesFromTheImagesOwnWord) {
  std::vector<std::uint8_t> buffer(16, 0x00);
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, buffer.data(), 0, 16), 0x4703);
  buffer[3] = 0x0A;
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, buffer.data(), 0, 16), 0x4A03);
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, buffer.data(), 4, 12), 0x4703);
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, buffer.data(), 0, 3), 0x4703);
}

TEST(DeviceBlocks, ErasedBlockMeansEveryByteIsFF) {
  std::vector<std::uint8_t> block(256, 0xFF);
  EXPECT_TRUE(IsErasedBlock(block.data(), 256));
  EXPECT_TRUE(IsErasedBlock(block.data(), 0));
  block[255] = 0xFE;
  EXPECT_FALSE(IsErasedBlock(block.data(), 256));
  EXPECT_TRUE(IsErasedBlock(block.data(), 255));
}

TEST(DeviceBlocks, ProgressTruncatesAndStaysBelowAHundred) {
  EXPECT_EQ(ProgressPercent(0x1000, 0x1000, 300), 0);
  EXPECT_EQ(ProgressPercent(0x1000 + 256, 0x1000, 300), 85);
  EXPECT_EQ(ProgressPercent(9999999, 0, 10000000), 99);
}

}  // namespace
}  // namespace tarvo
