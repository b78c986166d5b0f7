// Verifying single devices of the simulated camera against the loaded packet: the difference
// listing and its limit, the power microcontroller's first-difference stop, and the HD-SDI
// board's read address scale.
#include <gmock/gmock.h>

#include "engine_fixture.h"
#include "link/telegram_layout.h"
#include "log/format_text.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class VerifyDevice : public EngineFixture {
 protected:
  // Loads the packet and gives the camera the image, as a good update would have.
  void LoadAndProgram(const PacketImage& image) {
    LoadPacket({image});
    ASSERT_EQ(Dlg().ProgramDevice(image.device), 1);
    window_.ClearRecords();
    clock_.Reset();
    NewLogLines();
  }
  // The "diff at" lines for changed bytes at image offsets first .. first + count - 1.
  static std::vector<std::string> DiffLines(const PacketImage& image, std::uint32_t first,
                                            std::uint32_t count) {
    std::vector<std::string> lines;
    for (std::uint32_t i = first; i < first + count; ++i) {
      const std::uint8_t wanted = image.bytes[i];
      lines.push_back(FormatText("diff at %08x: %02x %02x", image.start + i, wanted,
                                 static_cast<std::uint8_t>(wanted ^ 0x5A)));
    }
    return lines;
  }
};

TEST_F(VerifyDevice, MatchingDeviceEndsGreenAfterItsPause) {
  LoadAndProgram(PlainImage(DEVICE_MAIN_UP, 0x400, 700, 21));
  ASSERT_EQ(Dlg().VerifyDevice(DEVICE_MAIN_UP), 1);
  EXPECT_THAT(NewLogLines(),
              ElementsAre("Verify device Main uP ...", "Verify device Main uP successful!"));
  EXPECT_THAT(window_.ProgressPositions(DEVICE_MAIN_UP), ElementsAre(0, 0, 36, 73, 100));
  EXPECT_EQ(window_.Row(DEVICE_MAIN_UP).progressBar, (ProgressColour{0, 255, 0}));
  EXPECT_EQ(clock_.TotalMilliseconds(), 4000u);
}

// Up to the limit every block is read, so the listing shows the whole damage and the address
// line names where the loop stopped, past the image. One byte more and the block that crosses
// the limit is the last one read, all of its lines before the stop line. Power uP stops at its
// first differing page.
TEST_F(VerifyDevice, DifferenceListingStopsAtItsLimitOrAtPowerUpsFirstPage) {
  struct Case {
    DeviceIndex device;
    std::uint32_t start, size, corruptAt, count;
    const char* stopAddress;
  };
  const Case cases[] = {{DEVICE_MAIN_FPGA, 0, 8192, 0, 1000, "00002000"},
                        {DEVICE_MAIN_FPGA, 0, 8192, 0, 1001, "00000300"},
                        {DEVICE_POWER_UP, 0x100, 300, 130, 1, "00000180"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    const PacketImage image = PlainImage(c.device, c.start, c.size, 31);
    LoadAndProgram(image);
    CorruptFlash(c.device, c.start + c.corruptAt, c.count);
    EXPECT_EQ(Dlg().VerifyDevice(c.device), 0);
    const char* name = DeviceDisplayName(c.device);
    std::vector<std::string> expected = {FormatText("Verify device %s ...", name)};
    for (const std::string& line : DiffLines(image, c.corruptAt, c.count)) {
      expected.push_back(line);
    }
    if (c.count > 1000) expected.push_back("Verify stopped: Too much errors!");
    expected.push_back(FormatText("ERROR: Verify device %s failed!", name));
    expected.push_back("  - function return 10000300.");
    expected.push_back(FormatText("  - failed at addr. %s,", c.stopAddress));
    expected.push_back(FormatText("Error programming device %s: Verify failed! ", name));
    EXPECT_THAT(NewLogLines(), ElementsAreArray(expected));
    EXPECT_EQ(window_.StatusText(), FormatText("ERROR: Verify device %s failed!", name));
    EXPECT_EQ(window_.Row(c.device).progressBar, (ProgressColour{255, 0, 0}));
  }
}

// Boards that read their flash in 16-bit steps are found by the probe; the listing still
// names byte offsets.
TEST_F(VerifyDevice, HdsdiBoardWithScaledReadAddresses) {
  ChangeCamera([](sim::CameraState& state) { state.settings.hdsdiReadScale = 2; });
  PacketImage image = PlainImage(DEVICE_HDSDI_FPGA, 0, 4096, 13);
  image.bytes[2] = 0x00;
  image.bytes[3] = 0x09;
  LoadAndProgram(image);
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_HDSDI_FPGA), 1);
  NewLogLines();
  CorruptFlash(DEVICE_HDSDI_FPGA, 0x300, 1);
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_HDSDI_FPGA), 0);
  const std::vector<std::string> lines = NewLogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], DiffLines(image, 0x300, 1)[0]);
}

// A probe read that fails comes before the block loop and has no address line; a failing
// block read names its block.
TEST_F(VerifyDevice, FailingReadsGiveTheirCodeAndAddress) {
  PacketImage hdsdi = PlainImage(DEVICE_HDSDI_FPGA, 0, 4096, 13);
  hdsdi.bytes[2] = 0x00;
  hdsdi.bytes[3] = 0x09;
  const struct {
    PacketImage image;
    std::uint32_t nth;
    std::vector<std::string> failure;  // the lines after "ERROR: Verify device ..."
  } cases[] = {{hdsdi, 2, {"  - function return 8003105b."}},
               {PlainImage(DEVICE_COLOR_DATA, 0x1000, 2048, 5),
                4,
                {"  - function return 8003105b.", "  - failed at addr. 00001300,"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.image.device);
    LoadAndProgram(c.image);
    FailTelegram(telegram::kReadBlock, c.nth, sim::CameraError(sim::kFwReadingFailed));
    EXPECT_EQ(Dlg().VerifyDevice(c.image.device), 0);
    const std::vector<std::string> lines = NewLogLines();
    ASSERT_EQ(lines.size(), c.failure.size() + 3);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end() - 1), c.failure);
  }
}

}  // namespace
}  // namespace tarvo::test
