// Flash behaves like NOR flash, and everything the camera holds lives in its folder: it
// survives unloading the library and is shared, without damage, with other processes (the
// selection one process made holds for the others, and what they write reaches it).
#include <memory>
#include <numeric>

#include "sim_fixture.h"
#include "support/program_run.h"

namespace tarvo::simtest {
namespace {

using FlashSemantics = SimCameraTest;

TEST_F(FlashSemantics, BytesAreWrittenOnceUntilTheNextErase) {
  auto client = Connect();
  ASSERT_EQ(client->SelectDevice(DEVICE_COLOR_DATA), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  std::vector<std::uint8_t> data = Pattern(256, 3);
  ASSERT_EQ(client->Write(0x200, data.data(), 256), 0u);
  EXPECT_EQ(client->ReadRange(0x200, 256), data);
  // Overlapping an already written byte, even with the same value, is refused whole.
  EXPECT_EQ(client->Write(0x2FF, data.data(), 2), Fw(87));
  EXPECT_EQ(client->Write(0x200, data.data(), 1), Fw(87));
  EXPECT_EQ(client->ReadRange(0x300, 1), std::vector<std::uint8_t>{0xFF});
  ASSERT_EQ(client->Write(0x300, data.data(), 1), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  ASSERT_EQ(client->Write(0x200, data.data(), 256), 0u);
}

TEST_F(FlashSemantics, EraseFillsTheDeviceWith0xFFAndCapacityEndsIt) {
  auto client = Connect();
  ASSERT_EQ(client->SelectDevice(DEVICE_POWER_UP), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  EXPECT_EQ(client->ReadRange(0, 0x4000), std::vector<std::uint8_t>(0x4000, 0xFF));
  std::vector<std::uint8_t> data = Pattern(128, 9);
  EXPECT_EQ(client->Write(0x3F80, data.data(), 128), 0u);
  EXPECT_EQ(client->Write(0x3F81 + 127, data.data(), 1), Fw(88));
  EXPECT_EQ(client->ReadRange(0x3F80, 128), data);
  ASSERT_EQ(client->End(), 0u);
  // Boot uP holds the end of its boot area.
  ASSERT_EQ(client->SelectDevice(DEVICE_BOOT_UP), 0u);
  EXPECT_EQ(client->Read(0xF7F00, 256).result, 0u);
}

TEST_F(FlashSemantics, EraseTouchesOnlyTheSelectedDevice) {
  auto client = Connect();
  std::vector<std::uint8_t> before;
  ASSERT_EQ(client->SelectDevice(DEVICE_MAIN_UP), 0u);
  before = client->ReadRange(0, 512);
  ASSERT_EQ(client->End(), 0u);
  ASSERT_EQ(client->SelectDevice(DEVICE_MEM_FPGA_1), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  ASSERT_EQ(client->End(), 0u);
  ASSERT_EQ(client->SelectDevice(DEVICE_MAIN_UP), 0u);
  EXPECT_EQ(client->ReadRange(0, 512), before);
  EXPECT_NE(before, std::vector<std::uint8_t>(512, 0xFF));
}

using CameraStatePersistence = SimCameraTest;

TEST_F(CameraStatePersistence, SurvivesUnloadingTheLibrary) {
  std::vector<std::uint8_t> data = Pattern(200, 1);
  {
    auto client = Connect();
    ASSERT_EQ(client->SelectDevice(DEVICE_MEM_FPGA_2), 0u);
    ASSERT_EQ(client->Erase(), 0u);
    ASSERT_EQ(client->Write(0x40, data.data(), 200), 0u);
  }  // closed and unloaded with the device still selected
  auto client = Connect("qlm_gige");
  EXPECT_EQ(client->SelectDevice(DEVICE_MAIN_UP), Fw(82));
  EXPECT_EQ(client->ReadRange(0x40, 200), data);
  EXPECT_EQ(client->End(), 0u);
}

TEST_F(CameraStatePersistence, ConcurrentProcessesDoNotCorruptEachOther) {
  {
    auto client = Connect();
    ASSERT_EQ(client->SelectDevice(DEVICE_MAIN_FPGA), 0u);
    ASSERT_EQ(client->Erase(), 0u);
  }
  constexpr int kChildren = 2;
  constexpr std::uint32_t kBlocks = 300;
  // Each writer process stores its own pattern into every kChildren-th block of Main FPGA.
  std::vector<std::unique_ptr<test::StartedProgram>> writers;
  for (int c = 0; c < kChildren; ++c) {
    writers.push_back(std::make_unique<test::StartedProgram>(
        TARVO_FLASH_WRITER_PATH,
        std::vector<std::string>{std::to_string(c), std::to_string(kChildren),
                                 std::to_string(kBlocks)},
        folder_.File("writer" + std::to_string(c) + ".err")));
  }
  for (const auto& writer : writers) {
    const test::StartedProgram::End end = writer->Wait();
    EXPECT_TRUE(end.exited && end.status == 0);
  }
  auto client = Connect();
  for (std::uint32_t block = 0; block < kBlocks * kChildren; ++block) {
    ASSERT_EQ(client->ReadRange(block * 256, 256),
              Pattern(256, static_cast<std::uint8_t>(block % kChildren + 1)))
        << block;
  }
  EXPECT_EQ(Snapshot().runtime.telegramCount, 2u + 2u * kBlocks * kChildren);
}

}  // namespace
}  // namespace tarvo::simtest
