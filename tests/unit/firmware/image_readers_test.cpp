#include "firmware/image_readers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "log/result_codes.h"
#include "raw_image_files.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::Bitstream;
using test::HexRecord;
using Bytes = std::vector<std::uint8_t>;
using BytesReader = std::uint32_t (*)(const ImageFileBytes&, std::uint8_t*, ImageRange*);

class ReaderTest : public ::testing::Test {
 protected:
  ReaderTest() : image_(IMAGE_BUFFER_SIZE, 0xFF) {}

  std::uint32_t Read(BytesReader reader, const std::string& text) {
    return Read(reader, Bytes(text.begin(), text.end()));
  }
  std::uint32_t Read(BytesReader reader, const Bytes& bytes) {
    ImageFileBytes file;
    file.data = bytes.data();
    file.length = bytes.size();
    file.version = {4, 3, 0x0102};
    range_ = ImageRange{};
    return reader(file, image_.data(), &range_);
  }
  Bytes At(std::size_t offset, std::size_t count) const {
    return Bytes(image_.begin() + offset, image_.begin() + offset + count);
  }
  // The 32-byte header in front of the data: version, ten fill bytes, marker, the sum of the
  // data's first 16-bit words (by default all, an odd last byte taking in the one behind it),
  // the data length.
  Bytes Header(std::uint8_t fill, std::uint32_t length, std::uint32_t words = ~0u) const {
    Bytes header = {4, 3, 2, 1, 0, 0, 0, 0, 0, 0};
    header.resize(20, fill);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < std::min(words, (length + 1) / 2); ++i) {
      sum += image_[32 + 2 * i] | image_[33 + 2 * i] << 8;
    }
    for (std::uint32_t word : {0x46504741u, sum, length}) {
      for (int shift = 0; shift < 32; shift += 8) header.push_back(std::uint8_t(word >> shift));
    }
    return header;
  }

  Bytes image_;
  ImageRange range_;
  test::TempFolder temp_;
};

// Every reader refuses what is no file of its kind, and never writes beyond the image buffer.
TEST_F(ReaderTest, RefusedFilesGiveTheirCodes) {
  const std::string end = HexRecord(0x01, 0, {});
  const std::string data = HexRecord(0x00, 0, {1, 2, 3});
  std::string badSum = data;
  badSum[badSum.size() - 2] = badSum[badSum.size() - 2] == '0' ? '1' : '0';
  const std::string lastBase = HexRecord(0x04, 0, {0x00, 0x98});  // 0x980000 + 0x967F: last byte
  auto text = [](const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); };
  const std::string sync = text(Bitstream(0, {1}));
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
        data + HexRecord(0x01, 4, {}), data + HexRecord(0x04, 0, {1}) + end,
        data + "not a record\n" + end, data.substr(0, 12) + "\n" + end, ":0100000G01FF\n" + end}},
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
       {sync, text(Bitstream(1000, {1})), std::string(50, '\xFF')}},
      {&ReadBootBitstreamBytes, ERR_FILE_STRUCTURE, {sync}},
      {&ReadMemImageBytes, ERR_FILE_STRUCTURE, {"11 22 33 44\n11 22 x 44\n", "11;22\n", "@zz\n"}},
      {&ReadMemImageBytes,
       ERR_FILE_TOO_MUCH_DATA,
       {"@98965C\n1 2 3 4 5 6 7 8\n", "@FFFFFFFFFFFFFFFF\n1 2 3 4\n"}},
  };
  for (const auto& c : cases) {
    for (const std::string& file : c.files) EXPECT_EQ(Read(c.reader, file), c.code) << file;
  }
  // The last byte or word of the buffer is still taken.
  ASSERT_EQ(Read(&ReadHexImageBytes, lastBase + HexRecord(0x00, 0x967F, {0xA5}) + end), 0u);
  EXPECT_EQ(image_[IMAGE_BUFFER_SIZE - 1], 0xA5);
  EXPECT_EQ(Read(&ReadRomImageBytes, "4C4B3F: 12AB\n"), 0u);
  EXPECT_EQ(image_[IMAGE_BUFFER_SIZE - 1], 0x12);
  EXPECT_EQ(Read(&ReadMemImageBytes, "@98965C\n1 2 3 4\n"), 0u);
  EXPECT_EQ(At(IMAGE_BUFFER_SIZE - 4, 4), Bytes({4, 3, 2, 1}));
}

TEST_F(ReaderTest, HexAndRomPlaceTheirBytesWhateverTheLineEnds) {
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
  EXPECT_EQ(std::vector<std::uint32_t>({range_.lowest, range_.highest}),
            std::vector<std::uint32_t>({0x10, 0x2FFFF}));

  // Words little-endian at twice their address, cut to 16 bits.
  ASSERT_EQ(Read(&ReadRomImageBytes, "  10: 1234\r\n11 :ABCD extra\n0x12:0x10FFFF\n"), 0u);
  EXPECT_EQ(At(0x20, 6), Bytes({0x34, 0x12, 0xCD, 0xAB, 0xFF, 0xFF}));
  EXPECT_EQ(std::vector<std::uint32_t>({range_.lowest, range_.highest}),
            std::vector<std::uint32_t>({0x20, 0x25}));
}

TEST_F(ReaderTest, BitstreamsAndColorTablesFollowTheirHeader) {
  // Bit-reversed, the odd last word taking in the erased byte.
  ASSERT_EQ(Read(&ReadBitstreamBytes, Bitstream(999, {0x01, 0x80, 0x0F})), 0u);
  EXPECT_EQ(At(0, 32), Header(0xFF, 11));
  EXPECT_EQ(At(32, 13),
            Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x55, 0x99, 0xAA, 0x66, 0x80, 0x01, 0xF0, 0xFF, 0xFF}));
  EXPECT_EQ(range_.highest, 11u + 31);
  ASSERT_EQ(Read(&ReadColorTableBytes, Bytes({0x01, 0x02, 0x03})), 0u);
  EXPECT_EQ(At(0, 32), Header(0xFF, 3));
  EXPECT_EQ(At(32, 4), Bytes({0x01, 0x02, 0x03, 0xFF}));
}

TEST_F(ReaderTest, BootBitstreamIsRunLengthCompressedBehindItsHeader) {
  // From the pattern: FF FF FF FF AA 99 55 66, 300 x 07, CD CD CD, 5 x 07. The marker is the
  // rarest value, 0x00; runs of 4 to 255 become triples, shorter ones stay literal, a run never
  // takes in the last byte, and marker 0 ends the data.
  Bytes data(300, 0x07);
  data.insert(data.end(), {0xCD, 0xCD, 0xCD, 7, 7, 7, 7, 7});
  ASSERT_EQ(Read(&ReadBootBitstreamBytes, Bitstream(3, data)), 0u);
  const Bytes expected = {0x00, 0x00, 0x04, 0xFF, 0xAA, 0x99, 0x55, 0x66, 0x00, 0xFF, 0x07, 0x00,
                          45,   0x07, 0xCD, 0xCD, 0xCD, 0x00, 0x04, 0x07, 0x07, 0x00, 0x00};
  EXPECT_EQ(At(32, expected.size()), expected);
  EXPECT_EQ(At(0, 32), Header(0xFF, 23, 11));  // the odd last byte is not summed

  // With 0x01 the rarest value (0x00 comes twice in every block), each of its many occurrences
  // costs a three-byte triple, until the compressed image outgrows the buffer.
  data.clear();
  while (data.size() + 8 + 16 < IMAGE_BUFFER_SIZE) {
    for (int value = 0; value < 256; ++value) data.push_back(static_cast<std::uint8_t>(value));
    data.push_back(0x00);
  }
  EXPECT_EQ(Read(&ReadBootBitstreamBytes, Bitstream(8, data)), ERR_FILE_TOO_MUCH_DATA);
}

TEST_F(ReaderTest, BinaryFilesTooLongForTheImageBufferAreRefusedBeforeReading) {
  const std::string path = temp_.File("CALDO_1_V01_00.bit");
  Bytes bytes = Bitstream(10, Bytes(100, 1));
  ImageRange range;
  for (std::size_t length : {IMAGE_BUFFER_SIZE - 512, IMAGE_BUFFER_SIZE - 32}) {
    bytes.resize(length, 0x01);
    test::WriteFileBytes(path, bytes);
    const auto read = length < IMAGE_BUFFER_SIZE - 32 ? &ReadBitstream : &ReadColorTable;
    EXPECT_EQ(read(path, image_.data(), &range), 0u) << length;
    bytes.push_back(0);
    test::WriteFileBytes(path, bytes);
    EXPECT_EQ(read(path, image_.data(), &range), ERR_FILE_TOO_MUCH_DATA) << length;
  }
  EXPECT_EQ(ReadColorTable(temp_.File("missing.cdt"), image_.data(), &range), ERR_FILE_OPEN);
}

TEST_F(ReaderTest, MemImageStoresGroupsAsLittleEndianWordsBehindAZeroHeader) {
  // The data covers offsets 0..19 whatever the first address.
  ASSERT_EQ(Read(&ReadMemImageBytes, "// comment\n@8\n12 34 56 78  9a bc de f0\r\n\r\n\n1 2 3 4\n"),
            0u);
  EXPECT_EQ(At(32, 20), Bytes({0,    0,    0,    0,    0,    0,    0, 0, 0x78, 0x56,
                               0x34, 0x12, 0xF0, 0xDE, 0xBC, 0x9A, 4, 3, 2,    1}));
  EXPECT_EQ(At(0, 32), Header(0x00, 20));
  EXPECT_EQ(range_.highest, 51u);
  // A trailing blank counts as a word; a file without groups has length 1. A number takes
  // four digits or more into 16 bits; a CR right after a group ends the line.
  ASSERT_EQ(Read(&ReadMemImageBytes, "@0\n11 22 33 44 \n"), 0u);
  EXPECT_EQ(At(28, 4), Bytes({8, 0, 0, 0}));
  ASSERT_EQ(Read(&ReadMemImageBytes, "// nothing\n@100\n"), 0u);
  EXPECT_EQ(At(24, 8), Bytes({0, 0, 0, 0, 1, 0, 0, 0}));
  ASSERT_EQ(Read(&ReadMemImageBytes, "1FF 0 0 12345\rAA BB CC DD\n"), 0u);
  EXPECT_EQ(At(28, 8), Bytes({4, 0, 0, 0, 0x45, 0x23, 0x00, 0xFF}));
}

}  // namespace
}  // namespace tarvo
