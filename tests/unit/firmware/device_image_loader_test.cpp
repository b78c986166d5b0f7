// Loading a device's raw image file: the catalogue's reader for the device, the version from the
// file's name and time, and the finishing the device needs.
#include "firmware/device_image_loader.h"

#include <gtest/gtest.h>
#include <utime.h>

#include <string>
#include <vector>

#include "firmware/image_readers.h"
#include "firmware/image_version_parse.h"
#include "log/result_codes.h"
#include "raw_image_files.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::Bitstream, test::HexRecord;
using Bytes = std::vector<std::uint8_t>;
using BytesReader = std::uint32_t (*)(const ImageFileBytes&, std::uint8_t*, ImageRange*);

Bytes Le32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// Records what loading shows: file errors by code, results, failed devices.
struct Report final : ImageLoadReport {
  void WriteLog(const std::string&) override {}
  void ShowResult(bool, const std::string& text) override { results.push_back(text); }
  void LogFileError(const std::string&, std::uint32_t code) override { errors.push_back(code); }
  void ShowDeviceFailed(DeviceIndex device) override { failed.push_back(device); }
  std::vector<std::string> results;
  std::vector<std::uint32_t> errors;
  std::vector<DeviceIndex> failed;
};

class ImageTest : public ::testing::Test {
 protected:
  ImageTest() : image_(IMAGE_BUFFER_SIZE, 0xFF) {}

  // A reader on the file's bytes, of version 3.4 variant 0x0102.
  std::uint32_t Read(BytesReader reader, const std::string& text) {
    const Bytes bytes(text.begin(), text.end());
    range_ = ImageRange{};
    return reader({bytes.data(), bytes.size(), {4, 3, 0x0102}}, image_.data(), &range_);
  }
  std::uint32_t Read(BytesReader reader, const Bytes& bytes) {
    return Read(reader, std::string(bytes.begin(), bytes.end()));
  }
  // The loader on a file, its write time set to 2023-11-14 22:13:20 UTC.
  bool Load(DeviceIndex device, const std::string& path) {
    utimbuf times{1700000000, 1700000000};
    EXPECT_EQ(utime(path.c_str(), &times), 0);
    return LoadDeviceImage(device, path, image_.data(), report_, &loaded_);
  }
  bool Load(DeviceIndex device, const std::string& name, const Bytes& bytes) {
    test::WriteFileBytes(temp_.File(name), bytes);
    return Load(device, temp_.File(name));
  }
  bool Load(DeviceIndex device, const std::string& name, const std::string& text) {
    return Load(device, name, Bytes(text.begin(), text.end()));
  }
  Bytes At(std::size_t offset, std::size_t count) const {
    return Bytes(image_.begin() + offset, image_.begin() + offset + count);
  }
  std::uint32_t ByteSum(std::uint32_t first, std::uint32_t last) const {
    std::uint32_t sum = 0;
    for (std::uint32_t address = first; address <= last; ++address) sum += image_[address];
    return sum;
  }
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
  ImageRange range_;
  Report report_;
  LoadedImage loaded_;
  test::TempFolder temp_;
};

// The select codes go to the camera as they are (not in index order); the camera's own device
// names match by contained text, the last match winning; an image's version comes from its
// file name, wherever the file lies.
TEST(DeviceCatalogue, SelectCodesDeviceNamesAndVersionsFromFileNames) {
  const std::uint16_t codes[] = {0x4003, 0x4103, 0x4203, 0x4303, 0x4403,
                                 0x4503, 0x4803, 0x4703, 0x4B03};
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    EXPECT_EQ(DeviceSelectCode(index), codes[index]) << index;
  }
  const std::pair<const char*, std::optional<DeviceIndex>> names[] = {
      {"HDSDI FPGA rev B", DEVICE_HDSDI_FPGA},
      {"Boot uP/Main FPGA", DEVICE_MAIN_FPGA},
      {"Power uP Boot uP", DEVICE_POWER_UP},
      {"Color Data", std::nullopt},
  };
  for (const auto& [name, device] : names) {
    EXPECT_EQ(DeviceIndexFromCameraName(name), device) << name;
  }
  ImageVersion version, partial;
  EXPECT_TRUE(ParseImageVersionName(ImageFileName("C:\\fw\\a_b\\PELMA_10_v2_3.bit"), &version));
  EXPECT_FALSE(ParseImageVersionName(ImageFileName("/fw_2_V9_9/X_5_V7.bit"), &partial));
  EXPECT_EQ(std::vector<int>({version.variant, version.major, version.minor, partial.variant,
                              partial.major, partial.minor}),
            std::vector<int>({10, 2, 3, 5, 7, 0}));
}

// Every reader refuses what is no file of its kind, and never writes beyond the image buffer;
// what lies within it is taken.
TEST_F(ImageTest, ReadersRefuseFilesWithTheirCodesAndTakeWhatFits) {
  const std::string end = HexRecord(0x01, 0, {});
  const std::string data = HexRecord(0x00, 0, {1, 2, 3});
  std::string badSum = data;
  badSum[badSum.size() - 2] = badSum[badSum.size() - 2] == '0' ? '1' : '0';
  const std::string lastBase = HexRecord(0x04, 0, {0x00, 0x98});  // 0x980000 + 0x967F: last byte
  auto text = [](const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); };
  const struct {
    BytesReader reader;
    std::uint32_t code;
    std::vector<std::string> files;
  } cases[] = {
      {&ReadHexImageBytes, ERR_FILE_CHECKSUM, {badSum + end}},
      {&ReadHexImageBytes, ERR_FILE_READ, {data, ""}},  // no end-of-file record
      {&ReadHexImageBytes,
       ERR_FILE_STRUCTURE,
       {data + HexRecord(0x05, 0, {0, 0, 0, 0}) + end, data + HexRecord(0x01, 0, {0}) + end,
        data + HexRecord(0x04, 0, {1}) + end, data + "not a record\n" + end,
        data.substr(0, 12) + "\n" + end, ":0100000G01FF\n" + end}},
      {&ReadHexImageBytes,
       ERR_FILE_TOO_MUCH_DATA,
       {lastBase + HexRecord(0x00, 0x967F, {1, 2}) + end,
        HexRecord(0x04, 0, {0xFF, 0xFF}) + HexRecord(0x00, 0xFFFF, {1}) + end}},
      {&ReadRomImageBytes,
       ERR_FILE_STRUCTURE,
       {"10: 1\n\n11: 0\n", "10 1\n", "10:\n", ": 1\n", ""}},
      {&ReadRomImageBytes, ERR_FILE_TOO_MUCH_DATA, {"4C4B40: 1234\n", "FFFFFFFFFFFF: 1\n"}},
      // The synchronisation pattern must follow a file header of 1 to 999 bytes.
      {&ReadBitstreamBytes,
       ERR_FILE_STRUCTURE,
       {text(Bitstream(0, {1})), text(Bitstream(1000, {1}))}},
      {&ReadBootBitstreamBytes, ERR_FILE_STRUCTURE, {text(Bitstream(0, {1}))}},
      {&ReadMemImageBytes, ERR_FILE_STRUCTURE, {"11 22 33 44\n11 22 x 44\n", "11;22\n", "@zz\n"}},
      {&ReadMemImageBytes,
       ERR_FILE_TOO_MUCH_DATA,
       {"@98965C\n1 2 3 4 5 6 7 8\n", "@FFFFFFFFFFFFFFFF\n1 2 3 4\n"}},
  };
  for (const auto& c : cases) {
    for (const std::string& file : c.files) EXPECT_EQ(Read(c.reader, file), c.code) << file;
  }
  // The last byte or word of the buffer, and a bitstream header of 999 bytes, are still taken.
  ASSERT_EQ(Read(&ReadHexImageBytes, lastBase + HexRecord(0x00, 0x967F, {0xA5}) + end), 0u);
  EXPECT_EQ(image_[IMAGE_BUFFER_SIZE - 1], 0xA5);
  EXPECT_EQ(Read(&ReadRomImageBytes, "4C4B3F: 12AB\n"), 0u);
  EXPECT_EQ(image_[IMAGE_BUFFER_SIZE - 1], 0x12);
  EXPECT_EQ(Read(&ReadMemImageBytes, "@98965C\n1 2 3 4\n"), 0u);
  EXPECT_EQ(At(IMAGE_BUFFER_SIZE - 4, 4), Bytes({4, 3, 2, 1}));
  EXPECT_EQ(Read(&ReadBitstreamBytes, Bitstream(999, {1})), 0u);
  // Memory image data starts at data offset 0 whatever the first address; a trailing blank
  // counts as a further word.
  ASSERT_EQ(Read(&ReadMemImageBytes, "@4\n1 2 3 4 \n"), 0u);
  EXPECT_EQ(At(28, 12), Bytes({12, 0, 0, 0, 0, 0, 0, 0, 4, 3, 2, 1}));
}

TEST_F(ImageTest, HexRecordsPlaceTheirBytesWhateverTheLineEnds) {
  std::string lastData = HexRecord(0x00, 0xFFFF, {0x77});
  lastData[0] = '#';  // the start character is not looked at
  const std::string file =
      HexRecord(0x00, 0x0010, {0xDE, 0xAD}) + "\r\n" + HexRecord(0x02, 0, {0x10, 0x00}) +
      HexRecord(0x00, 0x0004, {0x01}) + HexRecord(0x04, 0, {0x00, 0x02}) + "\n" + lastData +
      HexRecord(0x01, 0, {}).substr(0, 11);  // the end record needs no line end
  ASSERT_EQ(Read(&ReadHexImageBytes, file), 0u);
  EXPECT_EQ(At(0x10, 2), Bytes({0xDE, 0xAD}));
  EXPECT_EQ(image_[0x10004], 0x01);  // segment base 0x1000 * 16
  EXPECT_EQ(image_[0x2FFFF], 0x77);  // linear base 0x0002 * 65536
  EXPECT_EQ(range_.highest, 0x2FFFFu);
}

TEST_F(ImageTest, BootBitstreamIsRunLengthCompressedBehindItsHeader) {
  // From the pattern: FF FF FF FF AA 99 55 66, 300 x 07, CD CD CD, 5 x 07. The marker is the
  // rarest value, 0x00; runs of 4 to 255 become triples, shorter ones stay literal, a run never
  // takes in the last byte, and marker 0 ends the data.
  Bytes data(300, 0x07);
  data.insert(data.end(), {0xCD, 0xCD, 0xCD, 7, 7, 7, 7, 7});
  ASSERT_EQ(Read(&ReadBootBitstreamBytes, Bitstream(3, data)), 0u);
  const Bytes expected = {0x00, 0x00, 0x04, 0xFF, 0xAA, 0x99, 0x55, 0x66, 0x00, 0xFF, 0x07, 0x00,
                          45,   0x07, 0xCD, 0xCD, 0xCD, 0x00, 0x04, 0x07, 0x07, 0x00, 0x00};
  EXPECT_EQ(At(32, expected.size()), expected);
  std::uint32_t sum = 0;  // of the whole words: the odd last byte is not summed
  for (std::size_t i = 0; i + 1 < expected.size(); i += 2)
    sum += expected[i] | expected[i + 1] << 8;
  EXPECT_EQ(At(24, 4), Le32(sum));
  EXPECT_EQ(At(28, 4), Le32(23));

  // With 0x01 the rarest value (0x00 comes twice in every block), each of its many occurrences
  // costs a three-byte triple, until the compressed image outgrows the buffer.
  data.clear();
  while (data.size() + 8 + 16 < IMAGE_BUFFER_SIZE) {
    for (int value = 0; value < 256; ++value) data.push_back(static_cast<std::uint8_t>(value));
    data.push_back(0x00);
  }
  EXPECT_EQ(Read(&ReadBootBitstreamBytes, Bitstream(8, data)), ERR_FILE_TOO_MUCH_DATA);
}

TEST_F(ImageTest, BinaryFilesTooLongForTheImageBufferAreRefusedBeforeReading) {
  const std::string path = temp_.File("CALDO_1_V01_00.bit");
  Bytes bytes = Bitstream(10, Bytes(100, 1));
  for (std::size_t length : {IMAGE_BUFFER_SIZE - 512, IMAGE_BUFFER_SIZE - 32}) {
    bytes.resize(length, 0x01);
    test::WriteFileBytes(path, bytes);
    const auto read = length < IMAGE_BUFFER_SIZE - 32 ? &ReadBitstream : &ReadColorTable;
    EXPECT_EQ(read(path, image_.data(), &range_), 0u) << length;
    bytes.push_back(0);
    test::WriteFileBytes(path, bytes);
    EXPECT_EQ(read(path, image_.data(), &range_), ERR_FILE_TOO_MUCH_DATA) << length;
  }
  EXPECT_EQ(ReadColorTable(temp_.File("missing.cdt"), image_.data(), &range_), ERR_FILE_OPEN);
}

// A failed load leaves the image as it was and shows the device failed; an image with nothing
// before its device's fixed end cannot be finished.
TEST_F(ImageTest, FailedLoadsAreLoggedAndShowTheDeviceFailed) {
  loaded_.start = 1234;
  image_.assign(IMAGE_BUFFER_SIZE, 0x00);
  EXPECT_FALSE(Load(DEVICE_MAIN_FPGA, "CALDO_1_V04_11.bit", Bitstream(0, {1, 2})));
  EXPECT_EQ(image_[IMAGE_BUFFER_SIZE - 1], 0xFF);  // the buffer is erased first
  EXPECT_FALSE(Load(DEVICE_BOOT_UP, "BRENTA_1_V01_00.hex", BootHex(0xE0000)));
  EXPECT_FALSE(Load(DEVICE_POWER_UP, "GRISO_4_V02_02.rom", "1B00: 1234\n"));
  EXPECT_EQ(loaded_.start, 1234u);
  EXPECT_EQ(report_.errors, std::vector<std::uint32_t>(3, ERR_FILE_STRUCTURE));
  EXPECT_EQ(report_.failed,
            std::vector<DeviceIndex>({DEVICE_MAIN_FPGA, DEVICE_BOOT_UP, DEVICE_POWER_UP}));
}

// A Boot uP image of major version 0 keeps version and byte sum at the older places, its end
// raised or lowered to them (major 1 and more: the known images below).
TEST_F(ImageTest, BootUpOfMajorZeroKeepsTheOlderLayout) {
  ASSERT_TRUE(Load(DEVICE_BOOT_UP, "BRENTA_3_V00_05.hex", BootHex(0xC0000)));
  EXPECT_EQ(loaded_.end, 0xF7FF7u);
  EXPECT_EQ(At(0xF7FE0, 10), Bytes({5, 0, 3, 0, 22, 13, 14, 11, 0xE7, 0x07}));
  EXPECT_EQ(At(0xF7FF4, 4), Le32(ByteSum(0xC0000, 0xF7FEF)));
  EXPECT_EQ(image_[0xD0000], 0xFF);  // no application info block
  ASSERT_TRUE(
      Load(DEVICE_BOOT_UP, "BRENTA_3_V00_07.hex", BootHex(0xC0000, false) + BootHex(0xF8000)));
  EXPECT_EQ(loaded_.end, 0xF7FFFu);
}

TEST_F(ImageTest, BootFpgaOf128KilobytesOrMoreWarnsButLoads) {
  ASSERT_TRUE(
      Load(DEVICE_BOOT_FPGA, "TORU_1_V01_01.bit", Bitstream(16, test::PatternBytes(131040, 3))));
  EXPECT_EQ(report_.results,
            std::vector<std::string>{"!!!!!! Warning: Data longer than 128 kB !!!!!!\n"});
}

// The HD-SDI image is word-swapped except its last 32 bytes: with exactly 512 bytes, data bytes
// 438 and 439 (0xB6, 0xB7) bit-reversed and swapped, then data bytes 440 to 471 (0xB8, 0xB9, ..,
// 0xD7) bit-reversed in their own order.
TEST_F(ImageTest, HdsdiIsWordSwappedExceptItsLast32Bytes) {
  Bytes counting(480 - 8);
  for (std::size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(Load(DEVICE_HDSDI_FPGA, "PELMA_9_V01_00.bit", Bitstream(4, counting)));
  EXPECT_EQ(loaded_.end, 0x1FFu);
  EXPECT_EQ(At(478, 4), Bytes({0xED, 0x6D, 0x1D, 0x9D}));
  EXPECT_EQ(image_[511], 0xEB);
}

// The images of the raw files of the CLI's packet tests: any change to a reader or to a
// device's finishing changes what would be programmed.
TEST_F(ImageTest, TheRawFilesOfEveryDeviceGiveTheirKnownImages) {
  const std::vector<std::string> paths = test::WriteRawImageFiles(temp_.Path());
  const std::uint32_t expected[kDeviceCount] = {0xce838894, 0x113a78a4, 0x1873596e,
                                                0xa15a9dc8, 0xb794269b, 0xefd9554c,
                                                0x20702b87, 0xc797300d, 0xba565885};
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    ASSERT_TRUE(Load(device, paths[device]));
    std::uint32_t hash = 2166136261u;  // FNV-1a over the image and its range
    for (std::uint32_t address = loaded_.start; address <= loaded_.end; ++address)
      hash = (hash ^ image_[address]) * 16777619u;
    for (std::uint32_t value : {loaded_.start, loaded_.end, loaded_.size})
      hash = (hash ^ value) * 16777619u;
    EXPECT_EQ(hash, expected[device]) << DeviceDisplayName(device) << std::hex << " " << hash;
  }
}

}  // namespace
}  // namespace tarvo
