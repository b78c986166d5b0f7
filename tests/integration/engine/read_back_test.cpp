// Reading devices back from the simulated camera: the extent each device's rules give, the
// blocks that go out for it, the HD-SDI board's two select codes, and the refusals.
#include <gmock/gmock.h>

#include "link/telegram_layout.h"
#include "run_fixture.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class ReadBack : public RunFixture {
 protected:
  void SetUp() override { ConnectFresh(); }
  // A header device whose header gives the length L; data bytes behind the header.
  static PacketImage HeaderImage(DeviceIndex device, std::uint32_t length, std::uint32_t written) {
    PacketImage image = PlainImage(device, 0, written, 21);
    for (int i = 0; i < 4; ++i) image.bytes[28 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return image;
  }
  // Reads the device back; the telegrams the camera saw.
  std::vector<std::string> Traced(DeviceIndex device, int expected = 1) {
    return TracedCodes([&] { EXPECT_EQ(Dlg().ReadBackDevice(device, &found_), expected); });
  }
  std::vector<std::uint8_t> ReadBackBytes(std::uint32_t start, std::uint32_t size) {
    const std::uint8_t* at = Dlg().ReadBackBuffer() + start;
    return {at, at + size};
  }
  ReadBackImage found_;
};

// The header block is read, then the blocks the length gives: 224 bytes behind the 32-byte
// header fill one block, 225 take a second one. The whole last block lands in the buffer, past
// the reported end.
TEST_F(ReadBack, HeaderLengthGivesTheBlocksRead) {
  const struct {
    DeviceIndex device;
    std::uint32_t length;
    std::vector<std::string> telegrams;
    std::int32_t end;
  } cases[] = {{DEVICE_MAIN_FPGA, 224, {"4203", "1403@00000000", "1403@00000000", "0003"}, 255},
               {DEVICE_MEM_FPGA_1,
                225,
                {"4303", "1403@00000000", "1403@00000000", "1403@00000100", "0003"},
                256}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    const PacketImage image = HeaderImage(c.device, c.length, 600);
    FactoryWrite(image);
    EXPECT_THAT(Traced(c.device), ElementsAreArray(c.telegrams));
    EXPECT_EQ(found_.start, 0);
    EXPECT_EQ(found_.end, c.end);
    EXPECT_EQ(found_.size, c.end + 1);
    const auto whole = static_cast<std::uint32_t>((c.telegrams.size() - 3) * 256);
    EXPECT_EQ(ReadBackBytes(0, whole),
              std::vector<std::uint8_t>(image.bytes.begin(), image.bytes.begin() + whole));
  }
  // Positions: running at 0, then (a - start) x 100 / (end - start) per block, then done.
  EXPECT_THAT(window_.ProgressPositions(DEVICE_MEM_FPGA_1), ElementsAre(0, 0, 100, 100));
}

TEST_F(ReadBack, HdsdiHeaderIsConvertedFromHighByteFirstWords) {
  // Stored high byte first: converted L 1000 means word 14 reads 03 E8 -> stored E8 03.
  PacketImage image = PlainImage(DEVICE_HDSDI_FPGA, 0, 2048, 8);
  const std::uint8_t stored[4] = {0x03, 0xE8, 0x00, 0x00};
  std::copy(stored, stored + 4, image.bytes.begin() + 28);
  FactoryWrite(image);
  const auto telegrams = Traced(7);
  EXPECT_EQ(found_.end, 1535);
  EXPECT_EQ(found_.size, 1536);
  // Refused newer code, catalogue code, the two probe reads, six blocks, end of access.
  EXPECT_THAT(telegrams, ElementsAre("4a03", "4703", "1403@00000000", "1403@00000100",
                                     "1403@00000000", "1403@00000100", "1403@00000200",
                                     "1403@00000300", "1403@00000400", "1403@00000500", "0003"));
  // The data stays as read; the version comes from the converted header.
  EXPECT_EQ(ReadBackBytes(0, 1536),
            std::vector<std::uint8_t>(image.bytes.begin(), image.bytes.begin() + 1536));
  std::uint8_t converted[10];
  for (int i = 0; i < 10; i += 2) {
    converted[i] = image.bytes[i + 1];
    converted[i + 1] = image.bytes[i];
  }
  EXPECT_EQ(found_.version.variant, ImageVersionFromBytes(converted).variant);
  EXPECT_EQ(found_.version.year, ImageVersionFromBytes(converted).year);
  EXPECT_THAT(NewLogLines(), ElementsAre("Read back device HDSDI FPGA ...",
                                         "Testing, if newer rev. of HDSDI board is installed.",
                                         "Read back device HDSDI FPGA successful."));
}

TEST_F(ReadBack, NewerHdsdiBoardIsSelectedWithoutASecondTry) {
  ChangeCamera([](sim::CameraState& state) { state.settings.newerHdsdiBoard = 1; });
  const auto telegrams = Traced(7);
  EXPECT_EQ(telegrams.front(), "4a03");
  EXPECT_EQ(std::count(telegrams.begin(), telegrams.end(), "4703"), 0);
}

// Boards that address their flash in words are read at twice the offset; the data still lands
// at its byte offset.
TEST_F(ReadBack, HdsdiBoardWithWordAddressesIsReadAtScaledAddresses) {
  ChangeCamera([](sim::CameraState& state) { state.settings.hdsdiReadScale = 2; });
  const PacketImage factory = RecognisedImage(DEVICE_HDSDI_FPGA, 1, 1, 0);
  const auto telegrams = Traced(7);
  EXPECT_EQ(telegrams[4], "1403@00000000");
  EXPECT_EQ(telegrams[5], "1403@00000200");
  ASSERT_EQ(found_.size, static_cast<std::int32_t>(factory.bytes.size()));
  EXPECT_EQ(ReadBackBytes(0, found_.size), factory.bytes);
  EXPECT_EQ(found_.version.major, 1);
}

TEST_F(ReadBack, BootUpIsItsFixedAreaWithTheVersionInside) {
  const PacketImage factory = RecognisedImage(DEVICE_BOOT_UP, 1, 4, 11);
  FactoryWrite(factory);
  const auto telegrams = Traced(0);
  EXPECT_EQ(found_.start, 0xD0000);
  EXPECT_EQ(found_.end, 0xDFFFF);
  EXPECT_EQ(found_.size, 65536);
  EXPECT_EQ(telegrams.size(), 258u);
  EXPECT_EQ(telegrams[1], "1403@000d0000");
  EXPECT_EQ(found_.version.major, 4);
  EXPECT_EQ(found_.version.minor, 11);
  const std::uint32_t offset = 0xD0000 - factory.start;
  EXPECT_EQ(ReadBackBytes(0xD0000, 65536),
            std::vector<std::uint8_t>(factory.bytes.begin() + offset,
                                      factory.bytes.begin() + offset + 65536));
}

TEST_F(ReadBack, BootUpOfMajorVersionZeroIsRefusedWithoutATelegram) {
  FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 0, 95));
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  ASSERT_EQ(Dlg().Camera().current[0], (DeviceVersion{1, 0, 95}));
  NewLogLines();
  window_.ClearRecords();
  const auto telegrams = Traced(0, 0);
  EXPECT_TRUE(telegrams.empty());
  EXPECT_THAT(NewLogLines(),
              ElementsAre("Current version of Boot uP is too old and will not be backuped."));
  EXPECT_TRUE(window_.StatusLines().empty());
  EXPECT_EQ(window_.Row(0).progressBar, (ProgressColour{0, 0, 255}));
}

// A failing header read comes before the block loop and has no address line; after the header
// block, the loop reads at 0, 0x100, 0x200: the fourth read fails in the third block.
TEST_F(ReadBack, FailingReadsGiveTheirCodeAndAddress) {
  const struct {
    DeviceIndex device;
    std::uint32_t nth;
    std::vector<std::string> failure;  // the lines after "ERROR: Read back device ..."
  } cases[] = {
      {DEVICE_MAIN_UP, 1, {"  - function return 8003105b."}},
      {DEVICE_MAIN_FPGA, 4, {"  - function return 8003105b.", "  - failed at addr. 00000200,"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.nth);
    const char* name = DeviceDisplayName(c.device);
    FailTelegram(telegram::kReadBlock, c.nth, sim::CameraError(sim::kFwReadingFailed));
    EXPECT_EQ(Dlg().ReadBackDevice(c.device, &found_), 0);
    const std::vector<std::string> lines = NewLogLines();
    ASSERT_EQ(lines.size(), c.failure.size() + 3);
    EXPECT_EQ(lines[1], FormatText("ERROR: Read back device %s failed!", name));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end() - 1), c.failure);
    EXPECT_EQ(lines.back().rfind(FormatText("Error programming device %s: ", name), 0), 0u);
    EXPECT_EQ(window_.Row(c.device).progressBar, (ProgressColour{255, 0, 0}));
    EXPECT_EQ(CurrentLinkState().library, nullptr);
  }
}

// Sizes below 2 bytes are no firmware; the last block, read whole, must stay inside the
// read-back buffer of 39062 whole blocks (9,999,872 bytes). Refused headers read nothing
// beyond the header. Boot FPGA has no header: its length field means nothing.
TEST_F(ReadBack, HeaderLengthsTheBufferCannotHoldAreRefused) {
  const struct {
    DeviceIndex device;
    std::uint32_t length;
    bool accepted;
  } cases[] = {{DEVICE_MAIN_FPGA, 9999872 - 32 + 1, false},
               {DEVICE_MAIN_FPGA, 0xFFFFFFF0u, false},
               {DEVICE_COLOR_DATA, 0xFFFFFFFFu, false},
               {DEVICE_HDSDI_FPGA, 9999872, false},
               {DEVICE_BOOT_FPGA, 0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatText("device %u, length %u", c.device, c.length));
    PacketImage image = HeaderImage(c.device, c.length, 512);
    if (c.device == DEVICE_HDSDI_FPGA) {
      for (int i = 28; i < 32; i += 2) std::swap(image.bytes[i], image.bytes[i + 1]);
    }
    FactoryWrite(image);
    const std::vector<std::string> telegrams = Traced(c.device, c.accepted ? 1 : 0);
    if (c.accepted) continue;
    const std::vector<std::string> lines = NewLogLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 2],
              FormatText("ERROR: Read back device %s failed!", DeviceDisplayName(c.device)));
    EXPECT_EQ(lines.back().rfind("  - header gives a firmware size of ", 0), 0u) << lines.back();
    EXPECT_EQ(window_.Row(c.device).progressBar, (ProgressColour{255, 0, 0}));
    EXPECT_EQ(telegrams.back(), "0003");
    EXPECT_EQ(CurrentLinkState().library, nullptr);
  }
}

}  // namespace
}  // namespace tarvo::test
