#include "cli/packet_description.h"

#include <gtest/gtest.h>

#include "support/packet_bytes.h"
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
  nlohmann::json Describe(bool withOrder) {
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
    return DescribePacket(loaded, path);
  }

  test::TempFolder temp_;
};

TEST_F(PacketDescriptionTest, EntriesAndOrderInWords) {
  const nlohmann::json json = Describe(true);
  EXPECT_EQ(json["creation_text"], "File created: 07.12.2026 08:30.");
  EXPECT_EQ(json["length"], 6776 + 8 + 4);
  ASSERT_EQ(json["entries"].size(), 2u);
  EXPECT_EQ(json["entries"][0]["start"], 0x20);
  EXPECT_EQ(json["entries"][0]["end"], 0x25);
  EXPECT_EQ(json["entries"][0]["version"], "001 V04.11");
  EXPECT_EQ(json["entries"][0]["image_time"], "02.05.2024 13:09");
  EXPECT_EQ(json["entries"][1]["device_name"], "device 12");
  EXPECT_TRUE(json["order_stored"].get<bool>());
  const std::string text = PacketDescriptionText(json);
  EXPECT_NE(
      text.find("  0  Main FPGA    00000020  00000025  6         001 V04.11  02.05.2024 13:09\n"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("   1. Main FPGA\n   2. Wait 30 sec.\n   3. Unknown step 0x4001\n  End\n"),
            std::string::npos)
      << text;
}

TEST_F(PacketDescriptionTest, PacketWithoutAStoredOrderSaysSo) {
  const nlohmann::json json = Describe(false);
  EXPECT_FALSE(json["order_stored"].get<bool>());
  EXPECT_FALSE(json["order_ends"].get<bool>());
  EXPECT_NE(PacketDescriptionText(json).find("none stored"), std::string::npos);
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

  const nlohmann::json json = DescribePacket(loaded, path);
  EXPECT_EQ(json["creation_text"], "File\\x1b[2J\\\\\\xffed: 07.12.2026 08:30.");
  EXPECT_TRUE(json["entries"][0]["end"].is_null());
  EXPECT_NO_THROW(json.dump());
  const std::string text = PacketDescriptionText(json);
  EXPECT_NE(text.find("Entries:         40 (more than the 32 the header has room for; the first "
                      "32 are shown)\n"),
            std::string::npos);
  EXPECT_NE(text.find("  0  Main uP      00000000  -         0 "), std::string::npos) << text;
  EXPECT_EQ(json["entries"].size(), 32u);
}

}  // namespace
}  // namespace tarvo::cli
