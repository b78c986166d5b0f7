#include "firmware/device_catalogue.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// The select codes go to the camera as they are: they are not in index order.
TEST(DeviceCatalogue, SelectCodesAndFileFiltersOfTheNineDevices) {
  const std::uint16_t codes[] = {0x4003, 0x4103, 0x4203, 0x4303, 0x4403,
                                 0x4503, 0x4803, 0x4703, 0x4B03};
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    EXPECT_EQ(DeviceSelectCode(index), codes[index]) << index;
  }
  EXPECT_STREQ(DeviceImageFilter(DEVICE_COLOR_DATA),
               "Color Table (*.cdt)|TARVOCOLORDATA_*.cdt|All Files (*.*)|*.*||");
}

// The camera's own device names match by contained text, and the last match wins.
TEST(CameraDeviceNames, NamesMatchByContainedTextAndTheLastMatchWins) {
  const std::pair<const char*, std::optional<DeviceIndex>> cases[] = {
      {"HDSDI FPGA rev B", DEVICE_HDSDI_FPGA},
      {"Colordata", DEVICE_COLOR_DATA},
      {"S1 FPGA", DEVICE_MEM_FPGA_1},
      {"S2 FPGA", DEVICE_MEM_FPGA_2},
      {"Boot uP/Main FPGA", DEVICE_MAIN_FPGA},
      {"Power uP Boot uP", DEVICE_POWER_UP},
      {"Color Data", std::nullopt},
      {"GigE XML", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [name, device] : cases) {
    EXPECT_EQ(DeviceIndexFromCameraName(name), device) << name;
  }
}

}  // namespace
}  // namespace tarvo
