#include "firmware/device_image_loader.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <string>
#include <vector>

#include "firmware/image_readers.h"
#include "firmware/image_version.h"
#include "firmware/image_version_parse.h"
#include "log/result_codes.h"
#include "raw_image_files.h"
#include "recording_report.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::HexRecord;

// 2023-11-14 22:13:20 UTC.
constexpr time_t kFileTime = 1700000000;

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest() : image_(IMAGE_BUFFER_SIZE) {}

  // Writes the file with the write time kFileTime.
  std::string WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = temp_.File(name);
    test::WriteFileBytes(path, bytes);
    utimbuf times{kFileTime, kFileTime};
    EXPECT_EQ(utime(path.c_str(), &times), 0);
    return path;
  }
  std::string WriteText(const std::string& name, const std::string& text) {
    return WriteBytes(name, std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  bool Load(DeviceIndex device, const std::string& path) {
    return LoadDeviceImage(device, path, image_.data(), report_, &loaded_);
  }
  std::uint32_t Le32(std::uint32_t address) const {
    return image_[address] | image_[address + 1] << 8 | image_[address + 2] << 16 |
           static_cast<std::uint32_t>(image_[address + 3]) << 24;
  }
  std::uint16_t Le16(std::uint32_t address) const {
    return static_cast<std::uint16_t>(image_[address] | image_[address + 1] << 8);
  }
  std::string Text(std::uint32_t address, std::size_t length) const {
    return std::string(image_.begin() + address, image_.begin() + address + length);
  }
  std::uint32_t ByteSum(std::uint32_t first, std::uint32_t last) const {
    std::uint32_t sum = 0;
    for (std::uint32_t address = first; address <= last; ++address) sum += image_[address];
    return sum;
  }

  // A Boot uP hex file: 64 bytes from the address (base 0xC0000 and up).
  static std::string BootHex(std::uint32_t address, std::size_t count = 64) {
    std::string hex = HexRecord(
        0x04, 0,
        {static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16)});
    for (std::size_t offset = 0; offset < count; offset += 16) {
      hex += HexRecord(0x00, static_cast<std::uint16_t>((address + offset) & 0xFFFF),
                       test::PatternBytes(16, static_cast<std::uint32_t>(offset)));
    }
    return hex + HexRecord(0x01, 0, {});
  }

  std::vector<std::uint8_t> image_;
  test::RecordingReport report_;
  LoadedImage loaded_;
  test::TempFolder temp_;
};

TEST_F(LoaderTest, VersionComesFromTheFileNameAndItsUtcWriteTime) {
  const std::string path = WriteText("CALDO_1_V04_11.bit", "x");
  ImageVersion version;
  EXPECT_TRUE(ParseImageVersion(path, &version));
  std::uint8_t bytes[10] = {};
  ImageVersionToBytes(version, bytes);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 10),
            (std::vector<std::uint8_t>{11, 4, 1, 0, 22, 13, 14, 11, 0xE7, 0x07}));

  // A name without underscores keeps version 0.0 but has its time.
  EXPECT_FALSE(ParseImageVersion(WriteText("plain.bit", "x"), &version));
  EXPECT_EQ(version.variant, 0);
  EXPECT_EQ(version.major, 0);
  EXPECT_EQ(version.year, 2023);
  // A missing file gives nothing at all.
  EXPECT_FALSE(ParseImageVersion(temp_.File("CALDO_1_V04_11x.bit"), &version));
  EXPECT_EQ(version.variant, 0);
  EXPECT_EQ(version.year, 0);
}

TEST(ImageVersionName, FieldsStopAtTheFirstMissingPart) {
  struct Case {
    const char* path;
    int variant, major, minor;
    bool complete;
  } cases[] = {
      {"CALDO_1_V04_11.bit", 1, 4, 11, true},
      {"C:\\fw\\old_stuff\\PELMA_10_v2_3.bit", 10, 2, 3, true},
      {"D:PELMA_7_V1_2", 7, 1, 2, true},
      {"/home/some_user/fw_2_V9_9/MIRVA1_3_V05_06.bit", 3, 5, 6, true},
      {"NOUNDERSCORE.bit", 0, 0, 0, false},
      {"X_5_W1_2.bit", 5, 0, 0, false},
      {"X_5_V7.bit", 5, 7, 0, false},
      {"X_abc_V1_2.bit", 0, 0, 0, false},
      {"X_70000_V300_2.bit", 70000 & 0xFFFF, 300 & 0xFF, 2, true},
  };
  for (const Case& c : cases) {
    ImageVersion version;
    EXPECT_EQ(ParseImageVersionName(ImageFileName(c.path), &version), c.complete) << c.path;
    EXPECT_EQ(version.variant, c.variant) << c.path;
    EXPECT_EQ(version.major, c.major) << c.path;
    EXPECT_EQ(version.minor, c.minor) << c.path;
  }
}

TEST_F(LoaderTest, FailuresAreLoggedAndShowTheDeviceFailed) {
  const std::string path = WriteBytes("CALDO_1_V04_11.bit", test::Bitstream(0, {1, 2}));
  image_.assign(IMAGE_BUFFER_SIZE, 0x00);
  EXPECT_FALSE(Load(9, path));
  EXPECT_EQ(image_[0], 0xFF);
  EXPECT_EQ(image_[IMAGE_BUFFER_SIZE - 1], 0xFF);
  loaded_.start = 1234;
  EXPECT_FALSE(Load(DEVICE_MAIN_FPGA, path));
  EXPECT_EQ(report_.fileErrors, std::vector<std::uint32_t>{ERR_FILE_STRUCTURE});
  EXPECT_EQ(report_.logLines, (std::vector<std::string>{
                                  "Error loading file: Device 9 not supported.\n",
                                  "File error: Unknown data structure in file '" + path + "'!\n"}));
  EXPECT_EQ(report_.failedDevices, std::vector<DeviceIndex>{DEVICE_MAIN_FPGA});
  EXPECT_EQ(loaded_.start, 1234u);
}

TEST_F(LoaderTest, BootUpFromMajorOneGetsTheApplicationInfoBlockAndChecksum) {
  std::string hex = BootHex(0xC0000);
  // A byte of the file at block offset 17, which the block leaves alone.
  hex.insert(hex.size() - 12, HexRecord(0x04, 0, {0x00, 0x0D}) + HexRecord(0x00, 0x0011, {0x5A}));
  ASSERT_TRUE(Load(DEVICE_BOOT_UP, WriteText("BRENTA_2_V01_09.hex", hex)));
  EXPECT_EQ(loaded_.start, 0xC0000u);
  EXPECT_EQ(loaded_.end, 0xDFFFFu);
  EXPECT_EQ(loaded_.size, 0x20000u);
  const std::uint32_t block = 0xD0000;
  EXPECT_EQ(Le16(block), 56);
  EXPECT_EQ(Le16(block + 2), 2);
  EXPECT_EQ(Le32(block + 4), 0x01200340u);
  EXPECT_EQ(Text(block + 8, 8), "APP_INFO");
  EXPECT_EQ(image_[block + 16], 0);
  EXPECT_EQ(image_[block + 17], 0x5A);
  EXPECT_EQ(Le32(block + 18), 0x00020109u);  // minor 9, major 1, variant 2
  EXPECT_EQ(Le32(block + 22), 0x0B0E0D16u);  // 22:13, 14.11.
  EXPECT_EQ(Le16(block + 26), 2023);
  EXPECT_EQ(Text(block + 28, 14), std::string("Tarvo Boot uP", 14));
  EXPECT_EQ(Le16(block + 42), 0xFFFF);
  EXPECT_EQ(Le32(block + 44), 0xFFFCu);
  EXPECT_EQ(Le32(block + 48), 0xD0100u);
  EXPECT_EQ(Le32(block + 52), 0xDFFFCu);
  EXPECT_EQ(Le32(0xDFFFC), ByteSum(0xD0000, 0xDFFFB));
  EXPECT_EQ(loaded_.version.minor, 9);
  EXPECT_EQ(loaded_.version.year, 2023);
}

TEST_F(LoaderTest, BootUpMajorZeroKeepsVersionAndSumInTheOlderLayout) {
  ASSERT_TRUE(Load(DEVICE_BOOT_UP, WriteText("BRENTA_3_V00_05.hex", BootHex(0xC0000))));
  EXPECT_EQ(loaded_.start, 0xC0000u);
  EXPECT_EQ(loaded_.end, 0xF7FF7u);  // raised
  EXPECT_EQ(Le32(0xF7FE0), 0x00030005u);
  EXPECT_EQ(Le16(0xF7FE8), 2023);
  EXPECT_EQ(Le32(0xF7FF4), ByteSum(0xC0000, 0xF7FEF));
  EXPECT_EQ(image_[0xD0000], 0xFF);  // no application info block

  const std::string low = BootHex(0xC0000);
  const std::string withoutEnd = low.substr(0, low.size() - 12);
  ASSERT_TRUE(
      Load(DEVICE_BOOT_UP, WriteText("BRENTA_3_V00_07.hex", withoutEnd + BootHex(0xF8000))));
  EXPECT_EQ(loaded_.start, 0xC0000u);
  EXPECT_EQ(loaded_.end, 0xF7FFFu);  // lowered
}

TEST_F(LoaderTest, BootUpWithNothingBeforeItsFixedEndIsRefused) {
  EXPECT_FALSE(Load(DEVICE_BOOT_UP, WriteText("BRENTA_1_V01_00.hex", BootHex(0xE0000))));
  EXPECT_FALSE(Load(DEVICE_BOOT_UP, WriteText("BRENTA_1_V02_00.hex", HexRecord(0x01, 0, {}))));
  EXPECT_EQ(report_.fileErrors,
            (std::vector<std::uint32_t>{ERR_FILE_STRUCTURE, ERR_FILE_STRUCTURE}));
  EXPECT_EQ(report_.failedDevices.size(), 2u);
}

TEST_F(LoaderTest, BootFpgaOf128KilobytesOrMoreWarnsButLoads) {
  const std::vector<std::uint8_t> small = test::PatternBytes(120000, 3);
  ASSERT_TRUE(Load(DEVICE_BOOT_FPGA, WriteBytes("TORU_1_V01_00.bit", test::Bitstream(16, small))));
  EXPECT_LT(loaded_.size, 131040u);
  EXPECT_TRUE(report_.results.empty());

  const std::vector<std::uint8_t> large = test::PatternBytes(131040, 3);
  ASSERT_TRUE(Load(DEVICE_BOOT_FPGA, WriteBytes("TORU_1_V01_01.bit", test::Bitstream(16, large))));
  EXPECT_GE(loaded_.size, 131040u);
  EXPECT_EQ(report_.results,
            std::vector<std::string>{"ERROR: !!!!!! Warning: Data longer than 128 kB !!!!!!\n"});
}

TEST_F(LoaderTest, PowerUpGetsItsInfoBlockAndEndsAt35FFWhateverTheFileHeld) {
  std::string rom;
  for (int word = 0; word < 0x2000; ++word) {  // bytes up to 0x3FFF
    char line[32];
    std::snprintf(line, sizeof line, "%X: %X\n", word, (word * 13 + 5) & 0xFFFF);
    rom += line;
  }
  ASSERT_TRUE(Load(DEVICE_POWER_UP, WriteText("GRISO_4_V02_01.rom", rom)));
  EXPECT_EQ(loaded_.start, 0u);
  EXPECT_EQ(loaded_.end, 0x35FFu);
  EXPECT_EQ(loaded_.size, 0x3600u);
  std::uint32_t sum = 0;
  for (int word = 0; word < 0x35C0 / 2; ++word) sum += (word * 13 + 5) & 0xFFFF;
  EXPECT_EQ(Le16(0x35C0), 0xB00B);
  EXPECT_EQ(Le16(0x35C2), sum & 0xFFFF);
  EXPECT_EQ(Text(0x35C4, 15), std::string("Tarvo Power uP", 15));
  const int word35D2 = 0x35D2 / 2;
  EXPECT_EQ(image_[0x35D3], ((word35D2 * 13 + 5) & 0xFFFF) >> 8);  // the 16th byte keeps the file's
  EXPECT_EQ(Le32(0x35D4), 0x00040201u);
  EXPECT_EQ(Le16(0x35D8), (0x35D8 / 2 * 13 + 5) & 0xFFFF);

  // A file starting above the block's end has nothing to program.
  EXPECT_FALSE(Load(DEVICE_POWER_UP, WriteText("GRISO_4_V02_02.rom", "1B00: 1234\n")));
  EXPECT_EQ(report_.fileErrors, std::vector<std::uint32_t>{ERR_FILE_STRUCTURE});
}

TEST_F(LoaderTest, HdsdiIsPaddedTo512BytesAndWordSwappedExceptItsLast32Bytes) {
  // Data length 11 + 8 from the pattern: the image ends at 50 and is padded to 0x1FF.
  const std::vector<std::uint8_t> data = {0x80, 0x40, 0xC0, 0x20, 0xA0, 0x60,
                                          0xE0, 0x10, 0x90, 0x50, 0xD0};
  ASSERT_TRUE(Load(DEVICE_HDSDI_FPGA, WriteBytes("PELMA_10_V02_00.bit", test::Bitstream(4, data))));
  EXPECT_EQ(loaded_.end, 0x1FFu);
  EXPECT_EQ(loaded_.size, 0x200u);
  // The header is swapped too: the variant reads big-endian at bytes 2 and 3.
  EXPECT_EQ(image_[0], 2);  // major
  EXPECT_EQ(image_[1], 0);  // minor
  EXPECT_EQ(image_[2], 0);
  EXPECT_EQ(image_[3], 10);
  EXPECT_EQ(image_[20], 0x47);  // "AGPF" swapped
  EXPECT_EQ(image_[21], 0x41);
  // Data from offset 32, bit-reversed, then swapped: 0xFF 0xFF 0xFF 0xFF 0x55 0x99 ...
  EXPECT_EQ(image_[36], 0x99);
  EXPECT_EQ(image_[37], 0x55);
  EXPECT_EQ(image_[40], 0x02);  // 0x40 reversed
  EXPECT_EQ(image_[41], 0x01);  // 0x80 reversed
  // The erased byte behind the odd data, swapped with the last data byte, then the padding.
  EXPECT_EQ(image_[50], 0xFF);
  EXPECT_EQ(image_[51], 0x0B);  // 0xD0 reversed
  for (std::uint32_t address = 52; address <= 0x1FF; ++address) ASSERT_EQ(image_[address], 0xFF);
}

TEST_F(LoaderTest, HdsdiEndingOnA512ByteBoundaryKeepsItsLast32DataBytesUnswapped) {
  // 480 bytes from the pattern on: the image is exactly 512 bytes.
  std::vector<std::uint8_t> data(480 - 8);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(Load(DEVICE_HDSDI_FPGA, WriteBytes("PELMA_9_V01_00.bit", test::Bitstream(4, data))));
  EXPECT_EQ(loaded_.end, 0x1FFu);
  // Last 32 bytes: data bytes 440..471 bit-reversed, in their own order.
  static const auto reverse = [](std::uint8_t value) {
    std::uint8_t result = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (value & (1 << bit)) result = static_cast<std::uint8_t>(result | (0x80 >> bit));
    }
    return result;
  };
  for (std::uint32_t address = 480; address < 512; ++address) {
    ASSERT_EQ(image_[address], reverse(static_cast<std::uint8_t>(address - 40))) << address;
  }
  EXPECT_EQ(image_[478], reverse(439 & 0xFF));
  EXPECT_EQ(image_[479], reverse(438 & 0xFF));
}

}  // namespace
}  // namespace tarvo
