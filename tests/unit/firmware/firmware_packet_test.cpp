#include "firmware/firmware_packet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "support/packet_bytes.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::Le32, test::PutLe32, test::ResealPacket, test::WordSum;

// Variant 1, version 2.3, 10:20 on 3.4.2025.
const std::uint8_t kVersion[10] = {3, 2, 1, 0, 10, 20, 3, 4, 0xE9, 0x07};

class PacketTest : public ::testing::Test {
 protected:
  std::string Path(const char* name = "p.tvf") const { return temp_.File(name); }

  // Builds, seals and saves a packet with the given images (device, start, bytes).
  using Image = std::tuple<std::uint16_t, std::uint32_t, std::vector<std::uint8_t>>;
  void Save(const std::vector<Image>& images, const std::string& path) {
    CFirmwarePacket packet(+[] { return platform::CalendarTime{2026, 3, 9, 14, 7, 0, 0}; });
    ASSERT_TRUE(packet.CreatePacket());
    for (const auto& [device, start, bytes] : images) {
      ASSERT_TRUE(packet.AddImage(device, start, static_cast<std::uint32_t>(bytes.size()),
                                  bytes.data(), ImageVersionFromBytes(kVersion)));
    }
    ProgramOrder order{2, ORDER_REBOOT};
    std::fill(order.begin() + 2, order.end(), ORDER_END);
    ASSERT_TRUE(packet.SetOrder(order));
    ASSERT_TRUE(packet.SealPacket());
    ASSERT_TRUE(packet.SavePacket(path)) << packet.LastError();
  }

  test::TempFolder temp_;
};

TEST_F(PacketTest, SealedPacketHasTheFixedHeaderBytes) {
  Save({{2, 0x100, {1, 2, 3, 4, 5}}}, Path());
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(Path());
  std::vector<std::uint8_t> expected(6776 + 8, 0);  // 5 bytes take 8
  auto put = [&](std::size_t offset, const std::string& field) {
    std::copy(field.begin(), field.end(), expected.begin() + static_cast<std::ptrdiff_t>(offset));
  };
  PutLe32(&expected, 0, 6776 | 2 << 16);  // header size, format version
  put(4, "ORVTRVFWFirmware packet file for orva.tarvo");
  put(2012, "File created: 09.03.2026 14:07.");
  PutLe32(&expected, 2092, 1);                  // entries
  PutLe32(&expected, 2096, 6784);               // file length
  PutLe32(&expected, 2100, Le32(bytes, 2100));  // check word, pinned by the sum
  PutLe32(&expected, 2168, 6776);               // entry 0: data offset, unpadded size, start,
  PutLe32(&expected, 2172, 5);
  PutLe32(&expected, 2176, 0x100);
  put(2168 + 124, {2, 0, 3, 2, 1, 0, 10, 20, 3, 4, '\xE9', 7});  // device, version record
  PutLe32(&expected, 6648, 2 | ORDER_REBOOT << 16);              // order, then its end marks
  std::fill(expected.begin() + 6652, expected.begin() + 6776, 0xFF);
  put(6776, {1, 2, 3, 4, 5});
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(WordSum(bytes), 0x87654322u);
}

TEST_F(PacketTest, CheckRefusesDamagedFilesWithTheIntegrityTextAndSaysWhy) {
  Save({{2, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}}, Path());
  const std::vector<std::uint8_t> good = test::ReadFileBytes(Path());
  CFirmwarePacket packet;
  // The reason the check gives for the bytes (resealed first when asked); empty when they pass.
  auto why = [&](std::vector<std::uint8_t> bytes, bool reseal = false) {
    if (reseal) ResealPacket(&bytes);
    test::WriteFileBytes(Path("bad.tvf"), bytes);
    if (packet.CheckPacketFile(Path("bad.tvf"))) return std::string();
    EXPECT_EQ(packet.LastError(), "Firmware packet file integrity check failed.");
    return packet.LastErrorDetail();
  };
  auto edited = [&](std::size_t offset, std::uint8_t value) {
    std::vector<std::uint8_t> bytes = good;
    bytes[offset] = value;
    return bytes;
  };
  EXPECT_EQ(why({}), "The file is empty.");
  EXPECT_EQ(why({good.begin(), good.begin() + 6775}),
            "The file has 6775 bytes, fewer than the 6776 of a packet header.");
  const std::string sumWrong = "instead of 87654322: the content or the check word was changed.";
  for (std::size_t offset : {2u, 2100u, 3000u, 6776u, 6787u}) {
    EXPECT_TRUE(why(edited(offset, good[offset] ^ 1)).ends_with(sumWrong)) << offset;
  }
  EXPECT_EQ(why(edited(5, 'X')),
            "The file does not carry the packet mark \"ORVTRVFW\" at offset 4.");
  EXPECT_EQ(why(edited(12, 'f')),
            "The header text is not \"Firmware packet file for orva.tarvo\".");
  EXPECT_EQ(why(edited(0, 0x77), true), "The header size field is 6775, less than 6776.");
  std::vector<std::uint8_t> bytes = good;
  bytes.push_back(0);
  EXPECT_EQ(why(bytes), "The file's length of 6789 bytes is not a multiple of 4.");
  bytes.resize(6780);
  EXPECT_EQ(why(bytes, true), "The length field says 6788 bytes, the file has 6780.");
  EXPECT_EQ(why(edited(12 + 40, 'x'), true), "");  // behind the header text's terminating zero
  EXPECT_FALSE(packet.CheckPacketFile(Path("missing.tvf")));
  EXPECT_EQ(packet.LastError(), "Open file " + Path("missing.tvf") + " failed!.");
}

// A packet appears whole and checked, or not at all: a full disk never leaves a partial file
// and never damages the file it was to replace.
TEST_F(PacketTest, SaveOnAFullDiskLeavesTheFileAsItWas) {
  Save({{2, 0, std::vector<std::uint8_t>(64, 0x42)}}, Path());
  const std::vector<std::uint8_t> before = test::ReadFileBytes(Path());
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.CreatePacket());
  const std::vector<std::uint8_t> image(100000, 0x17);
  ASSERT_TRUE(packet.AddImage(3, 0, 100000, image.data(), {}));
  ASSERT_TRUE(packet.SealPacket());
  const int status = test::RunOnFullDisk(50000, [&] {
    const bool refused = !packet.SavePacket(Path()) &&
                         packet.LastError() == "Writing file " + Path() + " failed!." &&
                         packet.LastErrorDetail() == "File too large";
    return refused ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test::ReadFileBytes(Path()), before);
}

TEST_F(PacketTest, SaveKeepingAnExistingFileRefusesAndLeavesNoTemporary) {
  Save({{2, 0, std::vector<std::uint8_t>(64, 0x42)}}, Path());
  const std::vector<std::uint8_t> before = test::ReadFileBytes(Path());
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.CreatePacket());
  const std::vector<std::uint8_t> image(100000, 0x17);
  ASSERT_TRUE(packet.AddImage(3, 0, 100000, image.data(), {}));
  ASSERT_TRUE(packet.SealPacket());
  EXPECT_FALSE(packet.SavePacket(Path(), platform::ReplaceMode::kKeepExisting));
  EXPECT_EQ(packet.LastError(), "Creating file " + Path() + " failed!.");
  EXPECT_EQ(packet.LastErrorDetail(), "File exists");
  EXPECT_EQ(test::ReadFileBytes(Path()), before);
  EXPECT_EQ(test::FolderEntries(temp_.Path()), std::vector<std::string>{"p.tvf"});
  ASSERT_TRUE(packet.SavePacket(Path()));
  EXPECT_EQ(test::ReadFileBytes(Path()).size(), 6776u + 100000);
}

TEST_F(PacketTest, AddImageRefusesAThirtyThirdImageAndAnOverfullPacket) {
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.CreatePacket());
  const std::vector<std::uint8_t> bytes(IMAGE_BUFFER_SIZE, 0x11);
  for (int i = 0; i < 32; ++i) ASSERT_TRUE(packet.AddImage(0, 0, 4, bytes.data(), {}));
  EXPECT_FALSE(packet.AddImage(0, 0, 4, bytes.data(), {}));
  EXPECT_EQ(packet.LastError(), "No room for more than 32 images in the packet.");
  // 6776 + 10,000,000 + 9,993,224 is exactly 20,000,000; four bytes more do not fit.
  ASSERT_TRUE(packet.CreatePacket());
  ASSERT_TRUE(packet.AddImage(1, 0, IMAGE_BUFFER_SIZE, bytes.data(), {}));
  EXPECT_FALSE(packet.AddImage(2, 0, 9993225, bytes.data(), {}));
  EXPECT_EQ(packet.LastError(), "Buffer size not sufficient to add data.");
  EXPECT_TRUE(packet.AddImage(2, 0, 9993224, bytes.data(), {}));
}

// Entries the integrity check does not look at must never lead a copy outside a buffer. A file
// refused for them or for its length leaves the packet loaded before, whose lookups take a
// device's first entry and copy only its image.
TEST_F(PacketTest, LoadRefusesEntriesOutsideTheBuffersAndKeepsThePacketLoadedBefore) {
  const std::string beyond = "Packet entry 0 (device 2) has data beyond the end of the file.";
  auto outside = [](int device, const char* where) {
    return "Packet entry 0 (device " + std::to_string(device) +
           ") does not fit the image buffer: " + where;
  };
  const struct {
    std::uint32_t dataOffset, size, start;
    std::uint16_t device;
    std::string error;
  } cases[] = {
      {6776, 16, IMAGE_BUFFER_SIZE - 16, 2, ""},
      {6776, 16, IMAGE_BUFFER_SIZE - 17, 1, ""},
      {6776, 25, 0, 2, beyond},
      {0xFFFFFFF0u, 0x20, 0, 2, beyond},
      {6776, 16, IMAGE_BUFFER_SIZE - 15, 2, outside(2, "start 00989671, size 16.")},
      {6776, 16, 0xFFFFFFF8u, 3, outside(3, "start fffffff8, size 16.")},
      // The Boot FPGA needs one byte more, for the raised odd last block of programming.
      {6776, 16, IMAGE_BUFFER_SIZE - 16, 1, outside(1, "start 00989670, size 16.")},
  };
  const std::vector<std::uint8_t> image(17, 0x42);
  Save({{7, 0x10, image}, {7, 0x40, {9, 9}}}, Path());  // 24 bytes of data
  CFirmwarePacket packet;
  for (const auto& c : cases) {
    std::vector<std::uint8_t> bytes = test::ReadFileBytes(Path());
    PutLe32(&bytes, 2168, c.dataOffset);
    PutLe32(&bytes, 2172, c.size);
    PutLe32(&bytes, 2176, c.start);
    bytes[2168 + 124] = static_cast<std::uint8_t>(c.device);
    ResealPacket(&bytes);
    test::WriteFileBytes(Path("edited.tvf"), bytes);
    ASSERT_TRUE(packet.LoadPacket(Path()));
    const bool loaded = packet.LoadPacket(Path("edited.tvf"));
    EXPECT_EQ(loaded ? std::string() : packet.LastError(), c.error) << c.start;
  }
  ASSERT_TRUE(packet.LoadPacket(Path()));
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(Path());
  bytes.resize(20000004, 0);
  PutLe32(&bytes, 2096, 20000004);
  ResealPacket(&bytes);
  test::WriteFileBytes(Path("long.tvf"), bytes);
  EXPECT_FALSE(packet.LoadPacket(Path("long.tvf")));
  EXPECT_EQ(packet.LastError(), "File " + Path("long.tvf") + " is longer than 20000000 bytes.");

  std::vector<std::uint8_t> destination(IMAGE_BUFFER_SIZE, 0x5C);
  std::uint32_t start = 0, end = 0, size = 0;
  ASSERT_TRUE(packet.GetImage(7, destination.data(), &start, &end, &size));
  EXPECT_EQ(std::vector<std::uint32_t>({start, end, size}),
            std::vector<std::uint32_t>({0x10, 0x20, 17}));
  EXPECT_EQ(std::vector<std::uint8_t>(&destination[0x10], &destination[0x21]), image);
  // Neither the padding nor the second entry of the device is copied.
  EXPECT_EQ(std::count(destination.begin(), destination.end(), 0x5C), IMAGE_BUFFER_SIZE - 17);
}

}  // namespace
}  // namespace tarvo
