#include "firmware/device_catalogue.h"

#include <gtest/gtest.h>

#include "firmware/image_version.h"

namespace tarvo {
namespace {

TEST(DeviceCatalogue, SelectCodesNamesAndFiltersOfTheNineDevices) {
  const std::uint16_t codes[] = {0x4003, 0x4103, 0x4203, 0x4303, 0x4403,
                                 0x4503, 0x4803, 0x4703, 0x4B03};  // not in index order
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    EXPECT_EQ(DeviceSelectCode(index), codes[index]) << index;
    EXPECT_EQ(DeviceIndexFromListName(DeviceListName(index)), index);
  }
  // Color Data has two names, and only the list name maps back, exactly as written.
  EXPECT_STREQ(DeviceDisplayName(DEVICE_COLOR_DATA), "Color Data");
  EXPECT_STREQ(DeviceListName(DEVICE_COLOR_DATA), "Colordata");
  EXPECT_STREQ(DeviceListName(DEVICE_MAIN_FPGA), "Main FPGA");
  for (const char* name : {"Color Data", "main fpga", "Main FPGA "}) {
    EXPECT_EQ(DeviceIndexFromListName(name), std::nullopt) << name;
  }
  EXPECT_STREQ(DeviceImageFilter(DEVICE_COLOR_DATA),
               "Color Table (*.cdt)|TARVOCOLORDATA_*.cdt|All Files (*.*)|*.*||");
  EXPECT_EQ(DeviceCheckBoxId(DEVICE_COLOR_DATA) + DeviceCameraVersionLabelId(DEVICE_BOOT_UP),
            1108 + 1160);
  // The version text widens a variant of more than three digits.
  EXPECT_EQ(FormatDeviceVersion(1234, 4, 11), "1234 V04.11");
  EXPECT_EQ(FormatDeviceVersion(0, 0, 95), "000 V00.95");
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
  for (const auto& [name, device] : cases)
    EXPECT_EQ(DeviceIndexFromCameraName(name), device) << name;
}

}  // namespace
}  // namespace tarvo
