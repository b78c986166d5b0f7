#include "firmware/firmware_packet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "firmware/image_version.h"
#include "support/packet_bytes.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

platform::CalendarTime SealTime() {
  return {2026, 3, 9, 14, 7, 0, 0};
}

std::uint16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}
using test::Le32;
using test::PutLe32;
using test::ResealPacket;
using test::WordSum;

// Variant 1, version 2.3, 10:20 on 3.4.2025.
ImageVersion Version() {
  const std::uint8_t bytes[10] = {3, 2, 1, 0, 10, 20, 3, 4, 0xE9, 0x07};
  return ImageVersionFromBytes(bytes);
}

class PacketTest : public ::testing::Test {
 protected:
  std::string Path(const char* name = "p.tvf") const { return temp_.File(name); }

  // Builds, seals and saves a packet with the given images (device, start, bytes).
  struct Image {
    std::uint16_t device;
    std::uint32_t start;
    std::vector<std::uint8_t> bytes;
  };
  void Save(const std::vector<Image>& images, const std::string& path) {
    CFirmwarePacket packet(&SealTime);
    ASSERT_TRUE(packet.CreatePacket());
    for (const Image& image : images) {
      ASSERT_TRUE(packet.AddImage(image.device, image.start,
                                  static_cast<std::uint32_t>(image.bytes.size()),
                                  image.bytes.data(), Version()));
    }
    ProgramOrder order;
    order.fill(ORDER_END);
    order[0] = 2;
    order[1] = ORDER_REBOOT;
    ASSERT_TRUE(packet.SetOrder(order));
    ASSERT_TRUE(packet.SealPacket());
    ASSERT_TRUE(packet.SavePacket(path)) << packet.LastError();
  }

  test::TempFolder temp_;
};

TEST_F(PacketTest, SealedPacketHasTheFixedHeaderBytes) {
  Save({{2, 0x100, {1, 2, 3, 4, 5}}}, Path());
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(Path());
  ASSERT_EQ(bytes.size(), 6776u + 8);  // 5 bytes take 8
  EXPECT_EQ(Le16(bytes, 0), 6776);
  EXPECT_EQ(Le16(bytes, 2), 2);
  EXPECT_EQ(std::string(bytes.begin() + 4, bytes.begin() + 12), "ORVTRVFW");
  const std::string text = "Firmware packet file for orva.tarvo";
  EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 12 + text.size()), text);
  for (std::size_t i = 12 + text.size(); i < 2012; ++i) ASSERT_EQ(bytes[i], 0) << i;
  const std::string created = "File created: 09.03.2026 14:07.";
  EXPECT_EQ(std::string(bytes.begin() + 2012, bytes.begin() + 2012 + created.size()), created);
  EXPECT_EQ(bytes[2012 + created.size()], 0);
  EXPECT_EQ(Le16(bytes, 2092), 1);
  EXPECT_EQ(Le32(bytes, 2096), 6784u);
  EXPECT_EQ(WordSum(bytes), 0x87654322u);
  // Entry 0: data offset, unpadded size, start, device, version record.
  EXPECT_EQ(Le32(bytes, 2168), 6776u);
  EXPECT_EQ(Le32(bytes, 2172), 5u);
  EXPECT_EQ(Le32(bytes, 2176), 0x100u);
  EXPECT_EQ(Le16(bytes, 2168 + 124), 2);
  const std::vector<std::uint8_t> version(bytes.begin() + 2168 + 126, bytes.begin() + 2168 + 136);
  EXPECT_EQ(version, (std::vector<std::uint8_t>{3, 2, 1, 0, 10, 20, 3, 4, 0xE9, 0x07}));
  for (std::size_t i = 2168 + 136; i < 6648; ++i) ASSERT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(Le16(bytes, 6648), 2);
  EXPECT_EQ(Le16(bytes, 6650), ORDER_REBOOT);
  EXPECT_EQ(Le16(bytes, 6652), ORDER_END);
  EXPECT_EQ(Le16(bytes, 6774), ORDER_END);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 6776, bytes.end()),
            (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 0, 0, 0}));
}

TEST_F(PacketTest, ImagesFollowTheHeaderOnFourByteBoundaries) {
  CFirmwarePacket packet;
  Save({}, Path("empty.tvf"));
  EXPECT_EQ(test::ReadFileBytes(Path("empty.tvf")).size(), 6776u);
  ASSERT_TRUE(packet.LoadPacket(Path("empty.tvf")));
  EXPECT_TRUE(packet.LoadedEntries().empty());

  Save({{0, 0, std::vector<std::uint8_t>(7, 0xAA)}, {5, 32, std::vector<std::uint8_t>(4, 0xBB)}},
       Path());
  ASSERT_TRUE(packet.LoadPacket(Path()));
  const std::vector<PacketEntryInfo> entries = packet.LoadedEntries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].dataOffset, 6776u);
  EXPECT_EQ(entries[1].dataOffset, 6784u);
  EXPECT_EQ(test::ReadFileBytes(Path()).size(), 6788u);
}

TEST_F(PacketTest, CheckRefusesDamagedFilesWithTheIntegrityTextAndSaysWhy) {
  Save({{2, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}}, Path());
  const std::vector<std::uint8_t> good = test::ReadFileBytes(Path());
  CFirmwarePacket packet;
  auto expectRefused = [&](const std::vector<std::uint8_t>& bytes, const std::string& why) {
    test::WriteFileBytes(Path("bad.tvf"), bytes);
    EXPECT_FALSE(packet.CheckPacketFile(Path("bad.tvf"))) << why;
    EXPECT_EQ(packet.LastError(), "Firmware packet file integrity check failed.") << why;
    EXPECT_EQ(packet.LastErrorDetail(), why);
  };
  expectRefused({}, "The file is empty.");
  expectRefused(std::vector<std::uint8_t>(good.begin(), good.begin() + 6775),
                "The file has 6775 bytes, fewer than the 6776 of a packet header.");
  const char* const kSumWrong = "instead of 87654322: the content or the check word was changed.";
  for (std::size_t offset : {2u, 2100u, 3000u, 6776u, 6787u}) {
    std::vector<std::uint8_t> bytes = good;
    bytes[offset] ^= 0x01;
    test::WriteFileBytes(Path("bad.tvf"), bytes);
    EXPECT_FALSE(packet.CheckPacketFile(Path("bad.tvf")));
    EXPECT_NE(packet.LastErrorDetail().find(kSumWrong), std::string::npos) << offset;
  }
  std::vector<std::uint8_t> magic = good;
  magic[5] ^= 0x01;
  expectRefused(magic, "The file does not carry the packet mark \"ORVTRVFW\" at offset 4.");
  std::vector<std::uint8_t> text = good;
  text[12] = 'f';
  expectRefused(text, "The header text is not \"Firmware packet file for orva.tarvo\".");
  // Right sum, but the length field does not tell the file's length.
  std::vector<std::uint8_t> longer(good.begin(), good.begin() + 6776);
  longer.resize(6780, 0);
  PutLe32(&longer, 2096, 6776);
  ResealPacket(&longer);
  expectRefused(longer, "The length field says 6776 bytes, the file has 6780.");
  std::vector<std::uint8_t> odd = good;
  odd.push_back(0);
  expectRefused(odd, "The file's length of 6789 bytes is not a multiple of 4.");
  std::vector<std::uint8_t> small = good;
  small[0] = 0x77;
  small[1] = 0x1A;  // 6775
  ResealPacket(&small);
  expectRefused(small, "The header size field is 6775, less than 6776.");

  // The sum does not depend on the order of the words: swapped data words still pass.
  std::vector<std::uint8_t> swapped = good;
  std::swap_ranges(swapped.begin() + 6776, swapped.begin() + 6780, swapped.begin() + 6780);
  test::WriteFileBytes(Path("swapped.tvf"), swapped);
  EXPECT_TRUE(packet.CheckPacketFile(Path("swapped.tvf")));
  // Bytes after the header text's terminating zero are not compared.
  std::vector<std::uint8_t> textTail = good;
  textTail[12 + 40] = 'x';
  ResealPacket(&textTail);
  test::WriteFileBytes(Path("tail.tvf"), textTail);
  EXPECT_TRUE(packet.CheckPacketFile(Path("tail.tvf")));
}

TEST_F(PacketTest, MissingFilesAndFoldersGiveTheirTexts) {
  CFirmwarePacket packet;
  EXPECT_EQ(packet.LastError(), "No error.");
  const std::string missing = Path("missing.tvf");
  EXPECT_FALSE(packet.CheckPacketFile(missing));
  EXPECT_EQ(packet.LastError(), "Open file " + missing + " failed!.");
  EXPECT_FALSE(packet.LoadPacket(missing));
  EXPECT_EQ(packet.LastError(), "Open file " + missing + " failed!.");

  ASSERT_TRUE(packet.CreatePacket());
  ASSERT_TRUE(packet.SealPacket());
  const std::string nowhere = temp_.File("no-such-folder/p.tvf");
  EXPECT_FALSE(packet.SavePacket(nowhere));
  EXPECT_EQ(packet.LastError(), "Creating file " + nowhere + " failed!.");
  EXPECT_EQ(packet.LastErrorDetail(), "No such file or directory");
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

TEST_F(PacketTest, OperationsWithoutBuffersAreRefused) {
  CFirmwarePacket packet;
  const ImageVersion version;
  const std::uint8_t byte = 0;
  EXPECT_FALSE(packet.AddImage(0, 0, 1, &byte, version));
  EXPECT_EQ(packet.LastError(), "No buffer allocated for creating packet.");
  EXPECT_FALSE(packet.SealPacket());
  EXPECT_FALSE(packet.SavePacket(Path()));
  EXPECT_EQ(packet.LastError(), "No buffer allocated for creating packet.");
  ImageVersion found;
  EXPECT_FALSE(packet.FindImageVersion(0, &found));
  EXPECT_EQ(packet.LastError(), "No buffer allocated for loading packet.");
  std::vector<std::uint8_t> destination(IMAGE_BUFFER_SIZE);
  std::uint32_t start = 0, end = 0, size = 0;
  EXPECT_FALSE(packet.GetImage(0, destination.data(), &start, &end, &size));
  EXPECT_EQ(packet.LastError(), "No buffer allocated for loading packet.");
  ProgramOrder order;
  EXPECT_FALSE(packet.GetOrder(&order));
}

TEST_F(PacketTest, LookupsTakeTheFirstEntryCopyOnlyTheImageAndSurviveAFailedLoad) {
  Save({{7, 0x10, {1, 2, 3, 4, 5}}, {7, 0x40, {9, 9}}, {3, 0, {6}}}, Path());
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.LoadPacket(Path()));
  std::vector<std::uint8_t> destination(IMAGE_BUFFER_SIZE, 0x5C);
  std::uint32_t start = 0, end = 0, size = 0;
  ASSERT_TRUE(packet.GetImage(7, destination.data(), &start, &end, &size));
  EXPECT_EQ(start, 0x10u);
  EXPECT_EQ(end, 0x14u);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(destination[0x0F], 0x5C);
  EXPECT_EQ(destination[0x10], 1);
  EXPECT_EQ(destination[0x14], 5);
  EXPECT_EQ(destination[0x15], 0x5C);  // the padding is not copied
  EXPECT_EQ(destination[0x40], 0x5C);  // the second entry is never taken

  ImageVersion version;
  ASSERT_TRUE(packet.FindImageVersion(3, &version));
  EXPECT_EQ(version.variant, 1);
  EXPECT_EQ(version.major, 2);
  EXPECT_EQ(version.minor, 3);
  EXPECT_FALSE(packet.FindImageVersion(4, &version));
  EXPECT_EQ(packet.LastError(), "Device 4 not found");

  ProgramOrder order;
  ASSERT_TRUE(packet.GetOrder(&order));
  EXPECT_EQ(order[0], 2);
  EXPECT_EQ(order[1], ORDER_REBOOT);
  EXPECT_EQ(order[63], ORDER_END);

  // A file failing the check leaves the packet loaded before.
  std::vector<std::uint8_t> damaged = test::ReadFileBytes(Path());
  damaged[6776] ^= 0xFF;
  test::WriteFileBytes(Path("damaged.tvf"), damaged);
  EXPECT_FALSE(packet.LoadPacket(Path("damaged.tvf")));
  EXPECT_TRUE(packet.FindImageVersion(3, &version));
}

TEST_F(PacketTest, AddImageRefusesAThirtyThirdImageAndAnOverfullPacket) {
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.CreatePacket());
  const std::vector<std::uint8_t> bytes(IMAGE_BUFFER_SIZE, 0x11);
  for (int i = 0; i < 32; ++i) ASSERT_TRUE(packet.AddImage(0, 0, 4, bytes.data(), {}));
  EXPECT_FALSE(packet.AddImage(0, 0, 4, bytes.data(), {}));
  EXPECT_EQ(packet.LastError(), "No room for more than 32 images in the packet.");
  ASSERT_TRUE(packet.SealPacket());
  ASSERT_TRUE(packet.SavePacket(Path()));
  EXPECT_EQ(test::ReadFileBytes(Path()).size(), 6776u + 32 * 4);

  // 6776 + 10,000,000 + 9,993,224 is exactly 20,000,000; four bytes more do not fit.
  ASSERT_TRUE(packet.CreatePacket());
  ASSERT_TRUE(packet.AddImage(1, 0, IMAGE_BUFFER_SIZE, bytes.data(), {}));
  EXPECT_FALSE(packet.AddImage(2, 0, 9993225, bytes.data(), {}));
  EXPECT_EQ(packet.LastError(), "Buffer size not sufficient to add data.");
  ASSERT_TRUE(packet.AddImage(2, 0, 9993224, bytes.data(), {}));
  ASSERT_TRUE(packet.SealPacket());
  ASSERT_TRUE(packet.SavePacket(Path("full.tvf")));
  EXPECT_EQ(test::ReadFileBytes(Path("full.tvf")).size(), 20000000u);
}

// Entries the integrity check does not look at: they must never lead a copy outside a buffer.
class PacketEntryLimitTest : public PacketTest {
 protected:
  // A valid packet whose first entry is changed by hand and resealed.
  std::string WithEntry(std::uint32_t dataOffset, std::uint32_t size, std::uint32_t start,
                        std::uint16_t device) {
    Save({{device, 0, std::vector<std::uint8_t>(16, 0x42)}}, Path("base.tvf"));
    std::vector<std::uint8_t> bytes = test::ReadFileBytes(Path("base.tvf"));
    PutLe32(&bytes, 2168, dataOffset);
    PutLe32(&bytes, 2172, size);
    PutLe32(&bytes, 2176, start);
    ResealPacket(&bytes);
    test::WriteFileBytes(Path("edited.tvf"), bytes);
    return Path("edited.tvf");
  }
};

TEST_F(PacketEntryLimitTest, EntriesWithinFileAndImageBufferLoad) {
  CFirmwarePacket packet;
  EXPECT_TRUE(packet.LoadPacket(WithEntry(6776, 16, IMAGE_BUFFER_SIZE - 16, 2)));
  EXPECT_TRUE(packet.LoadPacket(WithEntry(6776, 16, IMAGE_BUFFER_SIZE - 17, 1)));
  std::vector<std::uint8_t> destination(IMAGE_BUFFER_SIZE);
  std::uint32_t start = 0, end = 0, size = 0;
  ASSERT_TRUE(packet.GetImage(1, destination.data(), &start, &end, &size));
  EXPECT_EQ(end, IMAGE_BUFFER_SIZE - 2);
}

TEST_F(PacketEntryLimitTest, EntriesOutsideFileOrImageBufferAreRefusedOnLoad) {
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.LoadPacket(WithEntry(6776, 16, 0, 2)));
  const std::string beyondFile = WithEntry(6776, 17, 0, 2);
  EXPECT_TRUE(packet.CheckPacketFile(beyondFile));
  EXPECT_FALSE(packet.LoadPacket(beyondFile));
  EXPECT_EQ(packet.LastError(), "Packet entry 0 (device 2) has data beyond the end of the file.");
  EXPECT_FALSE(packet.LoadPacket(WithEntry(0xFFFFFFF0u, 0x20, 0, 2)));
  EXPECT_EQ(packet.LastError(), "Packet entry 0 (device 2) has data beyond the end of the file.");

  EXPECT_FALSE(packet.LoadPacket(WithEntry(6776, 16, IMAGE_BUFFER_SIZE - 15, 2)));
  EXPECT_EQ(packet.LastError(),
            "Packet entry 0 (device 2) does not fit the image buffer: start 00989671, size 16.");
  EXPECT_FALSE(packet.LoadPacket(WithEntry(6776, 16, 0xFFFFFFF8u, 3)));
  // The Boot FPGA needs one byte more, for the raised odd last block of programming.
  EXPECT_FALSE(packet.LoadPacket(WithEntry(6776, 16, IMAGE_BUFFER_SIZE - 16, 1)));

  // The packet loaded before stays.
  std::vector<std::uint8_t> destination(IMAGE_BUFFER_SIZE);
  std::uint32_t start = 0, end = 0, size = 0;
  ASSERT_TRUE(packet.GetImage(2, destination.data(), &start, &end, &size));
  EXPECT_EQ(size, 16u);
}

TEST_F(PacketTest, LoadRefusesAValidFileLongerThanTheLoadBuffer) {
  std::vector<std::uint8_t> bytes(20000004, 0);
  Save({}, Path());
  const std::vector<std::uint8_t> header = test::ReadFileBytes(Path());
  std::copy(header.begin(), header.end(), bytes.begin());
  PutLe32(&bytes, 2096, 20000004);
  ResealPacket(&bytes);
  test::WriteFileBytes(Path("long.tvf"), bytes);
  CFirmwarePacket packet;
  EXPECT_TRUE(packet.CheckPacketFile(Path("long.tvf")));
  EXPECT_FALSE(packet.LoadPacket(Path("long.tvf")));
  EXPECT_EQ(packet.LastError(), "File " + Path("long.tvf") + " is longer than 20000000 bytes.");
}

}  // namespace
}  // namespace tarvo
