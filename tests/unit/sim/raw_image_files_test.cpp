// The raw image files make-firmware writes are well-formed in their formats and realistic in
// size and layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>

#include "sim/core/raw_image_files.h"

namespace tarvo::sim {
namespace {

RawImageRequest Request() {
  RawImageRequest request;
  request.variant = 3;
  request.hdsdiVariant = 12;
  request.major = 4;
  request.minor = 11;
  return request;
}

std::vector<std::string> Lines(const std::vector<std::uint8_t>& bytes) {
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

unsigned HexByte(const std::string& text, std::size_t at) {
  return static_cast<unsigned>(std::stoul(text.substr(at, 2), nullptr, 16));
}

TEST(RawImageFileNames, CarryPrefixVariantAndVersion) {
  const std::array<const char*, 9> expected = {
      "BRENTA_3_V04_11.hex", "TORU_3_V04_11.bit",   "CALDO_3_V04_11.bit",
      "MIRVA1_3_V04_11.bit", "MIRVA2_3_V04_11.bit", "FENRA_3_V04_11.mem",
      "GRISO_3_V04_11.rom",  "PELMA_12_V04_11.bit", "TARVOCOLORDATA_3_V04_11.cdt"};
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    EXPECT_EQ(RawImageFileName(index, Request()), expected[index]);
  }
}

TEST(BootUpHexFile, IsValidIntelHexCoveringTheBootArea) {
  std::vector<std::string> lines = Lines(BuildRawImageFile(DEVICE_BOOT_UP, Request()));
  ASSERT_FALSE(lines.empty());
  std::uint32_t base = 0, lowest = 0xFFFFFFFF, highest = 0;
  bool sawSegment = false, sawLinear = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    ASSERT_EQ(line[0], ':') << i;
    unsigned count = HexByte(line, 1);
    ASSERT_EQ(line.size(), 11 + 2 * count) << i;
    unsigned sum = 0;
    for (std::size_t at = 1; at < line.size(); at += 2) sum += HexByte(line, at);
    ASSERT_EQ(sum & 0xFF, 0u) << "checksum of line " << i;
    unsigned address = HexByte(line, 3) * 256 + HexByte(line, 5);
    unsigned type = HexByte(line, 7);
    if (type == 0x01) {
      EXPECT_EQ(i, lines.size() - 1);
      EXPECT_EQ(line, ":00000001FF");
    } else if (type == 0x02) {
      base = (HexByte(line, 9) * 256 + HexByte(line, 11)) * 16;
      sawSegment = true;
    } else if (type == 0x04) {
      base = (HexByte(line, 9) * 256 + HexByte(line, 11)) * 65536;
      sawLinear = true;
    } else {
      ASSERT_EQ(type, 0x00u) << i;
      lowest = std::min(lowest, base + address);
      highest = std::max(highest, base + address + count - 1);
    }
  }
  EXPECT_TRUE(sawSegment);
  EXPECT_TRUE(sawLinear);
  EXPECT_EQ(lowest, 0xC0000u);
  EXPECT_GE(highest, 0xD0100u);
  EXPECT_LT(highest, 0xDFFFCu);  // the image checksum word is added when the packet is made
}

// Length of the boot FPGA's run-length compressed image: literals count one byte, runs of more
// than three (or of the marker value) three bytes, plus marker and end mark.
std::size_t CompressedLength(const std::vector<std::uint8_t>& data) {
  std::array<std::size_t, 256> counts{};
  for (std::uint8_t b : data) ++counts[b];
  std::uint8_t marker =
      static_cast<std::uint8_t>(std::min_element(counts.begin(), counts.end()) - counts.begin());
  std::size_t length = 3;
  for (std::size_t i = 0; i < data.size();) {
    std::size_t run = 1;
    while (run < 255 && i + run < data.size() - 1 && data[i + run] == data[i]) ++run;
    length += (run > 3 || data[i] == marker) ? 3 : run;
    i += run;
  }
  return length;
}

TEST(FpgaBitstreams, HaveAHeaderBeforeTheSyncPatternAndRealisticSizes) {
  for (DeviceIndex index : {DEVICE_BOOT_FPGA, DEVICE_MAIN_FPGA, DEVICE_MEM_FPGA_1,
                            DEVICE_MEM_FPGA_2, DEVICE_HDSDI_FPGA}) {
    std::vector<std::uint8_t> file = BuildRawImageFile(index, Request());
    auto sync = std::search(file.begin(), file.begin() + 1007, std::begin(kSyncPattern),
                            std::end(kSyncPattern));
    std::size_t position = static_cast<std::size_t>(sync - file.begin());
    EXPECT_GE(position, 1u) << index;
    EXPECT_LE(position, 999u) << index;
    EXPECT_GE(file.size(), 200000u) << index;
    EXPECT_LE(file.size(), 4000000u) << index;
    if (index == DEVICE_BOOT_FPGA) {
      std::vector<std::uint8_t> data(sync, file.end());
      EXPECT_LT(CompressedLength(data), 131040u);  // fits the boot FPGA's flash area
    }
  }
  EXPECT_NE(BuildRawImageFile(DEVICE_MEM_FPGA_1, Request()),
            BuildRawImageFile(DEVICE_MEM_FPGA_2, Request()));
}

TEST(PowerUpRomFile, HoldsOneWordPerLineBelowTheInfoBlock) {
  std::vector<std::string> lines = Lines(BuildRawImageFile(DEVICE_POWER_UP, Request()));
  ASSERT_EQ(lines.size(), 0x35C0u / 2);
  unsigned expected = 0;
  for (const std::string& line : lines) {
    unsigned address = 0, value = 0;
    char colon = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), " %x %c %x", &address, &colon, &value), 3) << line;
    EXPECT_EQ(colon, ':');
    EXPECT_EQ(address, expected++);
    EXPECT_LE(value, 0xFFFFu);
  }
}

TEST(MainUpMemFile, HoldsGroupsOfFourBytesWithoutTrailingBlanks) {
  std::vector<std::string> lines = Lines(BuildRawImageFile(DEVICE_MAIN_UP, Request()));
  std::size_t bytes = 0;
  bool sawAddress = false;
  for (const std::string& line : lines) {
    ASSERT_FALSE(line.empty());
    if (line[0] == '/') continue;
    if (line[0] == '@') {
      EXPECT_EQ(line, "@00000000");
      sawAddress = true;
      continue;
    }
    EXPECT_NE(line.back(), ' ') << line;  // a trailing blank would read as another word
    std::istringstream in(line);
    for (std::string number; in >> number; ++bytes) {
      ASSERT_EQ(number.size(), 2u) << line;
    }
  }
  EXPECT_TRUE(sawAddress);
  EXPECT_EQ(bytes % 4, 0u);
  EXPECT_GE(bytes, 100000u);
}

TEST(ColorTableFile, HoldsThreeChannelsOf4096Entries) {
  EXPECT_EQ(BuildRawImageFile(DEVICE_COLOR_DATA, Request()).size(), 3u * 4096u * 2u);
}

}  // namespace
}  // namespace tarvo::sim
