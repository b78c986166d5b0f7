#include <gtest/gtest.h>

#include <set>
#include <string>

#include "firmware/device_catalogue.h"
#include "firmware/image_version.h"

namespace tarvo {
namespace {

TEST(DeviceCatalogue, ColorDataHasTwoNamesAndOnlyTheListNameMapsBack) {
  EXPECT_STREQ(DeviceDisplayName(DEVICE_COLOR_DATA), "Color Data");
  EXPECT_STREQ(DeviceListName(DEVICE_COLOR_DATA), "Colordata");
  EXPECT_EQ(DeviceIndexFromListName("Colordata"), DEVICE_COLOR_DATA);
  EXPECT_EQ(DeviceIndexFromListName("Color Data"), std::nullopt);
  EXPECT_EQ(DeviceIndexFromListName("main fpga"), std::nullopt);
  EXPECT_EQ(DeviceIndexFromListName("Main FPGA "), std::nullopt);
  for (DeviceIndex index = 0; index < DEVICE_COLOR_DATA; ++index) {
    EXPECT_EQ(DeviceIndexFromListName(DeviceListName(index)), index);
    EXPECT_STREQ(DeviceListName(index), DeviceDisplayName(index));
  }
}

TEST(DeviceCatalogue, SelectCodesAreNotInIndexOrder) {
  const std::uint16_t codes[] = {0x4003, 0x4103, 0x4203, 0x4303, 0x4403,
                                 0x4503, 0x4803, 0x4703, 0x4B03};
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    EXPECT_EQ(DeviceSelectCode(index), codes[index]) << index;
  }
}

TEST(DeviceCatalogue, FiltersOpenOnTheDevicesCodeNamePrefix) {
  EXPECT_STREQ(DeviceImageFilter(DEVICE_MAIN_FPGA),
               "Bit Files (*.bit)|CALDO_*.bit|All Files (*.*)|*.*||");
  EXPECT_STREQ(DeviceImageFilter(DEVICE_COLOR_DATA),
               "Color Table (*.cdt)|TARVOCOLORDATA_*.cdt|All Files (*.*)|*.*||");
  EXPECT_EQ(DeviceImageReader(DEVICE_BOOT_FPGA), ImageReaderKind::kBootBitstream);
  EXPECT_EQ(DeviceImageReader(DEVICE_HDSDI_FPGA), ImageReaderKind::kBitstream);
  EXPECT_EQ(DeviceCheckBoxId(DEVICE_COLOR_DATA), 1108);
  EXPECT_EQ(DeviceCameraVersionLabelId(DEVICE_BOOT_UP), 1160);
}

TEST(CameraDeviceNames, NamesMatchByContainedTextAndTheLastMatchWins) {
  EXPECT_EQ(DeviceIndexFromCameraName("HDSDI FPGA rev B"), DEVICE_HDSDI_FPGA);
  EXPECT_EQ(DeviceIndexFromCameraName("Colordata"), DEVICE_COLOR_DATA);
  EXPECT_EQ(DeviceIndexFromCameraName("S1 FPGA"), DEVICE_MEM_FPGA_1);
  EXPECT_EQ(DeviceIndexFromCameraName("S2 FPGA"), DEVICE_MEM_FPGA_2);
  EXPECT_EQ(DeviceIndexFromCameraName("Color Data"), std::nullopt);
  EXPECT_EQ(DeviceIndexFromCameraName("GigE XML"), std::nullopt);
  EXPECT_EQ(DeviceIndexFromCameraName(""), std::nullopt);
  EXPECT_EQ(DeviceIndexFromCameraName("Boot uP/Main FPGA"), DEVICE_MAIN_FPGA);
  EXPECT_EQ(DeviceIndexFromCameraName("Power uP Boot uP"), DEVICE_POWER_UP);
}

TEST(DeviceVersionText, ThreeDigitVariantWidensWhenNeeded) {
  EXPECT_EQ(FormatDeviceVersion(1, 4, 11), "001 V04.11");
  EXPECT_EQ(FormatDeviceVersion(1234, 4, 11), "1234 V04.11");
  EXPECT_EQ(FormatDeviceVersion(0, 0, 95), "000 V00.95");
}

TEST(ImageVersionRecord, RoundTripsInItsFileLayout) {
  const std::uint8_t bytes[10] = {11, 4, 0x34, 0x12, 23, 59, 31, 12, 0xEA, 0x07};
  const ImageVersion version = ImageVersionFromBytes(bytes);
  EXPECT_EQ(version.minor, 11);
  EXPECT_EQ(version.major, 4);
  EXPECT_EQ(version.variant, 0x1234);
  EXPECT_EQ(version.year, 2026);
  std::uint8_t back[10] = {};
  ImageVersionToBytes(version, back);
  EXPECT_EQ(std::string(back, back + 10), std::string(bytes, bytes + 10));
}

}  // namespace
}  // namespace tarvo
