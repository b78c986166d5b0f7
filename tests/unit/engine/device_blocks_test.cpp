// Erase timeouts and the HD-SDI select code; the block shapes are pinned against the camera by
// the engine's integration tests.
#include "engine/device_blocks.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

TEST(DeviceBlocks, HdsdiFpgaAloneGetsTheLongEraseTimeout) {
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_EQ(DeviceEraseTimeoutSeconds(device), device == DEVICE_HDSDI_FPGA ? 100u : 30u);
  }
}

// The word at address 2 picks the board revision only when the image holds it: bytes the image
// does not cover (an image starting past address 3) are never read.
TEST(DeviceBlocks, HdsdiSelectCodeComesFromTheImagesOwnWord) {
  std::vector<std::uint8_t> buffer(16, 0x00);
  buffer[3] = 0x0A;
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, buffer.data(), 0, 16), 0x4A03);
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, buffer.data(), 4, 12), 0x4703);
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, buffer.data(), 0, 3), 0x4703);
  buffer[2] = 0x01;
  buffer[3] = 0x00;
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, buffer.data(), 0, 16), 0x4A03);
  buffer[2] = 0x00;
  buffer[3] = 0x09;
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, buffer.data(), 0, 16), 0x4703);
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_MAIN_FPGA, buffer.data(), 0, 16), 0x4203);
}

}  // namespace
}  // namespace tarvo
