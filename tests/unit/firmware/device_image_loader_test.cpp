#include "firmware/device_image_loader.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <string>
#include <vector>

#include "firmware/image_readers.h"
#include "firmware/image_version_parse.h"
#include "log/format_text.h"
#include "log/result_codes.h"
#include "raw_image_files.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::HexRecord;
using Bytes = std::vector<std::uint8_t>;

// Records what loading shows: log lines, file errors by code, results, failed devices.
struct Report final : ImageLoadReport {
  void WriteLog(const std::string& text) override { log.push_back(text); }
  void ShowResult(bool, const std::string& text) override { results.push_back(text); }
  void LogFileError(const std::string&, std::uint32_t code) override { errors.push_back(code); }
  void ShowDeviceFailed(DeviceIndex device) override { failed.push_back(device); }
  std::vector<std::string> log, results;
  std::vector<std::uint32_t> errors;
  std::vector<DeviceIndex> failed;
};

Bytes Le32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest() : image_(IMAGE_BUFFER_SIZE) {}

  // Writes the file with the write time 2023-11-14 22:13:20 UTC and loads it for the device.
  bool Load(DeviceIndex device, const std::string& name, const Bytes& bytes) {
    const std::string path = temp_.File(name);
    test::WriteFileBytes(path, bytes);
    utimbuf times{1700000000, 1700000000};
    EXPECT_EQ(utime(path.c_str(), &times), 0);
    return LoadDeviceImage(device, path, image_.data(), report_, &loaded_);
  }
  bool Load(DeviceIndex device, const std::string& name, const std::string& text) {
    return Load(device, name, Bytes(text.begin(), text.end()));
  }
  Bytes At(std::uint32_t address, std::size_t count) const {
    return Bytes(image_.begin() + address, image_.begin() + address + count);
  }
  std::uint32_t ByteSum(std::uint32_t first, std::uint32_t last) const {
    std::uint32_t sum = 0;
    for (std::uint32_t address = first; address <= last; ++address) sum += image_[address];
    return sum;
  }
  std::vector<std::uint32_t> Range() const { return {loaded_.start, loaded_.end, loaded_.size}; }
  // A Boot uP hex file: 64 bytes from the address, without or with its end record.
  static std::string BootHex(std::uint32_t address, bool end = true) {
    std::string hex = HexRecord(0x04, 0, {0, static_cast<std::uint8_t>(address >> 16)});
    for (std::uint32_t offset = 0; offset < 64; offset += 16) {
      hex += HexRecord(0x00, static_cast<std::uint16_t>(address + offset),
                       test::PatternBytes(16, offset));
    }
    return end ? hex + HexRecord(0x01, 0, {}) : hex;
  }

  Bytes image_;
  Report report_;
  LoadedImage loaded_;
  test::TempFolder temp_;
};

TEST(ImageVersionName, FieldsStopAtTheFirstMissingPart) {
  const struct {
    const char* path;
    int variant, major, minor;
    bool complete;
  } cases[] = {
      {"C:\\fw\\old_stuff\\PELMA_10_v2_3.bit", 10, 2, 3, true},
      {"/home/some_user/fw_2_V9_9/MIRVA1_3_V05_06.bit", 3, 5, 6, true},
      {"X_5_V7.bit", 5, 7, 0, false},
      {"X_70000_V300_2.bit", 70000 & 0xFFFF, 300 & 0xFF, 2, true},
  };
  for (const auto& c : cases) {
    ImageVersion version;
    EXPECT_EQ(ParseImageVersionName(ImageFileName(c.path), &version), c.complete) << c.path;
    EXPECT_EQ(std::vector<int>({version.variant, version.major, version.minor}),
              std::vector<int>({c.variant, c.major, c.minor}))
        << c.path;
  }
}

// A failed load leaves the image as it was and shows the device failed; an image with nothing
// before its device's fixed end cannot be finished.
TEST_F(LoaderTest, FailuresAreLoggedAndShowTheDeviceFailed) {
  loaded_.start = 1234;
  image_.assign(IMAGE_BUFFER_SIZE, 0x00);
  EXPECT_FALSE(Load(DEVICE_MAIN_FPGA, "CALDO_1_V04_11.bit", test::Bitstream(0, {1, 2})));
  EXPECT_EQ(image_[IMAGE_BUFFER_SIZE - 1], 0xFF);  // the buffer is erased first
  EXPECT_FALSE(Load(DEVICE_BOOT_UP, "BRENTA_1_V01_00.hex", BootHex(0xE0000)));
  EXPECT_FALSE(Load(DEVICE_POWER_UP, "GRISO_4_V02_02.rom", "1B00: 1234\n"));
  EXPECT_EQ(loaded_.start, 1234u);
  EXPECT_EQ(report_.errors, std::vector<std::uint32_t>(3, ERR_FILE_STRUCTURE));
  EXPECT_EQ(report_.failed,
            std::vector<DeviceIndex>({DEVICE_MAIN_FPGA, DEVICE_BOOT_UP, DEVICE_POWER_UP}));
}

TEST_F(LoaderTest, BootUpGetsTheInfoBlockFromMajorOneAndTheOlderLayoutBefore) {
  // A byte of the file at block offset 17, which the block leaves alone.
  ASSERT_TRUE(Load(DEVICE_BOOT_UP, "BRENTA_2_V01_09.hex",
                   BootHex(0xC0000, false) + HexRecord(0x04, 0, {0x00, 0x0D}) +
                       HexRecord(0x00, 0x0011, {0x5A}) + HexRecord(0x01, 0, {})));
  EXPECT_EQ(Range(), std::vector<std::uint32_t>({0xC0000, 0xDFFFF, 0x20000}));
  // Size 56, 2, 0x01200340, the tag, 0, the file's byte, the version record (minor 9, major 1,
  // variant 2, 22:13 on 14.11.2023 from the file's time in UTC), the title, 0xFFFF and the
  // words 0xFFFC, 0xD0100, 0xDFFFC, where the byte sum of the block and application follows.
  const Bytes block = {56,  0,   2,    0,   0x40, 0x03, 0x20, 0x01, 'A',  'P',  'P', '_',
                       'I', 'N', 'F',  'O', 0,    0x5A, 9,    1,    2,    0,    22,  13,
                       14,  11,  0xE7, 7,   'T',  'a',  'r',  'v',  'o',  ' ',  'B', 'o',
                       'o', 't', ' ',  'u', 'P',  0,    0xFF, 0xFF, 0xFC, 0xFF, 0,   0,
                       0,   1,   0x0D, 0,   0xFC, 0xFF, 0x0D, 0};
  EXPECT_EQ(At(0xD0000, 56), block);
  EXPECT_EQ(At(0xDFFFC, 4), Le32(ByteSum(0xD0000, 0xDFFFB)));

  // Major 0: version and sum at the older places, the end raised or lowered to them.
  ASSERT_TRUE(Load(DEVICE_BOOT_UP, "BRENTA_3_V00_05.hex", BootHex(0xC0000)));
  EXPECT_EQ(loaded_.end, 0xF7FF7u);
  EXPECT_EQ(At(0xF7FE0, 10), Bytes({5, 0, 3, 0, 22, 13, 14, 11, 0xE7, 0x07}));
  EXPECT_EQ(At(0xF7FF4, 4), Le32(ByteSum(0xC0000, 0xF7FEF)));
  EXPECT_EQ(image_[0xD0000], 0xFF);  // no application info block
  ASSERT_TRUE(
      Load(DEVICE_BOOT_UP, "BRENTA_3_V00_07.hex", BootHex(0xC0000, false) + BootHex(0xF8000)));
  EXPECT_EQ(loaded_.end, 0xF7FFFu);
}

TEST_F(LoaderTest, BootFpgaOf128KilobytesOrMoreWarnsButLoads) {
  const Bytes large = test::Bitstream(16, test::PatternBytes(131040, 3));
  ASSERT_TRUE(Load(DEVICE_BOOT_FPGA, "TORU_1_V01_01.bit", large));
  EXPECT_EQ(report_.results,
            std::vector<std::string>{"!!!!!! Warning: Data longer than 128 kB !!!!!!\n"});
}

TEST_F(LoaderTest, PowerUpGetsItsInfoBlockAndEndsAt35FFWhateverTheFileHeld) {
  std::string rom;
  std::uint32_t sum = 0;
  auto word = [](int address) { return (address / 2 * 13 + 5) & 0xFFFF; };
  for (int address = 0; address < 0x4000; address += 2) {
    rom += FormatText("%X: %X\n", address / 2, word(address));
    if (address < 0x35C0) sum += word(address);
  }
  ASSERT_TRUE(Load(DEVICE_POWER_UP, "GRISO_4_V02_01.rom", rom));
  EXPECT_EQ(Range(), std::vector<std::uint32_t>({0, 0x35FF, 0x3600}));
  // Magic, word sum, title, the version word; the other bytes keep the file's.
  const std::string title("Tarvo Power uP", 15);
  EXPECT_EQ(At(0x35C0, 4), Le32(0xB00B | (sum & 0xFFFF) << 16));
  EXPECT_EQ(At(0x35C4, 15), Bytes(title.begin(), title.end()));
  EXPECT_EQ(At(0x35D3, 7), Bytes({static_cast<std::uint8_t>(word(0x35D2) >> 8), 1, 2, 4, 0,
                                  static_cast<std::uint8_t>(word(0x35D8)),
                                  static_cast<std::uint8_t>(word(0x35D8) >> 8)}));
}

TEST_F(LoaderTest, HdsdiIsPaddedTo512BytesAndWordSwappedExceptItsLast32Bytes) {
  // 11 data bytes and the pattern behind the header end at 50. From offset 32 bit-reversed,
  // then swapped: FF FF FF FF 99 55 66 AA, 0x40 and 0x80 reversed, ...; the erased byte behind
  // the odd data is swapped with the last data byte, then the padding up to 0x1FF.
  const Bytes data = {0x80, 0x40, 0xC0, 0x20, 0xA0, 0x60, 0xE0, 0x10, 0x90, 0x50, 0xD0};
  ASSERT_TRUE(Load(DEVICE_HDSDI_FPGA, "PELMA_10_V02_00.bit", test::Bitstream(4, data)));
  EXPECT_EQ(Range(), std::vector<std::uint32_t>({0, 0x1FF, 0x200}));
  EXPECT_EQ(At(36, 6), Bytes({0x99, 0x55, 0x66, 0xAA, 0x02, 0x01}));
  Bytes tail(0x200 - 50, 0xFF);
  tail[1] = 0x0B;
  EXPECT_EQ(At(50, tail.size()), tail);

  // Exactly 512 bytes: data bytes 438 and 439 (0xB6, 0xB7) bit-reversed and swapped before the
  // last 32 bytes, which keep their order (440.., 471: 0xB8, 0xB9, .., 0xD7).
  Bytes counting(480 - 8);
  for (std::size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(Load(DEVICE_HDSDI_FPGA, "PELMA_9_V01_00.bit", test::Bitstream(4, counting)));
  EXPECT_EQ(loaded_.end, 0x1FFu);
  EXPECT_EQ(At(478, 4), Bytes({0xED, 0x6D, 0x1D, 0x9D}));
  EXPECT_EQ(image_[511], 0xEB);
}

}  // namespace
}  // namespace tarvo
