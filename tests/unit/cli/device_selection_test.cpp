// The --devices list and the reasons given for the version policy's choices.
#include "cli/device_selection.h"

#include <gtest/gtest.h>

namespace tarvo::cli {
namespace {

TEST(DeviceListTest, NamesIndicesAllAndBadNames) {
  DeviceList list;
  std::string error;
  ASSERT_TRUE(ParseDeviceList("", &list, &error));
  EXPECT_EQ(list.kind, DeviceList::Kind::kDefault);
  ASSERT_TRUE(ParseDeviceList("all", &list, &error));
  EXPECT_EQ(list.kind, DeviceList::Kind::kAll);

  ASSERT_TRUE(ParseDeviceList("Main FPGA, 8,main fpga", &list, &error));
  EXPECT_EQ(list.kind, DeviceList::Kind::kNamed);
  const std::array<bool, kDeviceCount> expected{false, false, true,  false, false,
                                                false, false, false, true};
  EXPECT_EQ(list.named, expected);

  EXPECT_FALSE(ParseDeviceList("2,Main GPU", &list, &error));
  EXPECT_EQ(error, "Unknown device 'Main GPU' in --devices: expected 0..8, a device name or all.");
  EXPECT_FALSE(ParseDeviceList("9", &list, &error));
  EXPECT_FALSE(ParseDeviceList("2,", &list, &error));
  EXPECT_FALSE(ParseDeviceList("all,2", &list, &error));
}

VersionTable Versions(DeviceVersion version) {
  VersionTable table;
  table.fill(version);
  return table;
}

TEST(PolicyReasonTest, RefusalsSayWhatKeepsTheDeviceDisabled) {
  VersionTable camera = Versions({1, 4, 0});
  VersionTable packet = Versions({1, 4, 5});
  packet[DEVICE_HDSDI_FPGA] = kVersionNotAvailable;
  packet[DEVICE_MAIN_FPGA] = {2, 4, 11};
  camera[DEVICE_COLOR_DATA] = kVersionNotAvailable;

  EXPECT_EQ(RefusalReason(DEVICE_HDSDI_FPGA, camera, packet, false),
            "the packet has no image for it");
  EXPECT_EQ(RefusalReason(DEVICE_BOOT_UP, camera, packet, false),
            "a version earlier than V04.11 is refused (camera may get stuck)");
  EXPECT_EQ(RefusalReason(DEVICE_MAIN_FPGA, camera, packet, false),
            "variant 002 of the packet differs from the camera's 001 (--emergency lifts this)");
  EXPECT_EQ(RefusalReason(DEVICE_COLOR_DATA, camera, packet, false),
            "the camera reports no version for it (--emergency lifts this)");
  // Emergency mode lifts the boot image floor.
  EXPECT_EQ(RefusalReason(DEVICE_BOOT_UP, camera, packet, true).find("earlier"), std::string::npos);
}

TEST(PolicyReasonTest, PreselectionFollowsTheVersionNumbers) {
  const VersionTable camera = Versions({1, 4, 11});
  EXPECT_EQ(PreselectionReason(2, camera, Versions({1, 4, 12})), "the packet's version is newer");
  EXPECT_EQ(PreselectionReason(2, camera, Versions({1, 4, 11})), "the camera carries this version");
  EXPECT_EQ(PreselectionReason(2, camera, Versions({1, 3, 99})),
            "the packet's version is older than the camera's");
  EXPECT_EQ(PreselectionReason(2, camera, Versions({2, 5, 0})),
            "its variant differs from the camera's");
}

}  // namespace
}  // namespace tarvo::cli
