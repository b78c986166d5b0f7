// Which devices a camera command works on: the LIST of --devices, read before the camera is
// reached, and the choice put into the window's check boxes once the version policy has
// enabled and preselected them.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/programmer_dlg.h"

namespace tarvo::cli {

struct DeviceList {
  enum class Kind {
    kDefault,  // no --devices: the command's own default
    kAll,      // "all": every device the version policy enables
    kNamed,    // the devices named
  };
  Kind kind = Kind::kDefault;
  std::array<bool, kDeviceCount> named{};
};

// "all", or DEVs separated by commas (index 0..8 or a device name; a device named twice counts
// once). false with a message on bad input. An empty text is the default.
bool ParseDeviceList(std::string_view text, DeviceList* list, std::string* error);

// Why the version policy leaves a device disabled.
std::string RefusalReason(DeviceIndex device, const VersionTable& current,
                          const VersionTable& loaded, bool emergencyMode);

// Why an enabled device is or is not preselected for an update.
std::string PreselectionReason(DeviceIndex device, const VersionTable& current,
                               const VersionTable& loaded);

// Puts the list into the check boxes that the version policy has just rebuilt. The default
// keeps the policy's preselection when preselectDefault is set, else it takes every enabled
// device (as "all" does). A named device that the policy leaves disabled is refused: false
// with a message that says why, and no box is changed.
bool SelectDevices(CProgrammerDlg& dlg, const DeviceList& list, bool preselectDefault,
                   std::string* error);

// Why a program run would select nothing, device by device, and what would select them: the
// lines tarvo-cli prints before it ends with nothing done.
std::vector<std::string> NothingSelectedLines(CProgrammerDlg& dlg);

// The selected devices the packet would take backwards: an older version of the same variant,
// or (in emergency mode) another variant than the camera's.
std::vector<DeviceIndex> BackwardSteps(CProgrammerDlg& dlg);

}  // namespace tarvo::cli
