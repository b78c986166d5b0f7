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
  void SetUp() override {
    Start();
    ASSERT_EQ(Dlg().ConnectCamera(), 1);
    window_.ClearRecords();
    NewLogLines();
  }
  // A header device whose header gives the length L; data bytes behind the header.
  PacketImage HeaderImage(DeviceIndex device, std::uint32_t length, std::uint32_t written) {
    PacketImage image = PlainImage(device, 0, written, 21);
    for (int i = 0; i < 4; ++i) image.bytes[28 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return image;
  }
  std::vector<std::uint8_t> ReadBackBytes(std::uint32_t start, std::uint32_t size) {
    const std::uint8_t* at = Dlg().ReadBackBuffer() + start;
    return {at, at + size};
  }
};

TEST_F(ReadBack, HeaderLength224IsOneBlockReadTwice) {
  const PacketImage image = HeaderImage(DEVICE_MAIN_FPGA, 224, 600);
  FactoryWrite(image);
  ReadBackImage found;
  const auto telegrams = TracedCodes([&] { ASSERT_EQ(Dlg().ReadBackDevice(2, &found), 1); });
  EXPECT_THAT(telegrams, ElementsAre("4203", "1403@00000000", "1403@00000000", "0003"));
  EXPECT_EQ(found.start, 0);
  EXPECT_EQ(found.end, 255);
  EXPECT_EQ(found.size, 256);
  EXPECT_EQ(ReadBackBytes(0, 256),
            std::vector<std::uint8_t>(image.bytes.begin(), image.bytes.begin() + 256));
}

TEST_F(ReadBack, HeaderLength225TakesASecondBlock) {
  const PacketImage image = HeaderImage(DEVICE_MEM_FPGA_1, 225, 600);
  FactoryWrite(image);
  ReadBackImage found;
  const auto telegrams = TracedCodes([&] { ASSERT_EQ(Dlg().ReadBackDevice(3, &found), 1); });
  EXPECT_THAT(telegrams,
              ElementsAre("4303", "1403@00000000", "1403@00000000", "1403@00000100", "0003"));
  EXPECT_EQ(found.end, 256);
  EXPECT_EQ(found.size, 257);
  // Positions: running at 0, then (a - start) x 100 / (end - start) per block, then done.
  EXPECT_THAT(window_.ProgressPositions(3), ElementsAre(0, 0, 100, 100));
  // The whole last block lands in the buffer, past the reported end.
  EXPECT_EQ(ReadBackBytes(0, 512),
            std::vector<std::uint8_t>(image.bytes.begin(), image.bytes.begin() + 512));
}

TEST_F(ReadBack, HdsdiHeaderIsConvertedFromHighByteFirstWords) {
  // Stored high byte first: converted L 1000 means word 14 reads 03 E8 -> stored E8 03.
  PacketImage image = PlainImage(DEVICE_HDSDI_FPGA, 0, 2048, 8);
  const std::uint8_t stored[4] = {0x03, 0xE8, 0x00, 0x00};
  std::copy(stored, stored + 4, image.bytes.begin() + 28);
  FactoryWrite(image);
  ReadBackImage found;
  const auto telegrams = TracedCodes([&] { ASSERT_EQ(Dlg().ReadBackDevice(7, &found), 1); });
  EXPECT_EQ(found.end, 1535);
  EXPECT_EQ(found.size, 1536);
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
  EXPECT_EQ(found.version.variant, ImageVersionFromBytes(converted).variant);
  EXPECT_EQ(found.version.year, ImageVersionFromBytes(converted).year);
  EXPECT_THAT(NewLogLines(), ElementsAre("Read back device HDSDI FPGA ...",
                                         "Testing, if newer rev. of HDSDI board is installed.",
                                         "Read back device HDSDI FPGA successful."));
}

TEST_F(ReadBack, NewerHdsdiBoardIsSelectedWithoutASecondTry) {
  ChangeCamera([](sim::CameraState& state) { state.settings.newerHdsdiBoard = 1; });
  ReadBackImage found;
  const auto telegrams = TracedCodes([&] { ASSERT_EQ(Dlg().ReadBackDevice(7, &found), 1); });
  EXPECT_EQ(telegrams.front(), "4a03");
  EXPECT_EQ(std::count(telegrams.begin(), telegrams.end(), "4703"), 0);
}

// Boards that address their flash in words are read at twice the offset; the data still lands
// at its byte offset.
TEST_F(ReadBack, HdsdiBoardWithWordAddressesIsReadAtScaledAddresses) {
  ChangeCamera([](sim::CameraState& state) { state.settings.hdsdiReadScale = 2; });
  const PacketImage factory = RecognisedImage(DEVICE_HDSDI_FPGA, 1, 1, 0);
  ReadBackImage found;
  const auto telegrams = TracedCodes([&] { ASSERT_EQ(Dlg().ReadBackDevice(7, &found), 1); });
  EXPECT_EQ(telegrams[4], "1403@00000000");
  EXPECT_EQ(telegrams[5], "1403@00000200");
  ASSERT_EQ(found.size, static_cast<std::int32_t>(factory.bytes.size()));
  EXPECT_EQ(ReadBackBytes(0, found.size), factory.bytes);
  EXPECT_EQ(found.version.major, 1);
}

TEST_F(ReadBack, BootUpIsItsFixedAreaWithTheVersionInside) {
  const PacketImage factory = RecognisedImage(DEVICE_BOOT_UP, 1, 4, 11);
  FactoryWrite(factory);
  ReadBackImage found;
  const auto telegrams = TracedCodes([&] { ASSERT_EQ(Dlg().ReadBackDevice(0, &found), 1); });
  EXPECT_EQ(found.start, 0xD0000);
  EXPECT_EQ(found.end, 0xDFFFF);
  EXPECT_EQ(found.size, 65536);
  EXPECT_EQ(telegrams.size(), 258u);
  EXPECT_EQ(telegrams[1], "1403@000d0000");
  EXPECT_EQ(found.version.major, 4);
  EXPECT_EQ(found.version.minor, 11);
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
  ReadBackImage found;
  const auto telegrams = TracedCodes([&] { EXPECT_EQ(Dlg().ReadBackDevice(0, &found), 0); });
  EXPECT_TRUE(telegrams.empty());
  EXPECT_THAT(NewLogLines(),
              ElementsAre("Current version of Boot uP is too old and will not be backuped."));
  EXPECT_TRUE(window_.StatusLines().empty());
  EXPECT_EQ(window_.Row(0).progressBar, (ProgressColour{0, 0, 255}));
}

TEST_F(ReadBack, ReadErrorInTheThirdBlockNamesItsAddress) {
  // The header block, then the loop's blocks at 0, 0x100, 0x200: the fourth read fails.
  FailTelegram(telegram::kReadBlock, 4, sim::CameraError(sim::kFwReadingFailed));
  ReadBackImage found;
  EXPECT_EQ(Dlg().ReadBackDevice(DEVICE_MAIN_FPGA, &found), 0);
  const std::vector<std::string> lines = NewLogLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "ERROR: Read back device Main FPGA failed!");
  EXPECT_EQ(lines[2], "  - function return 8003105b.");
  EXPECT_EQ(lines[3], "  - failed at addr. 00000200,");
  EXPECT_EQ(lines[4].rfind("Error programming device Main FPGA: ", 0), 0u) << lines[4];
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, (ProgressColour{255, 0, 0}));
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

TEST_F(ReadBack, FailingHeaderReadHasNoAddressLine) {
  FailTelegram(telegram::kReadBlock, 1, sim::CameraError(sim::kFwReadingFailed));
  ReadBackImage found;
  EXPECT_EQ(Dlg().ReadBackDevice(DEVICE_MAIN_UP, &found), 0);
  const std::vector<std::string> lines = NewLogLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "  - function return 8003105b.");
}

struct HeaderLengthCase {
  DeviceIndex device;
  std::uint32_t length;
  bool accepted;
};

class HeaderLengthBounds : public ReadBack,
                           public ::testing::WithParamInterface<HeaderLengthCase> {};

// Sizes below 2 bytes are no firmware; the last block, read whole, must stay inside the
// read-back buffer. Refused headers read nothing beyond the header.
TEST_P(HeaderLengthBounds, LengthsTheBufferCannotHoldAreRefused) {
  const HeaderLengthCase& param = GetParam();
  PacketImage image = PlainImage(param.device, 0, 512, 3);
  std::uint8_t field[4];
  for (int i = 0; i < 4; ++i) field[i] = static_cast<std::uint8_t>(param.length >> (8 * i));
  if (param.device == DEVICE_HDSDI_FPGA) {
    image.bytes[28] = field[1];
    image.bytes[29] = field[0];
    image.bytes[30] = field[3];
    image.bytes[31] = field[2];
  } else {
    std::copy(field, field + 4, image.bytes.begin() + 28);
  }
  FactoryWrite(image);
  ReadBackImage found;
  std::vector<std::string> telegrams;
  if (param.accepted) {
    telegrams = TracedCodes([&] { EXPECT_EQ(Dlg().ReadBackDevice(param.device, &found), 1); });
    return;
  }
  telegrams = TracedCodes([&] { EXPECT_EQ(Dlg().ReadBackDevice(param.device, &found), 0); });
  const std::vector<std::string> lines = NewLogLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 2],
            FormatText("ERROR: Read back device %s failed!", DeviceDisplayName(param.device)));
  EXPECT_EQ(lines.back().rfind("  - header gives a firmware size of ", 0), 0u) << lines.back();
  EXPECT_EQ(window_.Row(param.device).progressBar, (ProgressColour{255, 0, 0}));
  EXPECT_EQ(telegrams.back(), "0003");
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

// The buffer takes 39062 whole blocks: 9,999,872 bytes.
INSTANTIATE_TEST_SUITE_P(Lengths, HeaderLengthBounds,
                         ::testing::Values(HeaderLengthCase{DEVICE_MAIN_FPGA, 9999872 - 32 + 1,
                                                            false},
                                           HeaderLengthCase{DEVICE_MAIN_FPGA, 0xFFFFFFF0u, false},
                                           HeaderLengthCase{DEVICE_COLOR_DATA, 0xFFFFFFFFu, false},
                                           HeaderLengthCase{DEVICE_HDSDI_FPGA, 9999872, false},
                                           HeaderLengthCase{DEVICE_BOOT_FPGA, 0, true}),
                         [](const ::testing::TestParamInfo<HeaderLengthCase>& info) {
                           return FormatText("Device%u_Length%u", info.param.device,
                                             info.param.length);
                         });

}  // namespace
}  // namespace tarvo::test
