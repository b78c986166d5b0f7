#include "firmware/image_readers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/run_length.h"
#include "log/result_codes.h"
#include "raw_image_files.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::HexRecord;

class ReaderTest : public ::testing::Test {
 protected:
  ReaderTest() : image_(IMAGE_BUFFER_SIZE, 0xFF) {}

  using BytesReader = std::uint32_t (*)(const ImageFileBytes&, std::uint8_t*, ImageRange*);
  std::uint32_t Read(BytesReader reader, const std::string& text) {
    return Read(reader, std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  std::uint32_t Read(BytesReader reader, const std::vector<std::uint8_t>& bytes) {
    ImageFileBytes file;
    file.data = bytes.data();
    file.length = bytes.size();
    file.version.variant = 0x0102;
    file.version.major = 3;
    file.version.minor = 4;
    range_ = ImageRange{};
    return reader(file, image_.data(), &range_);
  }
  std::uint32_t Le32(std::size_t offset) const {
    return image_[offset] | image_[offset + 1] << 8 | image_[offset + 2] << 16 |
           static_cast<std::uint32_t>(image_[offset + 3]) << 24;
  }
  std::vector<std::uint8_t> Bytes(std::size_t offset, std::size_t count) const {
    return std::vector<std::uint8_t>(image_.begin() + offset, image_.begin() + offset + count);
  }

  std::vector<std::uint8_t> image_;
  ImageRange range_;
  test::TempFolder temp_;
};

// Intel HEX.

TEST_F(ReaderTest, HexDataAndBaseRecordsPlaceBytesAndSpanTheRange) {
  const std::string file =
      HexRecord(0x00, 0x0010, {0xDE, 0xAD}) + HexRecord(0x02, 0, {0x10, 0x00}) +  // base 0x10000
      HexRecord(0x00, 0x0004, {0x01}) + HexRecord(0x04, 0, {0x00, 0x02}) +        // base 0x20000
      HexRecord(0x00, 0xFFFF, {0x77}) + HexRecord(0x01, 0, {});
  ASSERT_EQ(Read(&ReadHexImageBytes, file), 0u);
  EXPECT_EQ(Bytes(0x10, 2), (std::vector<std::uint8_t>{0xDE, 0xAD}));
  EXPECT_EQ(image_[0x10004], 0x01);
  EXPECT_EQ(image_[0x2FFFF], 0x77);
  EXPECT_EQ(range_.lowest, 0x10u);
  EXPECT_EQ(range_.highest, 0x2FFFFu);
}

TEST_F(ReaderTest, HexIgnoresStartCharacterAndLineEndsAndSkipsEmptyLines) {
  std::string record = HexRecord(0x00, 0x0020, {0x55});
  record[0] = '#';
  const std::string file = "\r\n" + record.substr(0, record.size() - 1) + "\r\n\n" +
                           HexRecord(0x01, 0, {}).substr(0, 11);  // no line end at all
  ASSERT_EQ(Read(&ReadHexImageBytes, file), 0u);
  EXPECT_EQ(image_[0x20], 0x55);
}

TEST_F(ReaderTest, HexRefusesBadRecordsWithTheirCodes) {
  const std::string end = HexRecord(0x01, 0, {});
  const std::string data = HexRecord(0x00, 0, {1, 2, 3});
  std::string badSum = data;
  badSum[badSum.size() - 2] = badSum[badSum.size() - 2] == '0' ? '1' : '0';
  EXPECT_EQ(Read(&ReadHexImageBytes, badSum + end), ERR_FILE_CHECKSUM);
  EXPECT_EQ(Read(&ReadHexImageBytes, data), ERR_FILE_READ) << "no end-of-file record";
  EXPECT_EQ(Read(&ReadHexImageBytes, std::string()), ERR_FILE_READ);
  EXPECT_EQ(Read(&ReadHexImageBytes, data + HexRecord(0x05, 0, {0, 0, 0, 0}) + end),
            ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadHexImageBytes, data + HexRecord(0x03, 0, {0, 0, 0, 0}) + end),
            ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadHexImageBytes, data + HexRecord(0x01, 0, {0}) + end), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadHexImageBytes, data + HexRecord(0x01, 4, {})), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadHexImageBytes, data + HexRecord(0x04, 0, {1}) + end), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadHexImageBytes, data + "not a record\n" + end), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadHexImageBytes, data.substr(0, 12) + "\n" + end), ERR_FILE_STRUCTURE)
      << "record shorter than its byte count";
  EXPECT_EQ(Read(&ReadHexImageBytes, ":0100000G01FF\n" + end), ERR_FILE_STRUCTURE);
}

TEST_F(ReaderTest, HexDataMayReachTheLastByteOfTheImageBufferButNoFurther) {
  // Base 0x980000 + address 0x967F is 9,999,999, the last byte of the buffer.
  const std::string base = HexRecord(0x04, 0, {0x00, 0x98});
  ASSERT_EQ(
      Read(&ReadHexImageBytes, base + HexRecord(0x00, 0x967F, {0xA5}) + HexRecord(0x01, 0, {})),
      0u);
  EXPECT_EQ(image_[IMAGE_BUFFER_SIZE - 1], 0xA5);
  EXPECT_EQ(range_.highest, IMAGE_BUFFER_SIZE - 1);
  EXPECT_EQ(Read(&ReadHexImageBytes,
                 base + HexRecord(0x00, 0x967F, {0xA5, 0xA6}) + HexRecord(0x01, 0, {})),
            ERR_FILE_TOO_MUCH_DATA);
  EXPECT_EQ(Read(&ReadHexImageBytes, HexRecord(0x04, 0, {0xFF, 0xFF}) +
                                         HexRecord(0x00, 0xFFFF, {1}) + HexRecord(0x01, 0, {})),
            ERR_FILE_TOO_MUCH_DATA);
}

TEST_F(ReaderTest, HexFileReadInChunksGivesTheSameImageAsInMemory) {
  // Over 3 MB of text with CR LF line ends: lines cross the file reader's chunk boundaries.
  std::string text;
  for (std::uint32_t address = 0; address < 0x150000; address += 32) {
    if (address % 0x10000 == 0)
      text += HexRecord(0x04, 0, {0x00, static_cast<std::uint8_t>(address >> 16)});
    std::string record = HexRecord(0x00, static_cast<std::uint16_t>(address & 0xFFFF),
                                   test::PatternBytes(32, address));
    record.insert(record.size() - 1, "\r");
    text += record;
  }
  text += HexRecord(0x01, 0, {});
  ASSERT_GT(text.size(), 3u << 20);
  const std::string path = temp_.File("BRENTA_1_V01_00.hex");
  test::WriteFileText(path, text);
  ASSERT_EQ(Read(&ReadHexImageBytes, text), 0u);
  const std::vector<std::uint8_t> fromMemory = Bytes(0, 0x150000);
  std::fill(image_.begin(), image_.end(), 0xFF);
  ImageRange range;
  ASSERT_EQ(ReadHexImage(path, image_.data(), &range), 0u);
  EXPECT_EQ(Bytes(0, 0x150000), fromMemory);
  EXPECT_EQ(range.lowest, 0u);
  EXPECT_EQ(range.highest, 0x14FFFFu);
}

// Power uP words.

TEST_F(ReaderTest, RomStoresWordsLittleEndianAtTwiceTheirAddress) {
  ASSERT_EQ(Read(&ReadRomImageBytes, "  10: 1234\r\n11 :ABCD extra\n0x12:0x10FFFF\n"), 0u);
  EXPECT_EQ(Bytes(0x20, 6), (std::vector<std::uint8_t>{0x34, 0x12, 0xCD, 0xAB, 0xFF, 0xFF}));
  EXPECT_EQ(range_.lowest, 0x20u);
  EXPECT_EQ(range_.highest, 0x25u);
}

TEST_F(ReaderTest, RomRefusesLinesWithoutAddressColonOrValueAndEmptyFiles) {
  EXPECT_EQ(Read(&ReadRomImageBytes, "10: 1234\n\n11: 0\n"), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadRomImageBytes, "10 1234\n"), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadRomImageBytes, "10:\n"), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadRomImageBytes, ": 1234\n"), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadRomImageBytes, std::string()), ERR_FILE_STRUCTURE);
}

TEST_F(ReaderTest, RomWordsBeyondTheImageBufferAreTooMuchData) {
  EXPECT_EQ(Read(&ReadRomImageBytes, "4C4B3F: 1234\n"), 0u);  // word 4,999,999
  EXPECT_EQ(image_[IMAGE_BUFFER_SIZE - 1], 0x12);
  EXPECT_EQ(Read(&ReadRomImageBytes, "4C4B40: 1234\n"), ERR_FILE_TOO_MUCH_DATA);
  EXPECT_EQ(Read(&ReadRomImageBytes, "FFFFFFFFFFFF: 1\n"), ERR_FILE_TOO_MUCH_DATA);
}

// Run-length scheme and bitstreams.

TEST(RunLength, MarkerIsTheRarestLowestValueAndAlwaysGoesInATriple) {
  // Every value occurs once except 0x00 and 0x01 (twice); the marker is 0x02.
  std::vector<std::uint8_t> input;
  for (int value = 0; value < 256; ++value) input.push_back(static_cast<std::uint8_t>(value));
  input.push_back(0x00);
  input.push_back(0x01);
  std::vector<std::uint8_t> output(1024);
  const auto length = RunLengthCompress(input.data(), input.size(), output.data(), output.size());
  ASSERT_TRUE(length);
  EXPECT_EQ(output[0], 0x02);
  EXPECT_EQ(output[1], 0x00);
  EXPECT_EQ(output[2], 0x01);
  EXPECT_EQ((std::vector<std::uint8_t>(output.begin() + 3, output.begin() + 6)),
            (std::vector<std::uint8_t>{0x02, 0x01, 0x02}));
  EXPECT_EQ(*length, 1 + 255 + 3 + 2 + 2u);
}

TEST(RunLength, RunsStopAt255AndShortRunsStayLiteral) {
  std::vector<std::uint8_t> input(300, 0xAB);
  input.push_back(0xCD);
  input.push_back(0xCD);
  input.push_back(0xCD);
  input.push_back(0x01);
  std::vector<std::uint8_t> output(64);
  const auto length = RunLengthCompress(input.data(), input.size(), output.data(), output.size());
  ASSERT_TRUE(length);
  output.resize(*length);
  EXPECT_EQ(output, (std::vector<std::uint8_t>{0x00, 0x00, 0xFF, 0xAB, 0x00, 45, 0xAB, 0xCD, 0xCD,
                                               0xCD, 0x01, 0x00, 0x00}));
  EXPECT_FALSE(RunLengthCompress(input.data(), input.size(), output.data(), 12));
}

TEST_F(ReaderTest, BitstreamSyncPatternMustFollowAFileHeaderWithinTheFirst1000Bytes) {
  const std::vector<std::uint8_t> data = {0x01, 0x80, 0x0F};
  EXPECT_EQ(Read(&ReadBitstreamBytes, test::Bitstream(0, data)), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadBitstreamBytes, test::Bitstream(1000, data)), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadBootBitstreamBytes, test::Bitstream(0, data)), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadBitstreamBytes, std::vector<std::uint8_t>(50, 0xFF)), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadBitstreamBytes, test::Bitstream(999, data)), 0u);
  EXPECT_EQ(Le32(28), 11u);  // pattern and data
}

TEST_F(ReaderTest, BitstreamIsBitReversedBehindItsHeader) {
  ASSERT_EQ(Read(&ReadBitstreamBytes, test::Bitstream(5, {0x01, 0x80, 0x0F})), 0u);
  // Header: version, ten 0xFF, marker, checksum, length 11.
  EXPECT_EQ(Bytes(0, 4), (std::vector<std::uint8_t>{4, 3, 0x02, 0x01}));
  EXPECT_EQ(Bytes(10, 10), std::vector<std::uint8_t>(10, 0xFF));
  EXPECT_EQ(Le32(20), 0x46504741u);
  EXPECT_EQ(Le32(28), 11u);
  EXPECT_EQ(Bytes(32, 13), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x55, 0x99, 0xAA,
                                                      0x66, 0x80, 0x01, 0xF0, 0xFF, 0xFF}));
  // Words after reversal; the odd last word takes in 0xFF.
  const std::uint32_t sum = 0xFFFF + 0xFFFF + 0x9955 + 0x66AA + 0x0180 + 0xFFF0;
  EXPECT_EQ(Le32(24), sum);
  EXPECT_EQ(range_.lowest, 0u);
  EXPECT_EQ(range_.highest, 11u + 31);
}

TEST_F(ReaderTest, BootBitstreamIsCompressedBehindItsHeader) {
  const std::vector<std::uint8_t> data = {0x07, 0x07, 0x07, 0x07, 0x07};
  // Input from the pattern: FF FF FF FF AA 99 55 66 07 07 07 07 07; marker 0x00. Of five equal
  // bytes the last stays out of the run.
  ASSERT_EQ(Read(&ReadBootBitstreamBytes, test::Bitstream(3, data)), 0u);
  const std::vector<std::uint8_t> expected = {0x00, 0x00, 0x04, 0xFF, 0xAA, 0x99, 0x55,
                                              0x66, 0x00, 0x04, 0x07, 0x07, 0x00, 0x00};
  EXPECT_EQ(Bytes(32, expected.size()), expected);
  EXPECT_EQ(Le32(28), expected.size());
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < expected.size(); i += 2)
    sum += expected[i] | expected[i + 1] << 8;
  EXPECT_EQ(Le32(24), sum);
  EXPECT_EQ(Bytes(10, 10), std::vector<std::uint8_t>(10, 0xFF));
  EXPECT_EQ(range_.highest, expected.size() + 31);
}

TEST_F(ReaderTest, BinaryFilesTooLongForTheImageBufferAreRefusedBeforeReading) {
  const std::string path = temp_.File("CALDO_1_V01_00.bit");
  std::vector<std::uint8_t> bytes = test::Bitstream(10, std::vector<std::uint8_t>(100, 1));
  bytes.resize(IMAGE_BUFFER_SIZE - 512, 0x01);
  test::WriteFileBytes(path, bytes);
  ImageRange range;
  EXPECT_EQ(ReadBitstream(path, image_.data(), &range), 0u);
  bytes.push_back(0);
  test::WriteFileBytes(path, bytes);
  EXPECT_EQ(ReadBitstream(path, image_.data(), &range), ERR_FILE_TOO_MUCH_DATA);
  EXPECT_EQ(ReadBitstream(temp_.File("missing.bit"), image_.data(), &range), ERR_FILE_OPEN);
  EXPECT_EQ(ReadColorTable(temp_.File("missing.cdt"), image_.data(), &range), ERR_FILE_OPEN);
  EXPECT_EQ(ReadHexImage(temp_.File("missing.hex"), image_.data(), &range), ERR_FILE_OPEN);

  bytes.resize(IMAGE_BUFFER_SIZE - 32);
  test::WriteFileBytes(path, bytes);
  EXPECT_EQ(ReadColorTable(path, image_.data(), &range), 0u);
  bytes.push_back(0);
  test::WriteFileBytes(path, bytes);
  EXPECT_EQ(ReadColorTable(path, image_.data(), &range), ERR_FILE_TOO_MUCH_DATA);
}

TEST_F(ReaderTest, BootBitstreamWhoseCompressionOutgrowsTheImageBufferIsTooMuchData) {
  // 0x01 is the rarest value (0x00 comes twice in every block): each of its many occurrences
  // costs a three-byte triple.
  std::vector<std::uint8_t> data;
  data.reserve(IMAGE_BUFFER_SIZE);
  while (data.size() + 8 + 16 < IMAGE_BUFFER_SIZE) {
    for (int value = 0; value < 256; value += 1) data.push_back(static_cast<std::uint8_t>(value));
    data.push_back(0x00);
  }
  EXPECT_EQ(Read(&ReadBootBitstreamBytes, test::Bitstream(8, data)), ERR_FILE_TOO_MUCH_DATA);
}

TEST_F(ReaderTest, ColorTableOfThreeBytesSumsTwoWordsWithTheErasedByteBehind) {
  ASSERT_EQ(Read(&ReadColorTableBytes, std::vector<std::uint8_t>{0x01, 0x02, 0x03}), 0u);
  EXPECT_EQ(Le32(28), 3u);
  EXPECT_EQ(Le32(24), 0x0201u + 0xFF03u);
  EXPECT_EQ(Bytes(32, 4), (std::vector<std::uint8_t>{0x01, 0x02, 0x03, 0xFF}));
  EXPECT_EQ(range_.highest, 34u);
}

// Main uP memory image.

TEST_F(ReaderTest, MemImageStoresGroupsAsLittleEndianWordsBehindAZeroHeader) {
  const std::string file =
      "// comment\n"
      "@8\n"
      "12 34 56 78  9a bc de f0\r\n"
      "\r\n"
      "\n"
      "1 2 3 4\n";
  ASSERT_EQ(Read(&ReadMemImageBytes, file), 0u);
  EXPECT_EQ(Bytes(32, 8), std::vector<std::uint8_t>(8, 0x00));
  EXPECT_EQ(Bytes(40, 12), (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12, 0xF0, 0xDE, 0xBC,
                                                      0x9A, 0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(Bytes(10, 10), std::vector<std::uint8_t>(10, 0x00));
  EXPECT_EQ(Le32(20), 0x46504741u);
  EXPECT_EQ(Le32(28), 20u);  // the data covers offsets 0..19 whatever the first address
  std::uint32_t sum = 0;
  for (std::size_t i = 32; i < 52; i += 2) sum += image_[i] | image_[i + 1] << 8;
  EXPECT_EQ(Le32(24), sum);
  EXPECT_EQ(range_.highest, 51u);
}

TEST_F(ReaderTest, MemImageLengthCountsATrailingBlankAsAWordAndIsOneWithoutGroups) {
  ASSERT_EQ(Read(&ReadMemImageBytes, "@0\n11 22 33 44 \n"), 0u);
  EXPECT_EQ(Le32(28), 8u);
  ASSERT_EQ(Read(&ReadMemImageBytes, "@0\n11 22 33 44\n"), 0u);
  EXPECT_EQ(Le32(28), 4u);
  // A number takes four digits or more into 16 bits; a CR right after a group ends the line.
  ASSERT_EQ(Read(&ReadMemImageBytes, "1FF 0 0 12345\rAA BB CC DD\n"), 0u);
  EXPECT_EQ(Le32(32), 0xFF002345u);  // 0x1FF shifted into the top byte keeps 0xFF
  EXPECT_EQ(Le32(28), 4u);
  ASSERT_EQ(Read(&ReadMemImageBytes, "// nothing\n@100\n"), 0u);
  EXPECT_EQ(Le32(28), 1u);
  EXPECT_EQ(Le32(24), 0u);
  EXPECT_EQ(range_.highest, 32u);
}

TEST_F(ReaderTest, MemImageRefusesForeignCharactersBadAddressesAndDataBeyondTheBuffer) {
  EXPECT_EQ(Read(&ReadMemImageBytes, "11 22 33 44\n11 22 x 44\n"), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadMemImageBytes, "11;22 33 44\n"), ERR_FILE_STRUCTURE);
  EXPECT_EQ(Read(&ReadMemImageBytes, "@zz\n"), ERR_FILE_STRUCTURE);
  // Data offsets 9,999,964..9,999,967 are the last word of the buffer.
  EXPECT_EQ(Read(&ReadMemImageBytes, "@98965C\n1 2 3 4\n"), 0u);
  EXPECT_EQ(Le32(IMAGE_BUFFER_SIZE - 4), 0x01020304u);
  EXPECT_EQ(Read(&ReadMemImageBytes, "@98965C\n1 2 3 4 5 6 7 8\n"), ERR_FILE_TOO_MUCH_DATA);
  EXPECT_EQ(Read(&ReadMemImageBytes, "@FFFFFFFFFFFFFFFF\n1 2 3 4\n"), ERR_FILE_TOO_MUCH_DATA);
}

}  // namespace
}  // namespace tarvo
