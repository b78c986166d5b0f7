// The camera refuses every request that is not exactly what its command requires, with a
// firmware error code, and changes nothing.
#include "sim_fixture.h"

namespace tarvo::simtest {
namespace {

struct Malformed {
  const char* what;
  std::vector<std::uint8_t> request;
  std::uint32_t responseLength;
  std::uint32_t expected;
};

std::vector<std::uint8_t> WithByte(std::vector<std::uint8_t> bytes, std::size_t at,
                                   std::uint8_t value) {
  bytes[at] = value;
  return bytes;
}

std::vector<std::uint8_t> WriteRequest(std::uint16_t size, std::uint32_t start, std::uint32_t end) {
  std::vector<std::uint8_t> request = Telegram(0x1103, size, 269);
  PutLe32(request, 4, start);
  PutLe32(request, 8, end);
  return request;
}

std::vector<std::uint8_t> ReadRequest(std::uint32_t start, std::uint32_t end) {
  std::vector<std::uint8_t> request = Telegram(0x1403, 13, 13);
  PutLe32(request, 4, start);
  PutLe32(request, 8, end);
  return request;
}

// With Main FPGA selected.
std::vector<Malformed> SelectedDeviceCases() {
  return {
      {"unknown command", Telegram(0x1203, 13, 13), 17, Fw(6)},
      {"code of another group", Telegram(0x0210, 5, 5), 23, Fw(6)},
      {"request shorter than a telegram", {0x10, 0x01, 0x05, 0x00}, 23, Fw(4)},
      {"camera type request too long", Telegram(0x0110, 5, 6), 23, Fw(4)},
      {"camera type size field", Telegram(0x0110, 6, 5), 23, Fw(4)},
      {"camera type answer too short", Telegram(0x0110, 5, 5), 22, Fw(4)},
      {"versions answer too long", Telegram(0x0810, 5, 5), 208, Fw(4)},
      {"paged versions without page byte", Telegram(0x0D10, 5, 5), 207, Fw(4)},
      {"paged versions beyond the last page", WithByte(Telegram(0x0D10, 6, 6), 4, 1), 207, Fw(22)},
      {"erase with reserved byte set", WithByte(Telegram(0x1003, 13, 13), 7, 1), 17, Fw(22)},
      {"end access with reserved byte set", WithByte(Telegram(0x0003, 13, 13), 11, 0x80), 17,
       Fw(22)},
      {"erase request of write length", Telegram(0x1003, 13, 269), 17, Fw(4)},
      {"write request not 269 bytes", Telegram(0x1103, 113, 113), 15, Fw(4)},
      {"write without data", WriteRequest(13, 0, 0), 15, Fw(4)},
      {"write of 257 bytes", WriteRequest(270, 0, 256), 15, Fw(4)},
      {"write end not start + length - 1", WriteRequest(113, 0x1000, 0x1064), 15, Fw(5)},
      {"write answer length", WriteRequest(113, 0x1000, 0x1063), 17, Fw(4)},
      {"write past capacity", WriteRequest(14, 0x800000, 0x800000), 15, Fw(88)},
      {"write straddling the end", WriteRequest(269, 0x7FFF80, 0x80007F), 15, Fw(88)},
      {"read end before start", ReadRequest(0x100, 0xFF), 269, Fw(4)},
      {"read of 257 bytes", ReadRequest(0, 256), 269, Fw(4)},
      {"read past capacity", ReadRequest(0x7FFFFF, 0x800000), 269, Fw(88)},
      {"read answer too short", ReadRequest(0, 255), 268, Fw(4)},
      {"reboot request with field", Telegram(0x1704, 6, 6), 272, Fw(4)},
      {"reboot answer length", Telegram(0x1704, 5, 5), 17, Fw(4)},
      {"select while a device is open", Telegram(0x4303, 13, 13), 17, Fw(82)},
  };
}

using MalformedRequests = SimCameraTest;

TEST_F(MalformedRequests, AreRefusedWithTheCamerasErrorCode) {
  auto client = Connect();
  ASSERT_EQ(client->SelectDevice(DEVICE_MAIN_FPGA), 0u);
  ASSERT_EQ(client->Erase(), 0u);
  for (const Malformed& c : SelectedDeviceCases()) {
    Answer answer = client->Send(c.request, c.responseLength);
    EXPECT_EQ(answer.result, c.expected) << c.what;
    EXPECT_EQ(answer.bytes, std::vector<std::uint8_t>(c.responseLength, 0xEE)) << c.what;
  }
  // Nothing of the refused writes reached the flash.
  std::vector<std::uint8_t> head = client->ReadRange(0x1000, 0x100);
  EXPECT_EQ(head, std::vector<std::uint8_t>(0x100, 0xFF));
}

TEST_F(MalformedRequests, DeviceCommandsNeedASelectedDeviceAndSelectACatalogueCode) {
  auto client = Connect();
  std::uint8_t byte = 0x12;
  EXPECT_EQ(client->Erase(), Fw(83));
  EXPECT_EQ(client->Write(0, &byte, 1), Fw(83));
  EXPECT_EQ(client->Read(0, 1).result, Fw(83));
  EXPECT_EQ(client->End(), Fw(83));
  EXPECT_EQ(client->Select(0x4603), Fw(80));
  EXPECT_EQ(client->Select(0x4F03), Fw(80));
  EXPECT_EQ(client->Select(0x4A03), Fw(81));  // older HD-SDI board
  EXPECT_EQ(client->Send(WithByte(Telegram(0x4003, 13, 13), 4, 1), 17).result, Fw(22));
  EXPECT_EQ(client->Select(0x4703), 0u);
}

TEST_F(MalformedRequests, EachHdsdiBoardRevisionAnswersOnlyToItsOwnCode) {
  Configure([](sim::CameraState& state) { state.settings.newerHdsdiBoard = 1; });
  auto client = Connect();
  EXPECT_EQ(client->Select(0x4703), Fw(81));
  EXPECT_EQ(client->Select(0x4A03), 0u);
  EXPECT_EQ(Snapshot().runtime.selectedDevice, static_cast<int>(DEVICE_HDSDI_FPGA));
}

TEST_F(MalformedRequests, LibraryRefusesCallsWithoutAValidConnection) {
  SimClient client;
  std::vector<std::uint8_t> request = Telegram(0x0110, 5, 5);
  std::vector<std::uint8_t> answer(23);
  EXPECT_EQ(client.controlCommand(0, request.data(), 5, answer.data(), 23),
            sim::kLibraryInvalidHandle);
  ASSERT_EQ(client.Open(), 0u);
  EXPECT_EQ(client.controlCommand(client.Handle() + 1, request.data(), 5, answer.data(), 23),
            sim::kLibraryInvalidHandle);
  EXPECT_EQ(client.controlCommand(client.Handle(), nullptr, 5, answer.data(), 23),
            sim::kLibraryWrongParameter);
  std::uint32_t timeout = 100;
  EXPECT_EQ(client.setTimeouts(client.Handle(), &timeout, 3), sim::kLibraryWrongParameter);
  EXPECT_EQ(client.openCam(0, nullptr), sim::kLibraryWrongParameter);
}

}  // namespace
}  // namespace tarvo::simtest
