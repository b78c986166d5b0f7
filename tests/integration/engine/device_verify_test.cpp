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
    Start();
    ASSERT_EQ(Dlg().LoadPacketFile(WritePacket(PacketPath("verify.tvf"), {image})), 1);
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

// Up to the limit every block is read, so the listing shows the whole damage; the address line
// then names where the loop stopped, past the image.
TEST_F(VerifyDevice, ExactlyTheLimitOfDifferencesReadsToTheEnd) {
  const PacketImage image = PlainImage(DEVICE_MAIN_FPGA, 0, 8192, 31);
  LoadAndProgram(image);
  CorruptFlash(DEVICE_MAIN_FPGA, 0, 1000);
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_MAIN_FPGA), 0);
  std::vector<std::string> expected = {"Verify device Main FPGA ..."};
  for (const std::string& line : DiffLines(image, 0, 1000)) expected.push_back(line);
  for (const char* line :
       {"ERROR: Verify device Main FPGA failed!", "  - function return 10000300.",
        "  - failed at addr. 00002000,", "Error programming device Main FPGA: Verify failed! "}) {
    expected.push_back(line);
  }
  EXPECT_THAT(NewLogLines(), ElementsAreArray(expected));
  EXPECT_EQ(window_.StatusText(), "ERROR: Verify device Main FPGA failed!");
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, (ProgressColour{255, 0, 0}));
}

// One byte more and the block that crosses the limit is the last one read; all of its lines
// come before the stop line.
TEST_F(VerifyDevice, OneDifferenceBeyondTheLimitStopsAfterThatBlock) {
  const PacketImage image = PlainImage(DEVICE_MAIN_FPGA, 0, 8192, 31);
  LoadAndProgram(image);
  CorruptFlash(DEVICE_MAIN_FPGA, 0, 1001);
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_MAIN_FPGA), 0);
  std::vector<std::string> expected = {"Verify device Main FPGA ..."};
  for (const std::string& line : DiffLines(image, 0, 1001)) expected.push_back(line);
  for (const char* line :
       {"Verify stopped: Too much errors!", "ERROR: Verify device Main FPGA failed!",
        "  - function return 10000300.", "  - failed at addr. 00000300,",
        "Error programming device Main FPGA: Verify failed! "}) {
    expected.push_back(line);
  }
  EXPECT_THAT(NewLogLines(), ElementsAreArray(expected));
}

TEST_F(VerifyDevice, PowerUpStopsAtItsFirstDifferingPage) {
  const PacketImage image = PlainImage(DEVICE_POWER_UP, 0x100, 300, 8);
  LoadAndProgram(image);
  CorruptFlash(DEVICE_POWER_UP, 0x100 + 130, 1);
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_POWER_UP), 0);
  std::vector<std::string> expected = {"Verify device Power uP ..."};
  for (const std::string& line : DiffLines(image, 130, 1)) expected.push_back(line);
  for (const char* line :
       {"ERROR: Verify device Power uP failed!", "  - function return 10000300.",
        "  - failed at addr. 00000180,", "Error programming device Power uP: Verify failed! "}) {
    expected.push_back(line);
  }
  EXPECT_THAT(NewLogLines(), ElementsAreArray(expected));
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

TEST_F(VerifyDevice, HdsdiBoardWithPlainReadAddresses) {
  PacketImage image = PlainImage(DEVICE_HDSDI_FPGA, 0, 4096, 13);
  image.bytes[2] = 0x00;
  image.bytes[3] = 0x09;
  LoadAndProgram(image);
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_HDSDI_FPGA), 1);
}

// A probe read that fails comes before the block loop: no address line.
TEST_F(VerifyDevice, FailingHdsdiProbeHasNoAddressLine) {
  PacketImage image = PlainImage(DEVICE_HDSDI_FPGA, 0, 4096, 13);
  image.bytes[2] = 0x00;
  image.bytes[3] = 0x09;
  LoadAndProgram(image);
  FailTelegram(telegram::kReadBlock, 2, sim::CameraError(sim::kFwReadingFailed));
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_HDSDI_FPGA), 0);
  const std::vector<std::string> lines = NewLogLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "  - function return 8003105b.");
}

TEST_F(VerifyDevice, FailingReadNamesItsBlock) {
  LoadAndProgram(PlainImage(DEVICE_COLOR_DATA, 0x1000, 2048, 5));
  FailTelegram(telegram::kReadBlock, 4, sim::CameraError(sim::kFwReadingFailed));
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_COLOR_DATA), 0);
  const std::vector<std::string> lines = NewLogLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "  - function return 8003105b.");
  EXPECT_EQ(lines[3], "  - failed at addr. 00001300,");
}

}  // namespace
}  // namespace tarvo::test
