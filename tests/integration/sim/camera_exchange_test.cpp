// Exchanges at the interface library's binary interface: every command answered in a sealed
// frame of its own, the versions the camera finds in its devices, and every request that is not
// exactly what its command requires refused with the camera's error code, changing nothing.
#include "sim/core/factory_images.h"
#include "sim/core/telegram_frame.h"
#include "sim_fixture.h"

namespace tarvo::simtest {
namespace {

using CameraExchange = SimCameraTest;

TEST_F(CameraExchange, EveryCommandIsAnsweredInASealedFrameOfItsOwn) {
  Connect();
  const Bytes data(100, 0x5A);
  Bytes write = Telegram(0x1103, 113, 269, 0x1000, 0x1063);
  std::copy(data.begin(), data.end(), write.begin() + 12);
  const struct {
    Bytes request;
    std::uint32_t responseLength;
  } exchanges[] = {{Telegram(0x0110, 5, 5), 23},
                   {Telegram(0x0D10, 6, 6), 207},
                   {Telegram(0x0810, 5, 5), 207},
                   {Telegram(0x4203, 13, 13), 17},
                   {Telegram(0x1003, 13, 13), 17},
                   {write, 15},
                   {Telegram(0x1403, 13, 13, 0x1000, 0x1063), 269},
                   {Telegram(0x0003, 13, 13), 17},
                   {Telegram(0x1704, 5, 5), 272}};
  std::vector<Answer> answers;
  for (const auto& exchange : exchanges) {
    const Answer& answer = answers.emplace_back(Send(exchange.request, exchange.responseLength));
    const std::uint32_t code = Le(exchange.request, 0);
    ASSERT_EQ(answer.result, 0u) << code;
    EXPECT_EQ(Le(answer.bytes, 0), code);
    EXPECT_EQ(Le(answer.bytes, 2), exchange.responseLength) << code;
    EXPECT_TRUE(sim::IsSealed(answer.bytes.data(), exchange.responseLength)) << code;
  }
  EXPECT_EQ(Le(answers[0].bytes, 4), 0x1000u);
  EXPECT_EQ(Le(answers[0].bytes, 8, 4), 4711u);
  EXPECT_EQ(Le(answers[1].bytes, 4), 9u);
  EXPECT_TRUE(std::equal(answers[2].bytes.begin() + 4, answers[2].bytes.begin() + 186,
                         answers[1].bytes.begin() + 4));
  EXPECT_EQ(Le(answers[6].bytes, 4, 4), 0x1000u);
  EXPECT_EQ(Le(answers[6].bytes, 8, 4), 0x1063u);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), answers[6].bytes.begin() + 12));
  Connect();  // after the reboot; the library seals a copy of the request, not the caller's
  Bytes request = Telegram(0x0110, 5, 5), answer(23);
  ASSERT_EQ(Transact(2500, request.data(), 5, answer.data(), 23), 0u);
  EXPECT_EQ(request[4], 0u);
}

TEST_F(CameraExchange, VersionsComeFromWhatTheDevicesHold) {
  Connect();
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    const sim::FactoryImage image = sim::BuildFactoryImage(index, 12, 4, 11);
    ASSERT_EQ(ProgramImage(index, image.start, image.bytes), 0u) << index;
    EXPECT_EQ(VersionOf(index), "012 V04.11") << index;
  }
  // Neither an erased device nor an HD-SDI image written without its word swap is reported.
  ASSERT_EQ(ProgramImage(DEVICE_MAIN_FPGA, 0, {}), 0u);
  const sim::FactoryImage plain = sim::BuildFactoryImage(DEVICE_MAIN_FPGA, 1, 2, 3);
  ASSERT_EQ(ProgramImage(DEVICE_HDSDI_FPGA, 0, plain.bytes), 0u);
  EXPECT_EQ(VersionOf(DEVICE_MAIN_FPGA), "");
  EXPECT_EQ(VersionOf(DEVICE_HDSDI_FPGA), "");
  EXPECT_EQ(Le(VersionsPage(0).bytes, 4), 7u);
}

TEST_F(CameraExchange, MalformedRequestsAreRefusedWithTheCamerasErrorCode) {
  Connect();
  const struct {
    const char* what;
    Bytes request;
    std::uint32_t responseLength;
    std::uint32_t expected;
  } cases[] = {
      {"erase without a selected device", Telegram(0x1003, 13, 13), 17, Fw(83)},
      {"write without a selected device", Telegram(0x1103, 14, 269), 15, Fw(83)},
      {"read without a selected device", Telegram(0x1403, 13, 13), 269, Fw(83)},
      {"end without a selected device", Telegram(0x0003, 13, 13), 17, Fw(83)},
      {"select code of no device", Telegram(0x4603, 13, 13), 17, Fw(80)},
      {"select code past the catalogue", Telegram(0x4F03, 13, 13), 17, Fw(80)},
      {"newer HD-SDI board's code on the older board", Telegram(0x4A03, 13, 13), 17, Fw(81)},
      {"select with a field set", Telegram(0x4003, 13, 13, 1), 17, Fw(22)},
      {"select Main FPGA", Telegram(0x4203, 13, 13), 17, 0},
      {"erase it", Telegram(0x1003, 13, 13), 17, 0},
      {"unknown command", Telegram(0x1203, 13, 13), 17, Fw(6)},
      {"code of another group", Telegram(0x0210, 5, 5), 23, Fw(6)},
      {"request shorter than a telegram", {0x10, 0x01, 0x05, 0x00}, 23, Fw(4)},
      {"camera type request too long", Telegram(0x0110, 5, 6), 23, Fw(4)},
      {"camera type size field", Telegram(0x0110, 6, 5), 23, Fw(4)},
      {"camera type answer too short", Telegram(0x0110, 5, 5), 22, Fw(4)},
      {"versions answer too long", Telegram(0x0810, 5, 5), 208, Fw(4)},
      {"paged versions without page byte", Telegram(0x0D10, 5, 5), 207, Fw(4)},
      {"paged versions beyond the last page", Telegram(0x0D10, 6, 6, 1), 207, Fw(22)},
      {"erase with reserved byte set", Telegram(0x1003, 13, 13, 0x01000000), 17, Fw(22)},
      {"end access with reserved byte set", Telegram(0x0003, 13, 13, 0, 1u << 31), 17, Fw(22)},
      {"erase request of write length", Telegram(0x1003, 13, 269), 17, Fw(4)},
      {"write request not 269 bytes", Telegram(0x1103, 113, 113), 15, Fw(4)},
      {"write without data", Telegram(0x1103, 13, 269), 15, Fw(4)},
      {"write of 257 bytes", Telegram(0x1103, 270, 269, 0, 256), 15, Fw(4)},
      {"write end not start + length - 1", Telegram(0x1103, 113, 269, 0x1000, 0x1064), 15, Fw(5)},
      {"write answer length", Telegram(0x1103, 113, 269, 0x1000, 0x1063), 17, Fw(4)},
      {"write past capacity", Telegram(0x1103, 14, 269, 0x800000, 0x800000), 15, Fw(88)},
      {"write straddling the end", Telegram(0x1103, 269, 269, 0x7FFF80, 0x80007F), 15, Fw(88)},
      {"read end before start", Telegram(0x1403, 13, 13, 0x100, 0xFF), 269, Fw(4)},
      {"read of 257 bytes", Telegram(0x1403, 13, 13, 0, 256), 269, Fw(4)},
      {"read past capacity", Telegram(0x1403, 13, 13, 0x7FFFFF, 0x800000), 269, Fw(88)},
      {"read answer too short", Telegram(0x1403, 13, 13, 0, 255), 268, Fw(4)},
      {"reboot request with field", Telegram(0x1704, 6, 6), 272, Fw(4)},
      {"reboot answer length", Telegram(0x1704, 5, 5), 17, Fw(4)},
      {"select while a device is open", Telegram(0x4303, 13, 13), 17, Fw(82)},
  };
  for (const auto& c : cases) {
    const Answer answer = Send(c.request, c.responseLength);
    EXPECT_EQ(answer.result, c.expected) << c.what;
    if (c.expected != 0) {
      EXPECT_EQ(answer.bytes, Bytes(c.responseLength, 0xEE)) << c.what;
    }
  }
  // Nothing of the refused writes reached the flash.
  EXPECT_EQ(ReadRange(0x1000, 0x100), Bytes(0x100, 0xFF));
}

TEST_F(CameraExchange, LibraryRefusesCallsWithoutAValidConnection) {
  Connect();
  const LinkState& link = CurrentLinkState();
  Bytes request = Telegram(0x0110, 5, 5), answer(23);
  EXPECT_EQ(link.controlCommand(0, request.data(), 5, answer.data(), 23),
            sim::kLibraryInvalidHandle);
  EXPECT_EQ(link.controlCommand(link.cameraHandle + 1, request.data(), 5, answer.data(), 23),
            sim::kLibraryInvalidHandle);
  EXPECT_EQ(link.controlCommand(link.cameraHandle, nullptr, 5, answer.data(), 23),
            sim::kLibraryWrongParameter);
  std::uint32_t timeout = 100;
  EXPECT_EQ(link.setTimeouts(link.cameraHandle, &timeout, 3), sim::kLibraryWrongParameter);
  EXPECT_EQ(link.openCam(0, nullptr), sim::kLibraryWrongParameter);
}

}  // namespace
}  // namespace tarvo::simtest
