#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "link/link.h"
#include "link/telegrams.h"
#include "link_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;
using Words = std::vector<std::uint32_t>;

class Telegrams : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ASSERT_EQ(OpenLink(INTERFACE_USB2), 0u);
    Fake().calls.clear();
  }
  // The requests sent: the first bytes of each, its request and answer lengths and the timeout
  // set for it. The timeout goes back to 200 ms after every exchange.
  std::vector<Words> Sent(std::size_t head) const {
    std::vector<Words> sent;
    const auto timeouts = Fake().CallsOf("Set_Timeouts");
    for (const FakeLinkCall& call : Fake().CallsOf("Control_Command")) {
      EXPECT_THAT(timeouts.at(2 * sent.size() + 1).values, ElementsAre(Fake().handle, 200u, 4u));
      Words words(call.request.begin(), call.request.begin() + head);
      words.insert(words.end(),
                   {call.values[1], call.values[2], timeouts.at(2 * sent.size()).values[1]});
      sent.push_back(words);
    }
    return sent;
  }
};

// Each command's code and size field, its field bytes (zero for device access, an inclusive
// address range for the block commands), request and answer lengths and timeout.
TEST_F(Telegrams, EachCommandTravelsWithItsCodeLengthsAndTimeout) {
  std::uint8_t data[256] = {};
  std::uint16_t type = 0;
  std::uint32_t serial = 0;
  const std::pair<std::function<std::uint32_t()>, Words> cases[] = {
      {[&] { return GetCameraType(&type, &serial); }, {0x10, 0x01, 5, 0, 5, 23, 2500}},
      {[&] { return SelectDevice(0x4A03); },
       {3, 0x4A, 13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 13, 17, 2500}},
      {[&] { return EraseDevice(100); }, {3, 0x10, 13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 13, 17, 100000}},
      {[&] { return EndDeviceAccess(); }, {3, 0, 13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 13, 17, 2500}},
      {[&] { return WriteBlock(0x1000, data, 100); },
       {3, 0x11, 113, 0, 0, 0x10, 0, 0, 0x63, 0x10, 0, 0, 269, 15, 2500}},
      {[&] { return ReadBlock(0x200, 4, data); },
       {3, 0x14, 13, 0, 0, 0x02, 0, 0, 0x03, 0x02, 0, 0, 13, 269, 2500}},
      {[&] { return RequestReboot(); }, {4, 0x17, 5, 0, 5, 272, 350}},
  };
  for (const auto& [call, expected] : cases) {
    Fake().calls.clear();
    EXPECT_EQ(call(), 0u);
    EXPECT_EQ(Sent(expected.size() - 3), std::vector<Words>{expected});
  }
  Fake().calls.clear();
  Fake().answers = {{0x10000002, {}}};
  EXPECT_EQ(EraseDevice(30), 0x10000002u);
  EXPECT_EQ(Sent(0), std::vector<Words>({{13, 17, 30000}}));  // also back to 200 ms after it
}

// The paged form asks page after page until the total of page 0 is read, never more than the
// table holds; a refused page 0 falls back once to the single form (at most ten entries).
TEST_F(Telegrams, DeviceVersionsArePagedAndFallBackToTheSingleForm) {
  auto page = [](std::uint16_t total) {
    std::vector<std::uint8_t> bytes(207, 0);
    bytes[4] = static_cast<std::uint8_t>(total);
    bytes[5] = static_cast<std::uint8_t>(total >> 8);
    return FakeLinkAnswer{0, bytes};
  };
  const FakeLinkAnswer refused{0x80001006, {}};
  const struct {
    std::vector<FakeLinkAnswer> answers;
    std::uint32_t result, count;
    std::vector<int> pages;  // -1: the single form
  } cases[] = {
      {{page(25), page(25), page(25)}, 0, 25, {0, 1, 2}},
      {{page(12), page(500)}, 0, 12, {0, 1}},
      {{page(0)}, 0, 0, {0}},
      {{page(25), {0x10000003, {}}}, 0x10000003, 10, {0, 1}},
      {{page(65535), page(65535), page(65535), page(65535)}, 0, 30, {0, 1, 2}},
      {{refused, {0x10000002, {}}}, 0x10000002, 0, {0, -1}},
  };
  for (const auto& c : cases) {
    Fake().calls.clear();
    Fake().answers.assign(c.answers.begin(), c.answers.end());
    DeviceVersionEntry table[kVersionTableCapacity];
    std::uint32_t count = 99;
    EXPECT_EQ(GetDeviceVersions(table, &count), c.result);
    EXPECT_EQ(count, c.count);
    std::vector<Words> expected;
    for (int n : c.pages) {
      expected.push_back(
          n < 0 ? Words{0x10, 0x08, 5, 0, 0, 5, 207, 2500}
                : Words{0x10, 0x0D, 6, 0, static_cast<std::uint32_t>(n), 6, 207, 2500});
    }
    EXPECT_EQ(Sent(5), expected) << c.count;
  }
}

}  // namespace
}  // namespace tarvo::test
