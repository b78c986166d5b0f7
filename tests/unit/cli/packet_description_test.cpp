#include "cli/packet_description.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tarvo::cli {
namespace {

platform::CalendarTime SealTime() {
  platform::CalendarTime time;
  time.year = 2026;
  time.month = 12;
  time.day = 7;
  time.hour = 8;
  time.minute = 30;
  return time;
}

class PacketDescriptionTest : public ::testing::Test {
 protected:
  // A packet as a backup writes it: no order stored, so all 64 codes stay zero.
  json::Json Describe(bool withOrder) {
    CFirmwarePacket packet(&SealTime);
    EXPECT_TRUE(packet.CreatePacket());
    const std::uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    ImageVersion version;
    version.variant = 1;
    version.major = 4;
    version.minor = 11;
    version.day = 2;
    version.month = 5;
    version.year = 2024;
    version.hour = 13;
    version.minute = 9;
    EXPECT_TRUE(packet.AddImage(2, 0x20, 6, bytes, version));
    EXPECT_TRUE(packet.AddImage(12, 0, 2, bytes, version));
    if (withOrder) {
      ProgramOrder order;
      order.fill(ORDER_END);
      order[0] = 2;
      order[1] = ORDER_WAIT | 30;
      order[2] = 0x4001;
      EXPECT_TRUE(packet.SetOrder(order));
    }
    EXPECT_TRUE(packet.SealPacket());
    const std::string path = temp_.File("p.tvf");
    EXPECT_TRUE(packet.SavePacket(path));
    CFirmwarePacket loaded;
    EXPECT_TRUE(loaded.LoadPacket(path));
    return DescribePacket(loaded, path, INTERFACE_GIGE);
  }

  test::TempFolder temp_;
};

// The order's steps read as a run on the chosen interface takes them; a code no run knows ends
// the order there.
TEST_F(PacketDescriptionTest, EntriesAndOrderInWords) {
  const json::Json json = Describe(true);
  EXPECT_EQ(json["creationText"], "File created: 07.12.2026 08:30.");
  EXPECT_EQ(json["length"], 6776 + 8 + 4);
  ASSERT_EQ(json["entries"].size(), 2u);
  EXPECT_EQ(json["entries"][0]["start"], 0x20);
  EXPECT_EQ(json["entries"][0]["end"], 0x25);
  EXPECT_EQ(json["entries"][0]["version"]["text"], "001 V04.11");
  EXPECT_EQ(json["entries"][0]["imageTime"], "2024-05-02T13:09");
  EXPECT_EQ(json["entries"][1]["device"], json::Json({{"index", 12}, {"name", "device 12"}}));
  EXPECT_TRUE(json["orderStored"].get<bool>());
  ASSERT_EQ(json["order"].size(), 3u);
  EXPECT_EQ(json["order"][0]["pauseMs"], 1000);
  EXPECT_EQ(json["order"][1]["code"], "201e");
  EXPECT_EQ(json["order"][1]["waitMs"], 30000);
  EXPECT_EQ(json["order"][2]["kind"], "unknown");
  const std::string text = PacketDescriptionText(json);
  EXPECT_NE(
      text.find("  0  Main FPGA    00000020  00000025  6         001 V04.11  2024-05-02 13:09\n"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("   1. Erase and program Main FPGA, then pause 1 s\n   2. Wait 30 s\n"
                      "   3. Unknown step 0x4001: the order ends here\n  End\n"),
            std::string::npos)
      << text;
}

TEST_F(PacketDescriptionTest, PacketWithoutAStoredOrderSaysSo) {
  const json::Json json = Describe(false);
  EXPECT_FALSE(json["orderStored"].get<bool>());
  EXPECT_FALSE(json["orderEnds"].get<bool>());
  EXPECT_NE(PacketDescriptionText(json).find("none stored"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::cli
