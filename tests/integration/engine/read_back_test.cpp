// Reading devices back from the simulated camera: the extent each device's rules give, the
// blocks that go out for it, the HD-SDI board's two select codes, and the refusals.
#include <gmock/gmock.h>

#include "engine_fixture.h"
#include "link/link.h"
#include "link/telegram_layout.h"
#include "log/format_text.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class ReadBack : public EngineFixture {
 protected:
  void SetUp() override { ConnectFresh(); }
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
// header fill one block, 225 take a second one; the whole last block lands in the buffer, past
// the reported end. Sizes below 2 bytes are no firmware, and the last block must stay inside
// the read-back buffer of 39062 whole blocks (9,999,872 bytes): such headers are refused and
// nothing is read beyond them. Boot FPGA has no header: its length field means nothing.
TEST_F(ReadBack, HeaderLengthGivesTheBlocksRead) {
  const struct {
    DeviceIndex device;
    std::uint32_t length;
    std::int32_t end;  // -1: refused
    std::vector<std::string> telegrams;
  } cases[] = {// clang-format off
      {DEVICE_MAIN_FPGA, 224, 255, {"4203", "1403@00000000", "1403@00000000", "0003"}},
      {DEVICE_MEM_FPGA_1, 225, 256,
       {"4303", "1403@00000000", "1403@00000000", "1403@00000100", "0003"}},
      {DEVICE_MAIN_FPGA, 9999872 - 32 + 1, -1, {"4203", "1403@00000000", "0003"}},
      {DEVICE_MAIN_FPGA, 0xFFFFFFF0u, -1, {"4203", "1403@00000000", "0003"}},
      {DEVICE_COLOR_DATA, 0xFFFFFFFFu, -1, {"4b03", "1403@00000000", "0003"}},
      {DEVICE_HDSDI_FPGA, 9999872, -1, {}},
      {DEVICE_BOOT_FPGA, 0, 0, {}}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatText("device %u, length %u", c.device, c.length));
    PacketImage image = PlainImage(c.device, 0, 600, 21);
    for (int i = 0; i < 4; ++i)
      image.bytes[28 + i] = static_cast<std::uint8_t>(c.length >> (8 * i));
    if (c.device == DEVICE_HDSDI_FPGA) {
      for (int i = 28; i < 32; i += 2) std::swap(image.bytes[i], image.bytes[i + 1]);
    }
    FactoryWrite(image);
    const std::vector<std::string> telegrams = Traced(c.device, c.end < 0 ? 0 : 1);
    if (!c.telegrams.empty()) {
      EXPECT_EQ(telegrams, c.telegrams);
    }
    if (c.end > 0) {
      EXPECT_EQ(found_.start, 0);
      EXPECT_EQ(found_.end, c.end);
      EXPECT_EQ(found_.size, c.end + 1);
      const auto whole = static_cast<std::uint32_t>((c.telegrams.size() - 3) * 256);
      EXPECT_EQ(ReadBackBytes(0, whole),
                std::vector<std::uint8_t>(image.bytes.begin(), image.bytes.begin() + whole));
    } else if (c.end < 0) {
      const std::vector<std::string> lines = NewLogLines();
      ASSERT_GE(lines.size(), 3u);
      EXPECT_EQ(lines[lines.size() - 2],
                FormatText("ERROR: Read back device %s failed!", DeviceDisplayName(c.device)));
      EXPECT_TRUE(lines.back().starts_with("  - header gives a firmware size of ")) << lines.back();
      EXPECT_EQ(window_.Row(c.device).progressBar, kRed);
      EXPECT_EQ(telegrams.back(), "0003");
      EXPECT_EQ(CurrentLinkState().library, nullptr);
    }
    NewLogLines();
  }
  // Positions: running at 0, then (a - start) x 100 / (end - start) per block, then done.
  EXPECT_THAT(window_.ProgressPositions(DEVICE_MEM_FPGA_1), ElementsAre(0, 0, 100, 100));

  FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 4, 11));
  const std::vector<std::string> boot = Traced(DEVICE_BOOT_UP);
  EXPECT_EQ(boot.size(), 258u);
  EXPECT_EQ(boot[1], "1403@000d0000");
  EXPECT_EQ(found_.start, 0xD0000);
  EXPECT_EQ(found_.end, 0xDFFFF);
  EXPECT_EQ(found_.version.minor, 11);
}

// The newer board's code is tried first; a refusal falls back to the catalogue code. The
// header is stored in high-byte-first words: converted L 1000 means word 14 reads 03 E8, stored
// E8 03. Boards that address their flash in words are read at twice the offset.
TEST_F(ReadBack, HdsdiBoardsAndTheirHeaders) {
  PacketImage image = PlainImage(DEVICE_HDSDI_FPGA, 0, 2048, 8);
  image.bytes[28] = 0x03;
  image.bytes[29] = 0xE8;
  image.bytes[30] = image.bytes[31] = 0x00;
  FactoryWrite(image);
  // The two probe reads, six blocks, end of access.
  EXPECT_THAT(Traced(DEVICE_HDSDI_FPGA),
              ElementsAre("4a03", "4703", "1403@00000000", "1403@00000100", "1403@00000000",
                          "1403@00000100", "1403@00000200", "1403@00000300", "1403@00000400",
                          "1403@00000500", "0003"));
  EXPECT_EQ(found_.size, 1536);
  EXPECT_EQ(ReadBackBytes(0, 1536),
            std::vector<std::uint8_t>(image.bytes.begin(), image.bytes.begin() + 1536));
  EXPECT_THAT(NewLogLines(), ElementsAre("Read back device HDSDI FPGA ...",
                                         "Testing, if newer rev. of HDSDI board is installed.",
                                         "Read back device HDSDI FPGA successful."));

  ChangeCamera([](sim::CameraState& state) {
    state.settings.newerHdsdiBoard = 1;
    state.settings.hdsdiReadScale = 2;
  });
  const std::vector<std::string> telegrams = Traced(DEVICE_HDSDI_FPGA);
  EXPECT_EQ(telegrams.front(), "4a03");
  EXPECT_EQ(telegrams[3], "1403@00000000");
  EXPECT_EQ(telegrams[4], "1403@00000200");
  EXPECT_EQ(ReadBackBytes(0, 1536),
            std::vector<std::uint8_t>(image.bytes.begin(), image.bytes.begin() + 1536));
}

}  // namespace
}  // namespace tarvo::test
