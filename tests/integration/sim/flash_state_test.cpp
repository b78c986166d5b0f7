// The camera's flash behaves like NOR flash; what the camera holds lives in its folder: it survives
// unloading the library and a power cycle, and other processes share it without damage.
#include <memory>

#include "sim/core/factory_images.h"
#include "sim_fixture.h"

namespace tarvo::simtest {
namespace {

using FlashModel = SimCameraTest;

// Bytes are written once until the next erase, which fills only the selected device with 0xFF.
TEST_F(FlashModel, BytesAreWrittenOnceUntilTheNextEraseOfTheirDevice) {
  Connect();
  ASSERT_EQ(Select(DEVICE_MAIN_UP), 0u);
  const Bytes mainUp = ReadRange(0, 512);
  EXPECT_NE(mainUp, Bytes(512, 0xFF));
  ASSERT_EQ(EndDeviceAccess(), 0u);
  ASSERT_EQ(Select(DEVICE_POWER_UP), 0u);
  ASSERT_EQ(EraseDevice(30), 0u);
  EXPECT_EQ(ReadRange(0, 0x4000), Bytes(0x4000, 0xFF));
  const Bytes data = Bytes(256, 0x3C);
  ASSERT_EQ(WriteBlock(0x200, data.data(), 256), 0u);
  EXPECT_EQ(ReadRange(0x200, 256), data);
  // Overlapping an already written byte, even with the same value, is refused whole.
  EXPECT_EQ(WriteBlock(0x2FF, data.data(), 2), Fw(87));
  EXPECT_EQ(WriteBlock(0x200, data.data(), 1), Fw(87));
  EXPECT_EQ(ReadRange(0x300, 1), Bytes{0xFF});
  ASSERT_EQ(EraseDevice(30), 0u);
  EXPECT_EQ(WriteBlock(0x200, data.data(), 256), 0u);
  ASSERT_EQ(EndDeviceAccess(), 0u);
  ASSERT_EQ(Select(DEVICE_MAIN_UP), 0u);
  EXPECT_EQ(ReadRange(0, 512), mainUp);
}

// An update that went away halfway: the next load of a library finds the device still selected
// and its bytes written; a power cycle forgets the selection and keeps the bytes.
TEST_F(FlashModel, AHalfWrittenDeviceSurvivesUnloadingAndAPowerCycle) {
  const Bytes image = sim::BuildFactoryImage(DEVICE_MAIN_FPGA, 1, 4, 11).bytes;
  Bytes half(image.begin(), image.begin() + 1024);
  Connect();
  ASSERT_EQ(Select(DEVICE_MAIN_FPGA), 0u);
  ASSERT_EQ(EraseDevice(30), 0u);
  for (std::uint32_t at = 0; at < 1024; at += 256)
    ASSERT_EQ(WriteBlock(at, half.data() + at, 256), 0u);
  ASSERT_EQ(CloseLink(), 0u);
  Connect(INTERFACE_GIGE);
  EXPECT_EQ(Select(DEVICE_MAIN_UP), Fw(82));
  EXPECT_EQ(ReadRange(0, 1024), half);
  ASSERT_EQ(CloseLink(), 0u);
  ASSERT_EQ(Camsim("power-cycle").status, 0);
  Connect(INTERFACE_USB3);
  EXPECT_EQ(EndDeviceAccess(), Fw(83));
  ASSERT_EQ(Select(DEVICE_MAIN_FPGA), 0u);
  half.resize(1280, 0xFF);
  EXPECT_EQ(ReadRange(0, 1280), half);
}

TEST_F(FlashModel, ConcurrentProcessesDoNotCorruptEachOther) {
  Connect();
  ASSERT_EQ(Select(DEVICE_MAIN_FPGA), 0u);
  ASSERT_EQ(EraseDevice(30), 0u);
  ASSERT_EQ(CloseLink(), 0u);
  // Writer n fills every second block of Main FPGA, from block n on, with n + 1.
  constexpr std::uint32_t kBlocks = 300;
  std::vector<std::unique_ptr<test::StartedProgram>> writers;
  for (const char* writer : {"0", "1"}) {
    writers.push_back(std::make_unique<test::StartedProgram>(
        TARVO_FLASH_WRITER_PATH, std::vector<std::string>{writer, std::to_string(kBlocks)},
        folder_.File(std::string("writer") + writer + ".err")));
  }
  for (const auto& writer : writers) {
    const test::StartedProgram::End end = writer->Wait();
    EXPECT_TRUE(end.exited && end.status == 0);
  }
  Connect();
  for (std::uint32_t block = 0; block < 2 * kBlocks; ++block)
    ASSERT_EQ(ReadRange(block * 256, 256), Bytes(256, static_cast<std::uint8_t>(block % 2 + 1)))
        << block;
}

}  // namespace
}  // namespace tarvo::simtest
