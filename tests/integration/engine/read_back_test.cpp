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
  ReadBackImage found_;
};

// The header block is read, then the blocks the length gives: 224 bytes behind the 32-byte
// header fill one block, 225 take a second one; the whole last block lands in the buffer, past
// the reported end. HD-SDI: the newer board's code is tried first, a refusal falls back to the
// catalogue code, two probe reads find the address scale; its header is stored in high-byte-
// first words (L 1000 is stored E8 03) and its image ends on a 512-byte boundary. Sizes below 2
// bytes are no firmware, and the last block must stay inside the read-back buffer of 39062
// whole blocks (9,999,872 bytes): such headers are refused and nothing is read beyond them.
// Boot FPGA has no header: its length field means nothing. Boot uP is its fixed area.
TEST_F(ReadBack, HeaderLengthGivesTheBlocksRead) {
  const std::string block = "1403@00000";
  // clang-format off
  const struct {
    DeviceIndex device;
    std::uint32_t length;
    std::int32_t end;  // -1: refused
    std::vector<std::string> telegrams;
  } cases[] = {
      {DEVICE_MAIN_FPGA, 224, 255, {"4203", block + "000", block + "000", "0003"}},
      {DEVICE_MEM_FPGA_1, 225, 256, {"4303", block + "000", block + "000", block + "100", "0003"}},
      {DEVICE_HDSDI_FPGA, 1000, 1535, {"4a03", "4703", block + "000", block + "100", block + "000",
       block + "100", block + "200", block + "300", block + "400", block + "500", "0003"}},
      {DEVICE_MAIN_FPGA, 9999872 - 32 + 1, -1, {"4203", block + "000", "0003"}},
      {DEVICE_MAIN_FPGA, 0xFFFFFFF0u, -1, {"4203", block + "000", "0003"}},
      {DEVICE_COLOR_DATA, 0xFFFFFFFFu, -1, {"4b03", block + "000", "0003"}},
      {DEVICE_HDSDI_FPGA, 9999872, -1, {}},
      {DEVICE_BOOT_FPGA, 0, 0, {}}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatText("device %u, length %u", c.device, c.length));
    PacketImage image = PlainImage(c.device, 0, 2048, 21);
    for (int i = 0; i < 4; ++i) {
      image.bytes[28 + (i ^ (c.device == DEVICE_HDSDI_FPGA ? 1 : 0))] =
          static_cast<std::uint8_t>(c.length >> (8 * i));
    }
    FactoryWrite(image);
    const std::vector<std::string> telegrams = Traced(c.device, c.end < 0 ? 0 : 1);
    const std::vector<std::string> lines = NewLogLines();
    if (!c.telegrams.empty()) {
      EXPECT_EQ(telegrams, c.telegrams);
    }
    if (c.end > 0) {
      EXPECT_EQ(found_.start, 0);
      EXPECT_EQ(found_.end, c.end);
      const auto whole = static_cast<std::uint32_t>(c.end / 256 + 1) * 256;
      EXPECT_TRUE(
          std::equal(image.bytes.begin(), image.bytes.begin() + whole, Dlg().ReadBackBuffer()));
      EXPECT_EQ(lines.back(),
                FormatText("Read back device %s successful.", DeviceDisplayName(c.device)));
      if (c.device == DEVICE_HDSDI_FPGA) {
        EXPECT_EQ(lines.at(1), "Testing, if newer rev. of HDSDI board is installed.");
      }
    } else if (c.end < 0) {
      ASSERT_GE(lines.size(), 3u);
      EXPECT_EQ(lines[lines.size() - 2],
                FormatText("ERROR: Read back device %s failed!", DeviceDisplayName(c.device)));
      EXPECT_TRUE(lines.back().starts_with("  - header gives a firmware size of ")) << lines.back();
      EXPECT_EQ(window_.Row(c.device).progressBar, kRed);
      EXPECT_EQ(telegrams.back(), "0003");
      EXPECT_EQ(CurrentLinkState().library, nullptr);
    }
  }

  FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 4, 11));
  const std::vector<std::string> boot = Traced(DEVICE_BOOT_UP);
  EXPECT_EQ(boot.size(), 258u);
  EXPECT_EQ(boot[1], "1403@000d0000");
  EXPECT_EQ(found_.start, 0xD0000);
  EXPECT_EQ(found_.end, 0xDFFFF);
  EXPECT_EQ(found_.version.minor, 11);
}

}  // namespace
}  // namespace tarvo::test
