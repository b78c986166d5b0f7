// The version policy on the window: which device boxes may be chosen and which are
// preselected after a Connect or a packet load, and the check after an update.
#include "engine/programmer_dlg.h"
#include "engine/version_rules.h"

namespace tarvo {

// Rebuilds all nine boxes from scratch, so choices the user made before are dropped.
void CProgrammerDlg::ApplyVersionPolicy() {
  const VersionPolicyDecision decision =
      DecideVersionPolicy(camera_.current, loaded_, emergencyMode_, unfinished_);
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EnableDeviceBox(device, decision.enabled[device]);
    window_.SetDeviceChecked(device, decision.checked[device]);
  }
  for (const BootImageFloor& floor : kBootImageFloors) {
    if (decision.prohibited[floor.device])
      WriteLog(floor.logFormat, DeviceDisplayName(floor.device));
  }
  if (decision.variantMismatch) {
    ShowResult(false,
               "Variants of update file and camera\nfirmware are different. File seems\nnot to "
               "be for that camera type!");
  }
  if (decision.olderVersion) {
    ShowResult(false,
               "Note that some or all versions to\nbe loaded are older than the current\n"
               "firmware versions in the camera!");
  }
  std::string resumed;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (!decision.resumed[device]) continue;
    if (!resumed.empty()) resumed += ", ";
    resumed += DeviceDisplayName(device);
  }
  if (!resumed.empty()) {
    ShowResult(false,
               "The last update of this camera did not finish\non %s.\nSelected to be "
               "programmed again.",
               resumed.c_str());
  }
}

// Only the boxes checked when the run ends are judged. Every mismatch goes into the report; the
// box is shown once.
int CProgrammerDlg::CheckVersionsAfterUpdate() {
  VersionCheckRecord& check = report_.versionCheck;
  check = VersionCheckRecord{};
  check.performed = true;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (!window_.IsDeviceChecked(device)) continue;
    if (!CarriesLoadedVersion(camera_.current[device], loaded_[device])) {
      check.mismatched.push_back(device);
    }
  }
  if (!check.mismatched.empty()) {
    ShowResult(false,
               "Firmware versions of updated\ndevices do not match the\nversions to be "
               "programmed");
    return 0;
  }
  check.passed = true;
  WriteLog("Version check after update successful.");
  return 1;
}

}  // namespace tarvo
