// The raw image files make-firmware writes are named for their device, variant and version,
// are read by the program's own image readers, and are realistic in size and layout.
#include "sim/core/raw_image_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "firmware/device_image_loader.h"
#include "firmware/firmware_packet.h"
#include "support/temp_folder.h"

namespace tarvo::sim {
namespace {

TEST(RawImageFiles, AreNamedForTheirDeviceAndReadAsItsImage) {
  test::TempFolder folder;
  std::vector<std::string> paths;
  std::string error;
  ASSERT_TRUE(WriteRawImageFiles(folder.Path(), {3, 12, 4, 11}, &paths, &error)) << error;
  const char* names[] = {
      "BRENTA_3_V04_11.hex", "TORU_3_V04_11.bit",   "CALDO_3_V04_11.bit",
      "MIRVA1_3_V04_11.bit", "MIRVA2_3_V04_11.bit", "FENRA_3_V04_11.mem",
      "GRISO_3_V04_11.rom",  "PELMA_12_V04_11.bit", "TARVOCOLORDATA_3_V04_11.cdt"};
  std::vector<std::uint8_t> image(IMAGE_BUFFER_SIZE);
  std::vector<std::string> files;
  std::uint32_t low[kDeviceCount], high[kDeviceCount], length[kDeviceCount];  // of each image
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    EXPECT_EQ(paths.at(index), folder.File(names[index]));
    ASSERT_EQ(ReadDeviceImageFile(index, paths[index], image.data(), &low[index], &high[index]),
              0u);
    files.push_back(test::ReadFileText(paths[index]));
    length[index] = image[28] | image[29] << 8 | image[30] << 16 | image[31] << 24;
  }
  // Boot uP above the boot area and below its image checksum word, Power uP below its info
  // block, the Boot FPGA compressed to fit its flash, Main uP in whole words.
  EXPECT_EQ(low[0], 0xC0000u);
  EXPECT_TRUE(high[0] >= 0xD0100u && high[0] < 0xDFFFCu) << high[0];
  EXPECT_EQ(high[6], 0x35BFu);
  EXPECT_LT(length[1], 131040u);
  EXPECT_TRUE(length[5] % 4 == 0 && length[5] >= 100000) << length[5];
  // Both base records in the hex file; realistic bitstreams with a header of their own; one
  // word per line for Power uP; Main uP groups without trailing blanks (which would read as
  // further words); three channels of 4096 colours.
  EXPECT_NE(files[0].find(":02000002"), std::string::npos);
  EXPECT_NE(files[0].find(":02000004"), std::string::npos);
  for (DeviceIndex index : {1, 2, 3, 4, 7}) {
    EXPECT_TRUE(files[index].size() >= 200000 && files[index].size() <= 4000000) << index;
  }
  EXPECT_NE(files[3], files[4]);
  EXPECT_EQ(std::count(files[6].begin(), files[6].end(), '\n'), 0x35C0 / 2);
  EXPECT_EQ(files[5].find(" \n"), std::string::npos);
  EXPECT_EQ(files[8].size(), 3u * 4096u * 2u);
}

}  // namespace
}  // namespace tarvo::sim
