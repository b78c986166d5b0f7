// What packet show makes of headers the end-to-end runs do not build: an unknown step code, no
// stored order, a damaged header.
#include "cli/packet_description.h"

#include <gtest/gtest.h>

#include "support/packet_bytes.h"
#include "support/temp_folder.h"

namespace tarvo::cli {
namespace {

platform::CalendarTime SealTime() {
  return {2026, 12, 7, 8, 30, 0, 0};
}

class PacketDescriptionTest : public ::testing::Test {
 protected:
  // A packet of one image; with an order or without one, as a backup writes it.
  json::Json Describe(bool withOrder) {
    CFirmwarePacket packet(&SealTime);
    EXPECT_TRUE(packet.CreatePacket());
    const std::uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    const ImageVersion version{11, 4, 1, 13, 9, 2, 5, 2024};
    EXPECT_TRUE(packet.AddImage(2, 0x20, 6, bytes, version));
    if (withOrder) {
      ProgramOrder order;
      order.fill(ORDER_END);
      order[0] = 2;
      order[1] = ORDER_WAIT | 30;
      order[2] = 0x4001;
      EXPECT_TRUE(packet.SetOrder(order));
    }
    EXPECT_TRUE(packet.SealPacket());
    EXPECT_TRUE(packet.SavePacket(temp_.File("p.tvf")));
    CFirmwarePacket loaded;
    EXPECT_TRUE(loaded.LoadPacket(temp_.File("p.tvf")));
    return DescribePacket(loaded, temp_.File("p.tvf"), INTERFACE_GIGE);
  }

  test::TempFolder temp_;
};

TEST_F(PacketDescriptionTest, UnknownStepsEndTheOrderAndAMissingOrderIsNamed) {
  const json::Json json = Describe(true);
  EXPECT_EQ(json["order"][2]["kind"], "unknown");
  EXPECT_NE(PacketDescriptionText(json).find("   2. Wait 30 s\n"
                                             "   3. Unknown step 0x4001: the order ends here\n"
                                             "  End\n"),
            std::string::npos);
  const json::Json backup = Describe(false);
  EXPECT_FALSE(backup["orderStored"].get<bool>());
  EXPECT_NE(PacketDescriptionText(backup).find("none stored"), std::string::npos);
}

// What a hand-made or damaged header may hold is shown as it is, but never wrongly: a count
// beyond the table, an empty image, and bytes of the creation text that would steer a terminal.
TEST_F(PacketDescriptionTest, UnusualHeadersAreShownSafely) {
  CFirmwarePacket packet(&SealTime);
  ASSERT_TRUE(packet.CreatePacket());
  ASSERT_TRUE(packet.AddImage(5, 0, 0, nullptr, {}));
  ASSERT_TRUE(packet.SealPacket());
  const std::string path = temp_.File("p.tvf");
  ASSERT_TRUE(packet.SavePacket(path));
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(path);
  bytes[2092] = 40;  // entry count
  const std::string created = "File\x1b[2J\\\xff";
  std::copy(created.begin(), created.end(), bytes.begin() + 2012);
  test::ResealPacket(&bytes);
  test::WriteFileBytes(path, bytes);
  CFirmwarePacket loaded;
  ASSERT_TRUE(loaded.LoadPacket(path)) << loaded.LastErrorWithDetail();

  const json::Json json = DescribePacket(loaded, path, INTERFACE_USB2);
  EXPECT_EQ(json["creationText"], "File\\x1b[2J\\\\\\xffed: 07.12.2026 08:30.");
  EXPECT_TRUE(json["entries"][0]["end"].is_null());
  EXPECT_NO_THROW(json.dump());
  EXPECT_EQ(json["entries"].size(), 32u);
  const std::string text = PacketDescriptionText(json);
  EXPECT_NE(text.find("Entries:         40 (more than the 32 the header has room for; the first "
                      "32 are shown)\n"),
            std::string::npos);
  EXPECT_NE(text.find("  0  Main uP      00000000  -         0 "), std::string::npos) << text;
}

}  // namespace
}  // namespace tarvo::cli
