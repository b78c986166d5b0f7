// Reboots, the faults tarvo-camsim sets in the camera the library reaches, the telegram trace.
#include "sim_fixture.h"

namespace tarvo::simtest {
namespace {

using Reboot = SimCameraTest;

// The camera is gone until the next connection and forgets the selection; here it comes back
// with another serial number, as if another camera had been plugged in. A camera that is not
// back after its reboot stays gone on every interface, also on a second try.
TEST_F(Reboot, CameraIsGoneUntilTheNextConnectionOrForGood) {
  ASSERT_EQ(Camsim("fault new-serial-after-reboot --serial 815").status, 0);
  Connect();
  ASSERT_EQ(Select(DEVICE_MAIN_UP), 0u);
  ASSERT_EQ(Send(Telegram(0x1704, 5, 5), 272).result, 0u);
  EXPECT_EQ(CameraType().result, ERR_RESPONSE_TIMEOUT);
  EXPECT_EQ(CloseLink(), 0u);
  Connect();
  EXPECT_EQ(Le(CameraType().bytes, 8, 4), 815u);
  EXPECT_EQ(EndDeviceAccess(), Fw(83));
  ASSERT_EQ(Camsim("fault not-back-after-reboot").status, 0);
  ASSERT_EQ(Send(Telegram(0x1704, 5, 5), 272).result, 0u);
  for (const auto& [type, driver] : {std::pair{INTERFACE_USB2, 0x310000u},
                                     {INTERFACE_USB2, 0x310000u},
                                     {INTERFACE_GIGE, 0x320000u},
                                     {INTERFACE_USB3, 0x340000u}}) {
    EXPECT_EQ(OpenLink(type), sim::DriverError(driver, 1)) << type;
  }
}

using Faults = SimCameraTest;

TEST_F(Faults, FailsTheNthTelegramOfOneCommandWithoutCarryingItOut) {
  Connect();
  ASSERT_EQ(Select(DEVICE_COLOR_DATA), 0u);
  ASSERT_EQ(EraseDevice(30), 0u);
  ASSERT_EQ(Camsim("fault fail-telegram --nth 2 --command 0x1103 --code 0x80031059").status, 0);
  const std::uint8_t data[4] = {1, 2, 3, 4};
  std::uint8_t back[4];
  EXPECT_EQ(WriteBlock(0, data, 4), 0u);
  EXPECT_EQ(ReadBlock(0, 4, back), 0u);
  EXPECT_EQ(WriteBlock(4, data, 4), 0x80031059u);
  EXPECT_EQ(WriteBlock(8, data, 4), 0u);
  EXPECT_EQ(ReadRange(4, 4), Bytes(4, 0xFF));
}

TEST_F(Faults, BitFlipsInWrittenAndInReadData) {
  Connect();
  ASSERT_EQ(Select(DEVICE_MAIN_FPGA), 0u);
  ASSERT_EQ(EraseDevice(30), 0u);
  ASSERT_EQ(Camsim("fault flip-write --nth 300 --bit 3").status, 0);
  Bytes expected(512, 0x00);
  ASSERT_EQ(WriteBlock(0, expected.data(), 256), 0u);
  ASSERT_EQ(WriteBlock(256, expected.data(), 256), 0u);
  expected[299] = 0x08;  // kept in the flash
  EXPECT_EQ(ReadRange(0, 512), expected);
  // Once in the answer only: the flash keeps what it holds.
  ASSERT_EQ(Camsim("fault flip-read --nth 2 --bit 0").status, 0);
  EXPECT_EQ(ReadRange(0, 4), (Bytes{0x00, 0x01, 0x00, 0x00}));
  EXPECT_EQ(ReadRange(0, 4), Bytes(4, 0x00));
}

TEST_F(Faults, EntriesBeyondTenArePagedOrCutToTheSingleForm) {
  ASSERT_EQ(Camsim("fault many-versions").status, 0);
  Connect();
  std::size_t entries = 0;
  for (std::uint8_t page = 0; page < 4; ++page) {
    const Answer answer = VersionsPage(page);
    ASSERT_EQ(Le(answer.bytes, 4), 34u) << int(page);
    entries += Entries(answer, page).size();
  }
  EXPECT_EQ(entries, 34u);
  EXPECT_EQ(VersionsPage(4).result, Fw(22));
  ASSERT_EQ(Camsim("fault paged-refused").status, 0);
  EXPECT_EQ(VersionsPage(0).result, Fw(6));
  const Answer single = Send(Telegram(0x0810, 5, 5), 207);
  EXPECT_EQ(Le(single.bytes, 4), 34u);
  EXPECT_STREQ(reinterpret_cast<const char*>(single.bytes.data() + 6 + 9 * 20), "Sensor uP");
}

TEST_F(Faults, LatencyBeyondTheCommandTimeoutIsATimeout) {
  ASSERT_EQ(Camsim("fault latency --ms 30").status, 0);
  Connect();
  EXPECT_EQ(CameraType().result, 0u);
  EXPECT_EQ(Send(Telegram(0x0110, 5, 5), 23, 10).result, ERR_RESPONSE_TIMEOUT);
}

TEST_F(SimCameraTest, TraceHasOneLinePerTelegram) {
  const std::string path = folder_.File("trace.txt");
  test::ScopedEnvironment trace("QLM_SIM_TRACE", path);
  Connect();
  (void)Select(DEVICE_MAIN_FPGA);
  (void)Send(Telegram(0x1403, 13, 13, 0x100, 0xFF), 269);
  ASSERT_EQ(CloseLink(), 0u);
  EXPECT_EQ(test::ReadFileText(path),
            "1 code=4203 req=13 resp=17 size=13 device=2 result=00000000\n"
            "2 code=1403 req=13 resp=269 size=13 start=00000100 end=000000ff device=2 "
            "result=80031004\n");
}

}  // namespace
}  // namespace tarvo::simtest
