// The raw image files make-firmware writes are read by the program's own image readers, and are
// realistic in size and layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "firmware/firmware_packet.h"
#include "firmware/image_readers.h"
#include "sim/core/raw_image_files.h"

namespace tarvo::sim {
namespace {

using Reader = std::uint32_t (*)(const ImageFileBytes&, std::uint8_t*, ImageRange*);

RawImageRequest Request() {
  RawImageRequest request;
  request.variant = 3;
  request.hdsdiVariant = 12;
  request.major = 4;
  request.minor = 11;
  return request;
}

// Reads the device's generated file with the given reader into a fresh image buffer.
class RawImageFileTest : public ::testing::Test {
 protected:
  RawImageFileTest() : image_(IMAGE_BUFFER_SIZE, 0xFF) {}

  void ReadAs(DeviceIndex index, Reader reader) {
    file_ = BuildRawImageFile(index, Request());
    ImageFileBytes bytes;
    bytes.data = file_.data();
    bytes.length = file_.size();
    range_ = ImageRange{};
    ASSERT_EQ(reader(bytes, image_.data(), &range_), 0u) << index;
  }
  std::string Text() const { return std::string(file_.begin(), file_.end()); }
  std::uint32_t HeaderLength() const {  // the data length field of the 32-byte image header
    return image_[28] | image_[29] << 8 | image_[30] << 16 |
           static_cast<std::uint32_t>(image_[31]) << 24;
  }

  std::vector<std::uint8_t> image_;
  std::vector<std::uint8_t> file_;
  ImageRange range_;
};

TEST(RawImageFileNames, CarryPrefixVariantAndVersion) {
  const std::array<const char*, 9> expected = {
      "BRENTA_3_V04_11.hex", "TORU_3_V04_11.bit",   "CALDO_3_V04_11.bit",
      "MIRVA1_3_V04_11.bit", "MIRVA2_3_V04_11.bit", "FENRA_3_V04_11.mem",
      "GRISO_3_V04_11.rom",  "PELMA_12_V04_11.bit", "TARVOCOLORDATA_3_V04_11.cdt"};
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    EXPECT_EQ(RawImageFileName(index, Request()), expected[index]);
  }
}

TEST_F(RawImageFileTest, BootUpHexUsesBothBaseRecordsAndCoversTheBootArea) {
  ReadAs(DEVICE_BOOT_UP, &ReadHexImageBytes);
  EXPECT_NE(Text().find(":02000002"), std::string::npos);
  EXPECT_NE(Text().find(":02000004"), std::string::npos);
  EXPECT_TRUE(Text().ends_with("\n:00000001FF\n"));
  EXPECT_EQ(range_.lowest, 0xC0000u);
  EXPECT_GE(range_.highest, 0xD0100u);
  EXPECT_LT(range_.highest, 0xDFFFCu);  // the image checksum word is added when the packet is made
}

TEST_F(RawImageFileTest, FpgaBitstreamsHaveAHeaderBeforeTheSyncPatternAndRealisticSizes) {
  // The readers find the pattern only behind a header of 1 to 999 bytes.
  for (DeviceIndex index :
       {DEVICE_MAIN_FPGA, DEVICE_MEM_FPGA_1, DEVICE_MEM_FPGA_2, DEVICE_HDSDI_FPGA}) {
    ReadAs(index, &ReadBitstreamBytes);
    EXPECT_GE(file_.size(), 200000u) << index;
    EXPECT_LE(file_.size(), 4000000u) << index;
  }
  ReadAs(DEVICE_BOOT_FPGA, &ReadBootBitstreamBytes);
  EXPECT_GE(file_.size(), 200000u);
  EXPECT_LT(HeaderLength(), 131040u);  // compressed, it fits the boot FPGA's flash area
  EXPECT_NE(BuildRawImageFile(DEVICE_MEM_FPGA_1, Request()),
            BuildRawImageFile(DEVICE_MEM_FPGA_2, Request()));
}

TEST_F(RawImageFileTest, PowerUpRomHoldsOneWordPerLineBelowTheInfoBlock) {
  ReadAs(DEVICE_POWER_UP, &ReadRomImageBytes);
  EXPECT_EQ(std::count(file_.begin(), file_.end(), '\n'), 0x35C0 / 2);
  EXPECT_EQ(range_.lowest, 0u);
  EXPECT_EQ(range_.highest, 0x35BFu);
}

TEST_F(RawImageFileTest, MainUpMemHoldsGroupsOfFourBytesWithoutTrailingBlanks) {
  ReadAs(DEVICE_MAIN_UP, &ReadMemImageBytes);
  EXPECT_NE(Text().find("\n@00000000\n"), std::string::npos);
  // A trailing blank would read as another word.
  EXPECT_EQ(Text().find(" \n"), std::string::npos);
  EXPECT_EQ(Text().find(" \r"), std::string::npos);
  EXPECT_EQ(HeaderLength() % 4, 0u);
  EXPECT_GE(HeaderLength(), 100000u);
}

TEST(ColorTableFile, HoldsThreeChannelsOf4096Entries) {
  EXPECT_EQ(BuildRawImageFile(DEVICE_COLOR_DATA, Request()).size(), 3u * 4096u * 2u);
}

}  // namespace
}  // namespace tarvo::sim
