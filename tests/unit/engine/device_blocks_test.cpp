// What the camera cannot show the simulation: the HD-SDI FPGA erases for up to 100 s, and its
// board revision word (address 2) is taken only from an image that covers it. The block shapes
// and select codes of whole images are pinned against the camera by the integration tests.
#include "engine/device_blocks.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(DeviceBlocks, HdsdiEraseTimeoutAndTheRevisionWordOnlyFromTheImage) {
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_EQ(DeviceEraseTimeoutSeconds(device), device == DEVICE_HDSDI_FPGA ? 100u : 30u);
  }
  const std::uint8_t newer[16] = {0, 0, 0x00, 0x0A};
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, newer, 0, 16), 0x4A03);
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, newer, 4, 12), 0x4703);
  EXPECT_EQ(DeviceSelectCodeForImage(DEVICE_HDSDI_FPGA, newer, 0, 3), 0x4703);
}

}  // namespace
}  // namespace tarvo
