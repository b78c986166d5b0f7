// The version policy's decision: which device boxes may be chosen, which are preselected, which
// are refused, and which notes the user gets.
#include "engine/version_rules.h"

#include <gtest/gtest.h>

#include <optional>

namespace tarvo {
namespace {

constexpr DeviceVersion V(std::int32_t variant, std::int32_t major, std::int32_t minor) {
  return DeviceVersion{variant, major, minor};
}

struct PolicyCase {
  const char* name;
  DeviceIndex device;
  std::optional<DeviceVersion> current;  // nothing: no camera
  std::optional<DeviceVersion> loaded;   // nothing: not in the packet
  bool emergency;
  bool enabled, checked, prohibited, older, variantMismatch;
};

// The minor part counts less than the major part (2.99 is older than 3.00); the older-version
// note is set before a floor refuses the image; a floor applies to what the packet brings,
// whatever the camera holds, and emergency mode lifts it.
// clang-format off
const PolicyCase kPolicyCases[] = {
    {"newer", DEVICE_BOOT_UP, V(1, 4, 10), V(1, 4, 12), false, true, true, false, false, false},
    {"equal", DEVICE_MAIN_FPGA, V(1, 2, 3), V(1, 2, 3), false, true, false, false, false, false},
    {"older", DEVICE_MAIN_UP, V(1, 3, 0), V(1, 2, 99), false, true, false, false, true, false},
    {"absent", DEVICE_COLOR_DATA, V(1, 1, 0), std::nullopt, true, false, false, false, false, false},
    {"no camera", DEVICE_MAIN_UP, std::nullopt, V(1, 9, 0), false, false, false, false, false, false},
    {"no camera, emergency", DEVICE_BOOT_UP, std::nullopt, V(1, 4, 0), true, true, false, false, false, false},
    {"variant", DEVICE_MAIN_FPGA, V(2, 1, 0), V(1, 5, 0), false, false, false, false, false, true},
    {"variant, emergency", DEVICE_MAIN_FPGA, V(2, 1, 0), V(1, 5, 0), true, true, false, false, false, true},
    {"Boot uP 4.09", DEVICE_BOOT_UP, V(1, 4, 10), V(1, 4, 9), false, false, false, true, true, false},
    {"Boot uP 4.11", DEVICE_BOOT_UP, V(1, 4, 0), V(1, 4, 11), false, true, true, false, false, false},
    {"Boot FPGA 1.00", DEVICE_BOOT_FPGA, V(1, 0, 50), V(1, 1, 0), false, true, true, false, false, false},
    {"Boot FPGA 0.99", DEVICE_BOOT_FPGA, V(1, 0, 50), V(1, 0, 99), false, false, false, true, false, false},
    {"Boot FPGA 0.01, no camera", DEVICE_BOOT_FPGA, std::nullopt, V(3, 0, 1), false, false, false, true, false, false},
    {"Boot FPGA 0.01, emergency", DEVICE_BOOT_FPGA, std::nullopt, V(3, 0, 1), true, true, false, false, false, false},
};
// clang-format on

TEST(VersionPolicyRules, EachCaseGivesItsBoxStateAndNotes) {
  for (const PolicyCase& c : kPolicyCases) {
    SCOPED_TRACE(c.name);
    VersionTable current{};
    VersionTable loaded{};
    if (c.current) current[c.device] = *c.current;
    if (c.loaded) loaded[c.device] = *c.loaded;
    const VersionPolicyDecision decision = DecideVersionPolicy(current, loaded, c.emergency);
    EXPECT_EQ(decision.enabled[c.device], c.enabled);
    EXPECT_EQ(decision.checked[c.device], c.checked);
    EXPECT_EQ(decision.prohibited[c.device], c.prohibited);
    EXPECT_EQ(decision.olderVersion, c.older);
    EXPECT_EQ(decision.variantMismatch, c.variantMismatch);
    // Devices the case leaves out of the packet are never offered.
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      EXPECT_TRUE(device == c.device || !decision.enabled[device]) << device;
    }
  }
}

}  // namespace
}  // namespace tarvo
