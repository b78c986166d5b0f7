// The --devices list and the reason each rule of the version policy gives for its choice.
#include "cli/device_selection.h"

#include <gtest/gtest.h>

namespace tarvo::cli {
namespace {

TEST(DeviceListTest, NamesIndicesAndBadLists) {
  DeviceList list;
  std::string error;
  ASSERT_TRUE(ParseDeviceList("Main FPGA, 8,main fpga,color data", &list, &error));
  EXPECT_EQ(list.named, (std::array<bool, kDeviceCount>{0, 0, 1, 0, 0, 0, 0, 0, 1}));
  for (const char* bad : {"9", "-1", "1x", "Main", "2,", "all,2"}) {
    EXPECT_FALSE(ParseDeviceList(bad, &list, &error)) << bad;
  }
}

VersionTable Versions(DeviceVersion version) {
  VersionTable table;
  table.fill(version);
  return table;
}

TEST(PolicyReasonTest, EachRuleGivesItsReason) {
  VersionTable camera = Versions({1, 4, 0});
  VersionTable packet = Versions({1, 4, 5});
  packet[DEVICE_HDSDI_FPGA] = kVersionNotAvailable;
  packet[DEVICE_MAIN_FPGA] = {2, 4, 11};
  camera[DEVICE_COLOR_DATA] = kVersionNotAvailable;
  EXPECT_EQ(RefusalReason(DEVICE_HDSDI_FPGA, camera, packet, false),
            "the packet has no image for it");
  EXPECT_EQ(RefusalReason(DEVICE_BOOT_UP, camera, packet, false),
            "a version earlier than V04.11 is refused (camera may get stuck)");
  EXPECT_EQ(RefusalReason(DEVICE_COLOR_DATA, camera, packet, false),
            "the camera reports no version for it (--emergency lifts this)");
  // Emergency mode lifts the boot image floor.
  EXPECT_EQ(RefusalReason(DEVICE_BOOT_UP, camera, packet, true).find("earlier"), std::string::npos);

  const VersionTable current = Versions({1, 4, 11});
  EXPECT_EQ(PreselectionReason(2, current, Versions({1, 4, 12})), "the packet's version is newer");
  EXPECT_EQ(PreselectionReason(2, current, Versions({1, 3, 99})),
            "the packet's version is older than the camera's");
  EXPECT_EQ(PreselectionReason(2, current, Versions({2, 5, 0})),
            "its variant differs from the camera's");
}

}  // namespace
}  // namespace tarvo::cli
