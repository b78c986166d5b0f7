// Programming single devices of the simulated camera from a loaded packet: the camera's flash
// afterwards, the block shapes, the select codes, and every line of success and failure.
#include <gmock/gmock.h>

#include <algorithm>
#include <sstream>

#include "engine_fixture.h"
#include "link/link.h"
#include "link/telegram_layout.h"
#include "sim/core/sim_errors.h"

namespace tarvo::test {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Le;

class ProgramDevice : public EngineFixture {
 protected:
  void Load(const std::vector<PacketImage>& images) { LoadPacket(images); }
  void ExpectFlashHolds(const PacketImage& image) {
    EXPECT_EQ(ReadFlash(image.device, image.start, static_cast<std::uint32_t>(image.bytes.size())),
              image.bytes)
        << DeviceDisplayName(image.device);
  }
};

TEST_F(ProgramDevice, EveryDeviceKindEndsUpHoldingThePacketImage) {
  std::vector<PacketImage> images;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    images.push_back(RecognisedImage(device, 1, 1, 1));
  }
  Load(images);
  for (const PacketImage& image : images) {
    EXPECT_EQ(Dlg().ProgramDevice(image.device), 1) << DeviceDisplayName(image.device);
    ExpectFlashHolds(image);
  }
  for (const PacketImage& image : images) {
    EXPECT_EQ(Dlg().VerifyDevice(image.device), 1) << DeviceDisplayName(image.device);
  }
  // The camera now reports the packet's versions.
  ASSERT_EQ(Dlg().ConnectCamera(), 1);
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_EQ(Dlg().Camera().current[device], (DeviceVersion{1, 1, 1})) << device;
  }
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

TEST_F(ProgramDevice, ReportsEachStepAndEndsGreen) {
  const PacketImage image = PlainImage(DEVICE_MAIN_FPGA, 0x1000, 1000, 7);
  Load({image});
  ASSERT_EQ(Dlg().ProgramDevice(DEVICE_MAIN_FPGA), 1);
  EXPECT_THAT(NewLogLines(),
              ElementsAre("Erase device Main FPGA ...", "Program device Main FPGA ...",
                          "Programming device Main FPGA successful!"));
  EXPECT_THAT(window_.StatusLines(),
              ElementsAre("Erase device Main FPGA ...", "Program device Main FPGA ...",
                          "Programming device Main FPGA successful!"));
  // Running at 0 %, one position per block, then done at 100 % in green on light grey.
  EXPECT_THAT(window_.ProgressPositions(DEVICE_MAIN_FPGA), ElementsAre(0, 0, 25, 51, 76, 100));
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, (ProgressColour{0, 255, 0}));
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBackground, (ProgressColour{248, 248, 248}));
  EXPECT_TRUE(window_.Row(DEVICE_MAIN_FPGA).progressVisible);
  // The pause before the erase, slept in slices with the window's events dispatched.
  EXPECT_EQ(clock_.TotalMilliseconds(), 2000u);
  EXPECT_THAT(clock_.Sleeps(), Each(Le(kWaitSliceMilliseconds)));
  ExpectFlashHolds(image);
}

TEST_F(ProgramDevice, PowerUpIsWrittenInPagesOf128Bytes) {
  const PacketImage image = PlainImage(DEVICE_POWER_UP, 0x100, 300, 3);
  Load({image});
  ASSERT_EQ(Dlg().ProgramDevice(DEVICE_POWER_UP), 1);
  EXPECT_THAT(window_.ProgressPositions(DEVICE_POWER_UP), ElementsAre(0, 0, 42, 85, 100));
  ExpectFlashHolds(image);
}

// The 257th byte goes out in a block of two; the byte after the image is written as erased
// flash, whatever an earlier image left at that offset of the image buffer.
TEST_F(ProgramDevice, BootFpgaOddLengthIsCompletedWithAnErasedByte) {
  const PacketImage filler = PlainImage(DEVICE_MAIN_FPGA, 0, 1024, 11);
  ASSERT_NE(filler.bytes[257], 0xFF);
  const PacketImage image = PlainImage(DEVICE_BOOT_FPGA, 0, 257, 12);
  Load({filler, image});
  ASSERT_EQ(Dlg().ProgramDevice(DEVICE_MAIN_FPGA), 1);
  ASSERT_EQ(Dlg().ProgramDevice(DEVICE_BOOT_FPGA), 1);
  EXPECT_THAT(window_.ProgressPositions(DEVICE_BOOT_FPGA), ElementsAre(0, 0, 99, 100));
  ExpectFlashHolds(image);
  EXPECT_EQ(ReadFlash(DEVICE_BOOT_FPGA, 257, 1)[0], 0xFF);
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_BOOT_FPGA), 1);
}

// The telegrams as the camera saw them: select, erase, the two writes, end of access.
TEST_F(ProgramDevice, BootFpgaTelegramsForAnImageOf257Bytes) {
  Load({PlainImage(DEVICE_BOOT_FPGA, 0, 257, 12)});
  const std::string tracePath = temp_.File("trace.txt");
  ScopedEnvironment trace("QLM_SIM_TRACE", tracePath);
  ASSERT_EQ(Dlg().ProgramDevice(DEVICE_BOOT_FPGA), 1);
  std::vector<std::string> telegrams;
  std::istringstream lines(ReadFileText(tracePath));
  for (std::string line; std::getline(lines, line);) {
    std::string summary = line.substr(line.find("code="), 9);
    if (const std::size_t at = line.find(" start="); at != std::string::npos) {
      summary += line.substr(at, 28);
    }
    telegrams.push_back(summary);
  }
  EXPECT_THAT(telegrams,
              ElementsAre("code=4103", "code=1003", "code=1103 start=00000000 end=000000ff",
                          "code=1103 start=00000100 end=00000101", "code=0003"));
}

// Erased flash already holds what an all-0xFF block would write: nothing is sent.
TEST_F(ProgramDevice, ImageOfErasedBytesOnlyErasesTheDevice) {
  PacketImage image = PlainImage(DEVICE_COLOR_DATA, 0, 2048, 5);
  std::fill(image.bytes.begin(), image.bytes.end(), 0xFF);
  Load({image});
  FailTelegram(telegram::kWriteBlock, 1, sim::CameraError(sim::kFwProgrammingFailed));
  ASSERT_EQ(Dlg().ProgramDevice(DEVICE_COLOR_DATA), 1);
  ExpectFlashHolds(image);
  EXPECT_THAT(ReadFlash(DEVICE_COLOR_DATA, 0x100000 - 16, 16), Each(0xFF));
}

// Each board revision answers only to its own select code, so the image's board word at
// address two decides whether the device can be reached at all: 0x0A and 0x0100 select the
// newer board, 0x09 the older one.
TEST_F(ProgramDevice, HdsdiImageWordChoosesTheBoard) {
  const struct {
    std::uint8_t high, low;
    bool newerBoard;
  } cases[] = {{0x00, 0x0A, true}, {0x00, 0x09, false}, {0x01, 0x00, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.high * 256 + c.low);
    PacketImage image = PlainImage(DEVICE_HDSDI_FPGA, 0, 4096, 9);
    image.bytes[2] = c.high;
    image.bytes[3] = c.low;
    Load({image});
    for (const bool newer : {!c.newerBoard, c.newerBoard}) {
      ChangeCamera([&](sim::CameraState& state) { state.settings.newerHdsdiBoard = newer; });
      EXPECT_EQ(Dlg().ProgramDevice(DEVICE_HDSDI_FPGA), newer == c.newerBoard ? 1 : 0);
    }
    const std::vector<std::string> lines = NewLogLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "ERROR: Programming device HDSDI FPGA failed!");
    EXPECT_EQ(lines[2].rfind("Error programming device HDSDI FPGA: ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], "Erase device HDSDI FPGA ...");
    ExpectFlashHolds(image);
    EXPECT_EQ(Dlg().VerifyDevice(DEVICE_HDSDI_FPGA), 1);
  }
}

TEST_F(ProgramDevice, FailingEndOfAccessAfterTheLastBlockNamesTheAddressPastTheImage) {
  Load({PlainImage(DEVICE_MAIN_UP, 0x2000, 600, 4)});
  FailTelegram(telegram::kEndDeviceAccess, 1, sim::CameraError(sim::kFwNoDeviceOpen));
  EXPECT_EQ(Dlg().ProgramDevice(DEVICE_MAIN_UP), 0);
  EXPECT_THAT(NewLogLines(),
              ElementsAre("Erase device Main uP ...", "Program device Main uP ...",
                          "ERROR: Programming device Main uP failed!",
                          "  - function return 80031053.", "  - failed at addr. 00002300,",
                          "Error programming device Main uP: Firmware error 80031053 at device "
                          "'QLM Main uP': No device opened for update command. "));
  EXPECT_EQ(window_.Row(DEVICE_MAIN_UP).progressBar, (ProgressColour{255, 0, 0}));
  EXPECT_EQ(window_.Row(DEVICE_MAIN_UP).progressPosition, 100);
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

// A failing block names its address; a failing erase comes before any block and has none.
TEST_F(ProgramDevice, FailingTelegramsGiveTheirCodeAndAddress) {
  struct Case {
    std::uint16_t command;
    std::uint32_t nth, error;
    std::vector<std::string> failure;  // the lines after "ERROR: Programming device ..."
  };
  const Case cases[] = {
      {telegram::kWriteBlock,
       3,
       sim::kFwProgrammingFailed,
       {"  - function return 80031059.", "  - failed at addr. 00010200,"}},
      {telegram::kEraseDevice, 1, sim::kFwErasingFailed, {"  - function return 80031056."}}};
  Load({PlainImage(DEVICE_MAIN_FPGA, 0x10000, 1024, 4)});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    FailTelegram(c.command, c.nth, sim::CameraError(c.error));
    EXPECT_EQ(Dlg().ProgramDevice(DEVICE_MAIN_FPGA), 0);
    const std::vector<std::string> lines = NewLogLines();
    const auto failed =
        std::find(lines.begin(), lines.end(), "ERROR: Programming device Main FPGA failed!");
    ASSERT_NE(failed, lines.end());
    EXPECT_EQ(std::vector<std::string>(failed + 1, lines.end() - 1), c.failure);
    EXPECT_EQ(lines.back().rfind("Error programming device Main FPGA: ", 0), 0u);
  }
}

TEST_F(ProgramDevice, DeviceMissingOrNothingLoadedFailsSilently) {
  Start();
  window_.ClearRecords();
  NewLogLines();
  EXPECT_EQ(Dlg().ProgramDevice(DEVICE_BOOT_UP), 0);
  Load({PlainImage(DEVICE_MAIN_FPGA, 0, 512, 4)});
  EXPECT_EQ(Dlg().ProgramDevice(DEVICE_MAIN_UP), 0);
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_MAIN_UP), 0);
  EXPECT_TRUE(NewLogLines().empty());
  EXPECT_TRUE(window_.Calls().empty());
}

}  // namespace
}  // namespace tarvo::test
