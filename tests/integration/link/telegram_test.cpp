#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/telegrams.h"
#include "link_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::uint32_t Get16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes.at(at) | (bytes.at(at + 1) << 8);
}

std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return Get16(bytes, at) | (Get16(bytes, at + 2) << 16);
}

// A versions answer holding `total` as its total and entries named "dev<first+i>".
FakeLinkAnswer VersionsPage(std::uint16_t total, int first, int entries) {
  FakeLinkAnswer answer;
  answer.bytes.assign(207, 0);
  answer.bytes[4] = static_cast<std::uint8_t>(total & 0xFF);
  answer.bytes[5] = static_cast<std::uint8_t>(total >> 8);
  for (int i = 0; i < entries; ++i) {
    std::uint8_t* entry = answer.bytes.data() + 6 + i * 20;
    const std::string name = "dev" + std::to_string(first + i);
    std::memcpy(entry, name.c_str(), name.size() + 1);
    entry[16] = static_cast<std::uint8_t>(first + i);  // minor
    entry[17] = 4;                                     // major
    entry[18] = 0x34;                                  // variant 0x1234
    entry[19] = 0x12;
  }
  return answer;
}

class Telegrams : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
    Fake().calls.clear();
  }

  // Requests sent with Control_Command, in order.
  std::vector<FakeLinkCall> Commands() const { return Fake().CallsOf("Control_Command"); }
  // Timeouts set before each exchange (every second Set_Timeouts call restores 200 ms).
  std::vector<std::uint32_t> ExchangeTimeouts() const {
    std::vector<std::uint32_t> timeouts;
    const auto calls = Fake().CallsOf("Set_Timeouts");
    for (std::size_t i = 0; i < calls.size(); i += 2) timeouts.push_back(calls[i].values[1]);
    return timeouts;
  }
};

TEST_F(Telegrams, CameraTypeRequestAndAnswerFields) {
  FakeLinkAnswer answer;
  answer.bytes.assign(23, 0);
  answer.bytes[4] = 0x10;
  answer.bytes[5] = 0x10;  // type 0x1010
  answer.bytes[8] = 0x39;
  answer.bytes[9] = 0x30;  // serial 12345
  Fake().answers.push_back(answer);
  std::uint16_t type = 0;
  std::uint32_t serial = 0;
  ASSERT_EQ(GetCameraType(&type, &serial), 0u);
  EXPECT_EQ(type, 0x1010);
  EXPECT_EQ(serial, 12345u);
  const auto sent = Commands().at(0);
  EXPECT_THAT(sent.values, ElementsAre(Fake().handle, 5u, 23u));
  EXPECT_EQ(Get16(sent.request, 0), 0x0110u);
  EXPECT_EQ(Get16(sent.request, 2), 5u);
  EXPECT_THAT(ExchangeTimeouts(), ElementsAre(2500u));
}

TEST_F(Telegrams, FailedCameraTypeLeavesOutputsAllOnes) {
  FakeLinkAnswer answer{0x10000002, std::vector<std::uint8_t>(23, 0x11)};
  Fake().answers.push_back(answer);
  std::uint16_t type = 0x1000;
  std::uint32_t serial = 7;
  EXPECT_EQ(GetCameraType(&type, &serial), 0x10000002u);
  EXPECT_EQ(type, 0xFFFF);
  EXPECT_EQ(serial, 0xFFFFFFFFu);
}

class VersionsPaging : public Telegrams {
 protected:
  DeviceVersionEntry table[kVersionTableCapacity + 2] = {};
  std::uint32_t count = 99;

  std::vector<std::uint32_t> PagesAsked() const {
    std::vector<std::uint32_t> pages;
    for (const auto& call : Commands()) {
      EXPECT_EQ(Get16(call.request, 0), 0x0D10u);
      EXPECT_EQ(Get16(call.request, 2), 6u);
      EXPECT_THAT(call.values, ElementsAre(Fake().handle, 6u, 207u));
      pages.push_back(call.request.at(4));
    }
    return pages;
  }
};

TEST_F(VersionsPaging, TwentyFiveEntriesTakeThreePages) {
  Fake().answers = {VersionsPage(25, 0, 10), VersionsPage(25, 10, 10), VersionsPage(25, 20, 5)};
  ASSERT_EQ(GetDeviceVersions(table, &count), 0u);
  EXPECT_EQ(count, 25u);
  EXPECT_THAT(PagesAsked(), ElementsAre(0u, 1u, 2u));
  for (std::uint32_t i = 0; i < count; ++i) {
    EXPECT_EQ(std::string(table[i].name), "dev" + std::to_string(i));
    EXPECT_EQ(table[i].minor, i);
    EXPECT_EQ(table[i].major, 4);
    EXPECT_EQ(table[i].variant, 0x1234);
  }
  EXPECT_THAT(ExchangeTimeouts(), ElementsAre(2500u, 2500u, 2500u));
}

TEST_F(VersionsPaging, LaterPagesTotalsAreNotRead) {
  Fake().answers = {VersionsPage(12, 0, 10), VersionsPage(500, 10, 10)};
  ASSERT_EQ(GetDeviceVersions(table, &count), 0u);
  EXPECT_EQ(count, 12u);
  EXPECT_THAT(PagesAsked(), ElementsAre(0u, 1u));
}

TEST_F(VersionsPaging, NoEntriesTakesOnlyPageZero) {
  Fake().answers = {VersionsPage(0, 0, 0)};
  ASSERT_EQ(GetDeviceVersions(table, &count), 0u);
  EXPECT_EQ(count, 0u);
  EXPECT_THAT(PagesAsked(), ElementsAre(0u));
}

TEST_F(VersionsPaging, RefusedPagedFormFallsBackToSingleFormWithAtMostTen) {
  Fake().answers = {{0x80001006, {}}, VersionsPage(14, 0, 10)};
  ASSERT_EQ(GetDeviceVersions(table, &count), 0u);
  EXPECT_EQ(count, 10u);
  const auto sent = Commands();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(Get16(sent[1].request, 0), 0x0810u);
  EXPECT_EQ(Get16(sent[1].request, 2), 5u);
  EXPECT_THAT(sent[1].values, ElementsAre(Fake().handle, 5u, 207u));
  EXPECT_EQ(std::string(table[9].name), "dev9");
}

TEST_F(VersionsPaging, BothFormsRefusedReturnsTheSingleFormsCode) {
  Fake().answers = {{0x80001006, {}}, {0x10000002, {}}};
  EXPECT_EQ(GetDeviceVersions(table, &count), 0x10000002u);
  EXPECT_EQ(count, 0u);
}

TEST_F(VersionsPaging, FailureOnPageOneKeepsTheFirstTen) {
  Fake().answers = {VersionsPage(25, 0, 10), {0x10000003, {}}};
  EXPECT_EQ(GetDeviceVersions(table, &count), 0x10000003u);
  EXPECT_EQ(count, 10u);
  EXPECT_EQ(std::string(table[9].name), "dev9");
  EXPECT_THAT(PagesAsked(), ElementsAre(0u, 1u));
}

TEST_F(VersionsPaging, MoreThanThirtyEntriesNeverPassTheTable) {
  std::memset(&table[kVersionTableCapacity], 0x5A, 2 * sizeof(DeviceVersionEntry));
  Fake().answers = {VersionsPage(65535, 0, 10), VersionsPage(65535, 10, 10),
                    VersionsPage(65535, 20, 10), VersionsPage(65535, 30, 10)};
  ASSERT_EQ(GetDeviceVersions(table, &count), 0u);
  EXPECT_EQ(count, kVersionTableCapacity);
  EXPECT_EQ(std::string(table[29].name), "dev29");
  // The entries behind the table are untouched, and no page beyond the table's room is asked.
  const auto* guard = reinterpret_cast<const std::uint8_t*>(&table[kVersionTableCapacity]);
  for (std::size_t i = 0; i < 2 * sizeof(DeviceVersionEntry); ++i) ASSERT_EQ(guard[i], 0x5A);
  EXPECT_THAT(PagesAsked(), ElementsAre(0u, 1u, 2u));
}

TEST_F(Telegrams, WriteBlockTravelsAsFullAreaWithSizeFieldOfDataLengthPlus13) {
  std::vector<std::uint8_t> data(100);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i + 1);
  ASSERT_EQ(WriteBlock(0x1000, data.data(), 100), 0u);
  const auto sent = Commands().at(0);
  EXPECT_THAT(sent.values, ElementsAre(Fake().handle, 269u, 15u));
  EXPECT_EQ(Get16(sent.request, 0), 0x1103u);
  EXPECT_EQ(Get16(sent.request, 2), 113u);
  EXPECT_EQ(Get32(sent.request, 4), 0x1000u);
  EXPECT_EQ(Get32(sent.request, 8), 0x1063u);
  EXPECT_THAT(std::vector<std::uint8_t>(sent.request.begin() + 12, sent.request.begin() + 112),
              ElementsAreArray(data));
  EXPECT_THAT(ExchangeTimeouts(), ElementsAre(2500u));
}

TEST_F(Telegrams, ReadBlockAsksInclusiveRangeAndCopiesDataFromOffset12) {
  FakeLinkAnswer answer;
  answer.bytes.assign(269, 0);
  for (int i = 0; i < 256; ++i) answer.bytes[12 + i] = static_cast<std::uint8_t>(255 - i);
  Fake().answers.push_back(answer);
  std::vector<std::uint8_t> destination(256, 0);
  ASSERT_EQ(ReadBlock(0, 256, destination.data()), 0u);
  const auto sent = Commands().at(0);
  EXPECT_THAT(sent.values, ElementsAre(Fake().handle, 13u, 269u));
  EXPECT_EQ(Get16(sent.request, 0), 0x1403u);
  EXPECT_EQ(Get16(sent.request, 2), 13u);
  EXPECT_EQ(Get32(sent.request, 4), 0u);
  EXPECT_EQ(Get32(sent.request, 8), 255u);
  EXPECT_EQ(destination[0], 255);
  EXPECT_EQ(destination[255], 0);
}

TEST_F(Telegrams, ReadBlockCopiesOnlyTheLengthAskedAlsoOnFailure) {
  FakeLinkAnswer answer{0x10000004, std::vector<std::uint8_t>(269, 0x77)};
  Fake().answers.push_back(answer);
  std::vector<std::uint8_t> destination(8, 0);
  EXPECT_EQ(ReadBlock(0x200, 4, destination.data()), 0x10000004u);
  EXPECT_THAT(destination, ElementsAre(0x77, 0x77, 0x77, 0x77, 0, 0, 0, 0));
  EXPECT_EQ(Get32(Commands().at(0).request, 8), 0x203u);
}

TEST_F(Telegrams, DeviceAccessCommandsCarryEightZeroFieldBytes) {
  ASSERT_EQ(SelectDevice(0x4A03), 0u);
  ASSERT_EQ(EraseDevice(100), 0u);
  ASSERT_EQ(EndDeviceAccess(), 0u);
  const auto sent = Commands();
  ASSERT_EQ(sent.size(), 3u);
  const std::uint32_t codes[] = {0x4A03, 0x1003, 0x0003};
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_THAT(sent[i].values, ElementsAre(Fake().handle, 13u, 17u));
    EXPECT_EQ(Get16(sent[i].request, 0), codes[i]);
    EXPECT_EQ(Get16(sent[i].request, 2), 13u);
    EXPECT_THAT(
        std::vector<std::uint8_t>(sent[i].request.begin() + 4, sent[i].request.begin() + 12),
        ElementsAre(0, 0, 0, 0, 0, 0, 0, 0));
  }
  EXPECT_THAT(ExchangeTimeouts(), ElementsAre(2500u, 100000u, 2500u));
}

TEST_F(Telegrams, RebootRequestIsShortWithLongAnswer) {
  Fake().answers.push_back({0x10000002, {}});
  EXPECT_EQ(RequestReboot(), 0x10000002u);
  const auto sent = Commands().at(0);
  EXPECT_THAT(sent.values, ElementsAre(Fake().handle, 5u, 272u));
  EXPECT_EQ(Get16(sent.request, 0), 0x1704u);
  EXPECT_EQ(Get16(sent.request, 2), 5u);
  EXPECT_THAT(ExchangeTimeouts(), ElementsAre(350u));
}

}  // namespace
}  // namespace tarvo::test
