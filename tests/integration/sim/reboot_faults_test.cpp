// Reboots, every fault tarvo-camsim can set, the HD-SDI read address scale and the trace.
#include "link/telegram_layout.h"
#include "sim_fixture.h"

namespace tarvo::simtest {
namespace {

using Reboot = SimCameraTest;

TEST_F(Reboot, CameraIsGoneUntilTheNextConnection) {
  auto client = Connect();
  ASSERT_EQ(client->SelectDevice(DEVICE_MAIN_UP), 0u);
  ASSERT_EQ(client->Reboot().result, 0u);
  EXPECT_EQ(client->CameraType().result, ERR_RESPONSE_TIMEOUT);
  EXPECT_EQ(client->Close(), 0u);
  ASSERT_EQ(client->Open(), 0u);
  EXPECT_EQ(client->CameraType().result, 0u);
  // The reboot dropped the selection.
  EXPECT_EQ(client->End(), Fw(83));
  EXPECT_EQ(Snapshot().runtime.rebootCount, 1u);
}

TEST_F(Reboot, NotBackAfterRebootStaysGone) {
  Configure([](sim::CameraState& state) { state.faults.notBackAfterReboot = 1; });
  auto client = Connect();
  ASSERT_EQ(client->Reboot().result, 0u);
  client->Close();
  EXPECT_EQ(client->Open(), sim::DriverError(0x310000, 1));
  EXPECT_EQ(client->Open(), sim::DriverError(0x310000, 1));
  SimClient gige("qlm_gige");
  EXPECT_EQ(gige.Open(), sim::DriverError(0x320000, 1));
  SimClient usb3("qlm_usb3");
  EXPECT_EQ(usb3.Open(), sim::DriverError(0x340000, 1));
}

TEST_F(Reboot, AnotherSerialNumberAfterReboot) {
  Configure([](sim::CameraState& state) {
    state.faults.newSerialAfterReboot = 1;
    state.faults.serialAfterReboot = 815;
  });
  auto client = Connect();
  EXPECT_EQ(Le32(client->CameraType().bytes, 8), 4711u);
  ASSERT_EQ(client->Reboot().result, 0u);
  client->Close();
  ASSERT_EQ(client->Open(), 0u);
  EXPECT_EQ(Le32(client->CameraType().bytes, 8), 815u);
}

using Faults = SimCameraTest;

TEST_F(Faults, FailsTheNthTelegram) {
  Configure(
      [](sim::CameraState& state) { state.faults.failTelegram = {1, {}, 0, 3, 0, 0x80031013}; });
  auto client = Connect();
  EXPECT_EQ(client->CameraType().result, 0u);
  EXPECT_EQ(client->CameraType().result, 0u);
  EXPECT_EQ(client->CameraType().result, 0x80031013u);
  EXPECT_EQ(client->CameraType().result, 0u);
}

TEST_F(Faults, FailsTheNthTelegramOfOneCommand) {
  Configure([](sim::CameraState& state) {
    state.faults.failTelegram = {1, {}, telegram::kWriteBlock, 2, 0, 0x80031059};
  });
  auto client = Connect();
  ASSERT_EQ(client->SelectDevice(DEVICE_COLOR_DATA), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  std::uint8_t data[4] = {1, 2, 3, 4};
  EXPECT_EQ(client->Write(0, data, 4), 0u);
  EXPECT_EQ(client->Read(0, 4).result, 0u);
  EXPECT_EQ(client->Write(4, data, 4), 0x80031059u);
  EXPECT_EQ(client->Write(8, data, 4), 0u);
  // The failed block was not written.
  EXPECT_EQ(client->ReadRange(4, 4), std::vector<std::uint8_t>(4, 0xFF));
}

TEST_F(Faults, BitFlipInWrittenData) {
  Configure([](sim::CameraState& state) { state.faults.flipWrite = {1, 3, {}, 300, 0}; });
  auto client = Connect();
  ASSERT_EQ(client->SelectDevice(DEVICE_MAIN_FPGA), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  std::vector<std::uint8_t> data(256, 0x00);
  ASSERT_EQ(client->Write(0, data.data(), 256), 0u);
  ASSERT_EQ(client->Write(256, data.data(), 256), 0u);
  std::vector<std::uint8_t> expected(512, 0x00);
  expected[299] = 0x08;
  EXPECT_EQ(client->ReadRange(0, 512), expected);
}

TEST_F(Faults, BitFlipInReadData) {
  Configure([](sim::CameraState& state) { state.faults.flipRead = {1, 0, {}, 2, 0}; });
  auto client = Connect();
  ASSERT_EQ(client->SelectDevice(DEVICE_POWER_UP), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  std::vector<std::uint8_t> first = client->ReadRange(0, 4);
  EXPECT_EQ(first, (std::vector<std::uint8_t>{0xFF, 0xFE, 0xFF, 0xFF}));
  EXPECT_EQ(client->ReadRange(0, 4), std::vector<std::uint8_t>(4, 0xFF));
}

TEST_F(Faults, PagedQueryRefusedLeavesTheSingleForm) {
  Configure([](sim::CameraState& state) {
    state.settings.pagedVersions = 0;
    state.settings.extraEntries = 5;
  });
  auto client = Connect();
  EXPECT_EQ(client->VersionsPage(0).result, Fw(6));
  Answer single = client->VersionsSingle();
  ASSERT_EQ(single.result, 0u);
  EXPECT_EQ(Le16(single.bytes, 4), 14u);
  EXPECT_STREQ(reinterpret_cast<const char*>(single.bytes.data() + 6 + 9 * 20), "Sensor uP");
}

TEST_F(Faults, MoreThanThirtyVersionEntriesArePaged) {
  Configure([](sim::CameraState& state) { state.settings.extraEntries = 25; });
  auto client = Connect();
  std::vector<ReportedEntry> entries;
  for (std::uint8_t page = 0; page < 4; ++page) {
    Answer answer = client->VersionsPage(page);
    ASSERT_EQ(answer.result, 0u) << int(page);
    ASSERT_EQ(Le16(answer.bytes, 4), 34u);
    for (const ReportedEntry& entry : Entries(answer, page)) entries.push_back(entry);
  }
  ASSERT_EQ(entries.size(), 34u);
  for (std::size_t i = 9; i < entries.size(); ++i) {
    EXPECT_FALSE(DeviceIndexFromCameraName(entries[i].name).has_value()) << entries[i].name;
  }
  EXPECT_EQ(client->VersionsPage(4).result, Fw(22));
}

TEST_F(Faults, LatencyBeyondTheCommandTimeoutIsATimeout) {
  Configure([](sim::CameraState& state) { state.settings.latencyMs = 30; });
  auto client = Connect();
  EXPECT_EQ(client->CameraType().result, 0u);
  std::vector<std::uint8_t> request = Telegram(0x0110, 5, 5);
  std::vector<std::uint8_t> answer(23);
  std::uint32_t timeout = 10;
  client->setTimeouts(client->Handle(), &timeout, 4);
  EXPECT_EQ(client->controlCommand(client->Handle(), request.data(), 5, answer.data(), 23),
            ERR_RESPONSE_TIMEOUT);
}

using HdsdiBoard = SimCameraTest;

TEST_F(HdsdiBoard, ReadAddressScaleTwoReadsFromHalfTheAddress) {
  Configure([](sim::CameraState& state) { state.settings.hdsdiReadScale = 2; });
  auto client = Connect();
  std::vector<std::uint8_t> image(512);
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>(i * 3 + i / 256);
  ASSERT_EQ(client->ProgramImage(DEVICE_HDSDI_FPGA, 0, image), 0u);
  ASSERT_EQ(client->SelectDevice(DEVICE_HDSDI_FPGA), 0u);
  Answer first = client->Read(0, 256);
  Answer second = client->Read(256, 256);
  ASSERT_EQ(second.result, 0u);
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 256, first.bytes.begin() + 12));
  EXPECT_TRUE(std::equal(image.begin() + 128, image.begin() + 384, second.bytes.begin() + 12));
  EXPECT_EQ(Le32(second.bytes, 4), 256u);
  EXPECT_EQ(client->Read(257, 2).result, Fw(88));
  // Other devices read at their byte address.
  ASSERT_EQ(client->End(), 0u);
  ASSERT_EQ(client->SelectDevice(DEVICE_COLOR_DATA), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  ASSERT_EQ(client->Write(128, image.data(), 1), 0u);
  EXPECT_EQ(client->Read(128, 1).bytes[12], image[0]);
}

using Trace = SimCameraTest;

TEST_F(Trace, OneLinePerTelegram) {
  std::string path = folder_.File("trace.txt");
  test::ScopedEnvironment trace("QLM_SIM_TRACE", path);
  {
    auto client = Connect();
    client->CameraType();
    client->SelectDevice(DEVICE_MAIN_FPGA);
    client->Read(0x100, 16);
    client->Read(0x100, 0);
  }
  std::string text = test::ReadFileText(path);
  EXPECT_EQ(text,
            "1 code=0110 req=5 resp=23 size=5 device=-1 result=00000000\n"
            "2 code=4203 req=13 resp=17 size=13 device=2 result=00000000\n"
            "3 code=1403 req=13 resp=269 size=13 start=00000100 end=0000010f device=2 "
            "result=00000000\n"
            "4 code=1403 req=13 resp=269 size=13 start=00000100 end=000000ff device=2 "
            "result=80031004\n");
}

}  // namespace
}  // namespace tarvo::simtest
