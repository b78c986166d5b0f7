#include "engine/version_rules.h"

namespace tarvo {

VersionPolicyDecision DecideVersionPolicy(const VersionTable& current, const VersionTable& loaded,
                                          bool emergencyMode,
                                          const std::array<bool, kDeviceCount>& unfinished) {
  VersionPolicyDecision decision;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    const DeviceVersion& have = current[device];
    const DeviceVersion& offered = loaded[device];
    if (offered.variant == -1) continue;  // the packet has no image for the device
    const bool sameVariant = offered.variant == have.variant;
    if (sameVariant || emergencyMode) decision.enabled[device] = true;
    if (sameVariant && VersionNumber(offered) > VersionNumber(have)) {
      decision.checked[device] = true;
    }
    // A device left half-written reports what its first block says (the packet's version),
    // or nothing when it was erased and not written again; either way it is written again.
    if (unfinished[device] &&
        (!have.IsAvailable() || (sameVariant && VersionNumber(offered) >= VersionNumber(have)))) {
      decision.enabled[device] = true;
      decision.checked[device] = true;
      decision.resumed[device] = true;
    }
    if (sameVariant && VersionNumber(offered) < VersionNumber(have)) {
      decision.olderVersion = true;
    }
    if (!sameVariant && have.variant != -1) decision.variantMismatch = true;
  }
  if (emergencyMode) return decision;
  // The older-version note stays set for a refused boot image: the user still learns that the
  // packet goes backwards.
  for (const BootImageFloor& floor : kBootImageFloors) {
    const DeviceVersion& offered = loaded[floor.device];
    if (offered.variant == -1 || VersionNumber(offered) >= floor.lowestNumber) continue;
    decision.enabled[floor.device] = false;
    decision.checked[floor.device] = false;
    decision.resumed[floor.device] = false;
    decision.prohibited[floor.device] = true;
  }
  return decision;
}

bool CarriesLoadedVersion(const DeviceVersion& current, const DeviceVersion& loaded) {
  return current.variant == loaded.variant && VersionNumber(current) == VersionNumber(loaded);
}

}  // namespace tarvo
