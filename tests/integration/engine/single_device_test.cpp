// Programming, verifying and reading back single devices of the simulated camera: flash, blocks
// sent, the difference listing, extents read back, and the lines of success and failure.
#include <gmock/gmock.h>

#include "engine_fixture.h"
#include "link/link.h"
#include "link/telegram_layout.h"
#include "log/format_text.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Le;

class ProgramDevice : public EngineFixture {};

PacketImage OlderBoardHdsdiImage() {  // its revision word 0x0009
  PacketImage hdsdi = PlainImage(DEVICE_HDSDI_FPGA, 0, 4096, 13);
  hdsdi.bytes[2] = 0x00;
  hdsdi.bytes[3] = 0x09;
  return hdsdi;
}

// Power uP in pages of 128 bytes. Boot FPGA's 257th byte goes out in a block of two whose second
// byte is erased flash, whatever an earlier image left in the buffer. Green on light grey after
// the pause before the erase, slept in slices with the window's events dispatched.
TEST_F(ProgramDevice, BlockShapesFollowTheDevice) {
  const PacketImage power = PlainImage(DEVICE_POWER_UP, 0x100, 300, 3);
  const PacketImage boot = PlainImage(DEVICE_BOOT_FPGA, 0, 257, 12);
  ASSERT_NE(power.bytes[257 - 0x100], 0xFF);  // left in the image buffer before Boot FPGA
  LoadPacket({power, boot});
  ASSERT_EQ(Dlg().ProgramDevice(DEVICE_POWER_UP), 1);
  EXPECT_THAT(window_.ProgressPositions(DEVICE_POWER_UP), ElementsAre(0, 0, 42, 85, 100));
  EXPECT_TRUE(window_.Row(DEVICE_POWER_UP).progressBar == kGreen &&
              window_.Row(DEVICE_POWER_UP).progressBackground == (ProgressColour{248, 248, 248}));
  EXPECT_EQ(clock_.TotalMilliseconds(), 2000u);
  EXPECT_THAT(clock_.Sleeps(), Each(Le(kWaitSliceMilliseconds)));
  EXPECT_THAT(TracedCodes([&] { ASSERT_EQ(Dlg().ProgramDevice(DEVICE_BOOT_FPGA), 1); }),
              ElementsAre("4103", "1003", "1103@00000000", "1103@00000100", "0003"));
  EXPECT_THAT(window_.ProgressPositions(DEVICE_BOOT_FPGA), ElementsAre(0, 0, 99, 100));
  EXPECT_TRUE(FlashHolds(power) && FlashHolds(boot) &&
              ReadFlash(DEVICE_BOOT_FPGA, 257, 1)[0] == 0xFF);
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_BOOT_FPGA), 1);
}

// Up to the limit every block is read, the stop address past the image; one more and the block
// crossing the limit is the last read. Power uP stops at its first differing page. HD-SDI boards
// reading in 16-bit steps (found by the probe) still list byte offsets.
TEST_F(ProgramDevice, VerifyDifferenceListingStopsAtItsLimitOrAtPowerUpsFirstPage) {
  const PacketImage hdsdi = OlderBoardHdsdiImage();
  const struct {
    PacketImage image;
    std::uint32_t readScale, corruptAt, count;
    const char* stopAddress;
  } cases[] = {{PlainImage(DEVICE_MAIN_FPGA, 0, 8192, 31), 1, 0, 1000, "00002000"},
               {PlainImage(DEVICE_MAIN_FPGA, 0, 8192, 31), 1, 0, 1001, "00000300"},
               {PlainImage(DEVICE_POWER_UP, 0x100, 300, 31), 1, 130, 1, "00000180"},
               {hdsdi, 2, 0x300, 1, "00001000"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    const DeviceIndex device = c.image.device;
    ChangeCamera([&](sim::CameraState& state) {
      state.settings.hdsdiReadScale = static_cast<std::uint8_t>(c.readScale);
    });
    LoadPacket({c.image});
    const char* name = DeviceDisplayName(device);
    std::vector<std::string> expected = {FormatText("Verify device %s ...", name)};
    PacketImage damaged = c.image;
    for (std::uint32_t i = c.corruptAt; i < c.corruptAt + c.count; ++i) {
      damaged.bytes[i] ^= 0x5A;
      expected.push_back(FormatText("diff at %08x: %02x %02x", c.image.start + i, c.image.bytes[i],
                                    damaged.bytes[i]));
    }
    FactoryWrite(damaged);
    EXPECT_EQ(Dlg().VerifyDevice(device), 0);
    if (c.count > 1000) expected.push_back("Verify stopped: Too much errors!");
    expected.insert(
        expected.end(),
        {FormatText("ERROR: Verify device %s failed!", name), "  - function return 10000300.",
         FormatText("  - failed at addr. %s,", c.stopAddress),
         FormatText("Error programming device %s: Verify failed! ", name)});
    EXPECT_EQ(NewLogLines(), expected);
    EXPECT_EQ(window_.Row(device).progressBar, kRed);
    // The run report counts the bytes found different, not the blocks.
    EXPECT_EQ(Dlg().LastRun().devices[device].differingBytes, c.count);
  }
}

// A failing telegram names its code and block: an erase or HD-SDI probe read names none, an end
// of access the address past the image. Without an image in the packet nothing is sent.
TEST_F(ProgramDevice, FailingTelegramsGiveTheirCodeAndAddress) {
  const PacketImage main = PlainImage(DEVICE_MAIN_FPGA, 0x10000, 1024, 4);
  const PacketImage hdsdi = OlderBoardHdsdiImage();
  // clang-format off
  const struct {
    bool verify;
    DeviceIndex device;
    std::uint16_t command;
    std::uint32_t nth, error;
    const char* code;
    const char* address;  // nothing: before any block
  } cases[] = {
      {false, DEVICE_MAIN_FPGA, telegram::kWriteBlock, 3, sim::kFwProgrammingFailed, "80031059", "00010200"},
      {false, DEVICE_MAIN_FPGA, telegram::kEraseDevice, 1, sim::kFwErasingFailed, "80031056", nullptr},
      {false, DEVICE_MAIN_FPGA, telegram::kEndDeviceAccess, 1, sim::kFwNoDeviceOpen, "80031053", "00010400"},
      {true, DEVICE_HDSDI_FPGA, telegram::kReadBlock, 2, sim::kFwReadingFailed, "8003105b", nullptr},
      {true, DEVICE_MAIN_FPGA, telegram::kReadBlock, 3, sim::kFwReadingFailed, "8003105b", "00010200"}};
  // clang-format on
  LoadPacket({main, hdsdi});
  FactoryWrite(main);
  FactoryWrite(hdsdi);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    FailTelegram(c.command, c.nth, sim::CameraError(c.error));
    const char* name = DeviceDisplayName(c.device);
    EXPECT_EQ(c.verify ? Dlg().VerifyDevice(c.device) : Dlg().ProgramDevice(c.device), 0);
    const std::vector<std::string> lines = NewLogLines();
    const auto failed = std::find(
        lines.begin(), lines.end(),
        FormatText("ERROR: %s device %s failed!", c.verify ? "Verify" : "Programming", name));
    ASSERT_NE(failed, lines.end());
    std::vector<std::string> failure = {FormatText("  - function return %s.", c.code)};
    if (c.address) failure.push_back(FormatText("  - failed at addr. %s,", c.address));
    EXPECT_EQ(std::vector<std::string>(failed + 1, lines.end() - 1), failure);
    EXPECT_TRUE(lines.back().starts_with(FormatText(
        "Error programming device %s: Firmware error %s at device 'QLM Main uP': ", name, c.code)))
        << lines.back();
    EXPECT_TRUE(window_.Row(c.device).progressBar == kRed && CurrentLinkState().library == nullptr);
  }
  window_.ClearRecords();
  EXPECT_EQ(Dlg().ProgramDevice(DEVICE_MAIN_UP) + Dlg().VerifyDevice(DEVICE_MAIN_UP), 0);
  EXPECT_TRUE(NewLogLines().empty() && window_.StatusLines().empty());
}

class ReadBack : public EngineFixture {
 protected:
  void SetUp() override { ConnectFresh(); }
  // Reads the device back; the telegrams the camera saw.
  std::vector<std::string> Traced(DeviceIndex device, int expected = 1) {
    return TracedCodes([&] { EXPECT_EQ(Dlg().ReadBackDevice(device, &found_), expected); });
  }
  ReadBackImage found_;
};

// The header block, then the blocks the length gives (224 bytes behind the 32-byte header fill
// one block, 225 two); the whole last block lands in the buffer. HD-SDI: the newer board's code
// first, then the catalogue code, two probe reads for the address scale; header in high-byte-
// first words, image ending on 512 bytes. Sizes below 2 bytes, or past the buffer's 39062
// blocks, are refused. Boot FPGA has no header; Boot uP is its fixed area.
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
    EXPECT_TRUE(c.telegrams.empty() || telegrams == c.telegrams) << telegrams.size();
    if (c.end > 0) {
      EXPECT_TRUE(found_.start == 0 && found_.end == c.end) << found_.end;
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
      EXPECT_TRUE(window_.Row(c.device).progressBar == kRed && telegrams.back() == "0003" &&
                  CurrentLinkState().library == nullptr);
    }
  }

  FactoryWrite(RecognisedImage(DEVICE_BOOT_UP, 1, 4, 11));
  const std::vector<std::string> boot = Traced(DEVICE_BOOT_UP);
  EXPECT_TRUE(boot.size() == 258u && boot[1] == "1403@000d0000");
  EXPECT_TRUE(found_.start == 0xD0000 && found_.end == 0xDFFFF && found_.version.minor == 11);
}

}  // namespace
}  // namespace tarvo::test
