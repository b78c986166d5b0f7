// The version policy's decision: which device boxes may be chosen, which are preselected, and
// which notes the user gets.
#include "engine/version_rules.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

constexpr DeviceVersion V(std::int32_t variant, std::int32_t major, std::int32_t minor) {
  return DeviceVersion{variant, major, minor};
}

class VersionPolicyRules : public ::testing::Test {
 protected:
  VersionPolicyDecision Decide(bool emergency = false) {
    return DecideVersionPolicy(current_, loaded_, emergency);
  }
  VersionTable current_{};
  VersionTable loaded_{};
};

TEST_F(VersionPolicyRules, NewerPacketVersionIsEnabledAndPreselected) {
  current_[DEVICE_BOOT_UP] = V(1, 4, 10);
  loaded_[DEVICE_BOOT_UP] = V(1, 4, 12);
  const VersionPolicyDecision decision = Decide();
  EXPECT_TRUE(decision.enabled[DEVICE_BOOT_UP]);
  EXPECT_TRUE(decision.checked[DEVICE_BOOT_UP]);
  EXPECT_FALSE(decision.olderVersion);
  EXPECT_FALSE(decision.variantMismatch);
}

TEST_F(VersionPolicyRules, EqualVersionIsEnabledButNotPreselected) {
  current_[DEVICE_MAIN_FPGA] = V(1, 2, 3);
  loaded_[DEVICE_MAIN_FPGA] = V(1, 2, 3);
  const VersionPolicyDecision decision = Decide();
  EXPECT_TRUE(decision.enabled[DEVICE_MAIN_FPGA]);
  EXPECT_FALSE(decision.checked[DEVICE_MAIN_FPGA]);
  EXPECT_FALSE(decision.olderVersion);
}

// The minor part counts less than the major part: 2.99 is older than 3.00.
TEST_F(VersionPolicyRules, OlderVersionIsEnabledUnselectedAndNoted) {
  current_[DEVICE_MAIN_UP] = V(1, 3, 0);
  loaded_[DEVICE_MAIN_UP] = V(1, 2, 99);
  const VersionPolicyDecision decision = Decide();
  EXPECT_TRUE(decision.enabled[DEVICE_MAIN_UP]);
  EXPECT_FALSE(decision.checked[DEVICE_MAIN_UP]);
  EXPECT_TRUE(decision.olderVersion);
}

TEST_F(VersionPolicyRules, DeviceAbsentFromPacketStaysDisabledWithoutNote) {
  current_[DEVICE_COLOR_DATA] = V(1, 1, 0);
  const VersionPolicyDecision decision = Decide(/*emergency=*/true);
  EXPECT_FALSE(decision.enabled[DEVICE_COLOR_DATA]);
  EXPECT_FALSE(decision.checked[DEVICE_COLOR_DATA]);
  EXPECT_FALSE(decision.variantMismatch);
  EXPECT_FALSE(decision.olderVersion);
}

TEST_F(VersionPolicyRules, WithoutCameraEverythingIsDisabledAndNothingNoted) {
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) loaded_[device] = V(1, 9, 0);
  const VersionPolicyDecision decision = Decide();
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_FALSE(decision.enabled[device]) << device;
    EXPECT_FALSE(decision.checked[device]) << device;
  }
  EXPECT_FALSE(decision.variantMismatch);
}

TEST_F(VersionPolicyRules, EmergencyModeWithoutCameraEnablesPacketDevicesUnchecked) {
  loaded_[DEVICE_BOOT_UP] = V(1, 4, 0);  // below the floor: lifted in emergency mode
  loaded_[DEVICE_HDSDI_FPGA] = V(1, 2, 0);
  const VersionPolicyDecision decision = Decide(/*emergency=*/true);
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    const bool inPacket = device == DEVICE_BOOT_UP || device == DEVICE_HDSDI_FPGA;
    EXPECT_EQ(decision.enabled[device], inPacket) << device;
    EXPECT_FALSE(decision.checked[device]) << device;
    EXPECT_FALSE(decision.prohibited[device]) << device;
  }
}

TEST_F(VersionPolicyRules, OtherVariantIsDisabledAndNoted) {
  current_[DEVICE_MAIN_FPGA] = V(2, 1, 0);
  loaded_[DEVICE_MAIN_FPGA] = V(1, 5, 0);
  const VersionPolicyDecision decision = Decide();
  EXPECT_FALSE(decision.enabled[DEVICE_MAIN_FPGA]);
  EXPECT_FALSE(decision.checked[DEVICE_MAIN_FPGA]);
  EXPECT_TRUE(decision.variantMismatch);
}

TEST_F(VersionPolicyRules, OtherVariantInEmergencyModeIsEnabledUncheckedAndStillNoted) {
  current_[DEVICE_MAIN_FPGA] = V(2, 1, 0);
  loaded_[DEVICE_MAIN_FPGA] = V(1, 5, 0);
  const VersionPolicyDecision decision = Decide(/*emergency=*/true);
  EXPECT_TRUE(decision.enabled[DEVICE_MAIN_FPGA]);
  EXPECT_FALSE(decision.checked[DEVICE_MAIN_FPGA]);
  EXPECT_TRUE(decision.variantMismatch);
}

// The older-version note is set before the floor refuses the image.
TEST_F(VersionPolicyRules, BootUpBelow411IsRefusedAndStillNotedAsOlder) {
  current_[DEVICE_BOOT_UP] = V(1, 4, 10);
  loaded_[DEVICE_BOOT_UP] = V(1, 4, 9);
  const VersionPolicyDecision decision = Decide();
  EXPECT_FALSE(decision.enabled[DEVICE_BOOT_UP]);
  EXPECT_FALSE(decision.checked[DEVICE_BOOT_UP]);
  EXPECT_TRUE(decision.prohibited[DEVICE_BOOT_UP]);
  EXPECT_TRUE(decision.olderVersion);
}

TEST_F(VersionPolicyRules, BootImageFloorsAllowTheirLimitAndRefuseBelowIt) {
  current_[DEVICE_BOOT_UP] = V(1, 4, 0);
  current_[DEVICE_BOOT_FPGA] = V(1, 0, 50);
  loaded_[DEVICE_BOOT_UP] = V(1, 4, 11);
  loaded_[DEVICE_BOOT_FPGA] = V(1, 1, 0);
  VersionPolicyDecision decision = Decide();
  EXPECT_TRUE(decision.checked[DEVICE_BOOT_UP]);
  EXPECT_TRUE(decision.checked[DEVICE_BOOT_FPGA]);
  EXPECT_FALSE(decision.prohibited[DEVICE_BOOT_UP]);
  EXPECT_FALSE(decision.prohibited[DEVICE_BOOT_FPGA]);

  loaded_[DEVICE_BOOT_FPGA] = V(1, 0, 99);
  decision = Decide();
  EXPECT_TRUE(decision.prohibited[DEVICE_BOOT_FPGA]);
  EXPECT_FALSE(decision.enabled[DEVICE_BOOT_FPGA]);
  EXPECT_FALSE(decision.checked[DEVICE_BOOT_FPGA]);
  EXPECT_FALSE(decision.prohibited[DEVICE_BOOT_UP]);
}

// A floor applies to what the packet brings, whatever the camera holds or its variant.
TEST_F(VersionPolicyRules, FloorAppliesWithoutCameraToo) {
  loaded_[DEVICE_BOOT_FPGA] = V(3, 0, 1);
  EXPECT_TRUE(Decide().prohibited[DEVICE_BOOT_FPGA]);
  EXPECT_FALSE(Decide(/*emergency=*/true).prohibited[DEVICE_BOOT_FPGA]);
}

TEST(VersionsAfterUpdate, DeviceMustCarryExactlyTheLoadedVersion) {
  EXPECT_TRUE(CarriesLoadedVersion(V(1, 4, 11), V(1, 4, 11)));
  EXPECT_FALSE(CarriesLoadedVersion(V(1, 4, 12), V(1, 4, 11)));
  EXPECT_FALSE(CarriesLoadedVersion(V(2, 4, 11), V(1, 4, 11)));
  EXPECT_FALSE(CarriesLoadedVersion(kVersionNotAvailable, V(1, 4, 11)));
}

}  // namespace
}  // namespace tarvo
