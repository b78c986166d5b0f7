// Connect and identify: open the link on the selected interface, make sure the camera is an
// orva.tarvo, learn its serial number and the version of every device it reports.
#include <algorithm>
#include <string_view>

#include "engine/camera_identity.h"
#include "engine/programmer_dlg.h"
#include "link/telegrams.h"

namespace tarvo {

namespace {

// The camera's name field is zero-ended within its 16 bytes; a name filling all 16 has none.
std::string_view ReportedName(const DeviceVersionEntry& entry) {
  const char* end = std::find(entry.name, entry.name + sizeof entry.name, '\0');
  return std::string_view(entry.name, static_cast<std::size_t>(end - entry.name));
}

}  // namespace

int CProgrammerDlg::ConnectCamera() {
  std::uint16_t cameraType = 0;
  std::uint32_t serialNumber = 0;
  DeviceVersionEntry table[kVersionTableCapacity] = {};
  std::uint32_t count = 0;

  std::uint32_t result = OpenLink(SelectedInterface());
  if (result == 0) result = GetCameraType(&cameraType, &serialNumber);
  if (result == 0) result = GetDeviceVersions(table, &count);
  // The link is never held between operations: closed before the answers are judged.
  CloseLink();
  if (result != 0) {
    ShowStatus("ERROR: Connecting to camera failed!");
    WriteLog("  - function return %08x.", result);
    return 0;
  }

  if (!IsAcceptedCameraType(cameraType)) {
    ShowResult(false, "Camera found is not a orva.tarvo!");
    return 0;
  }

  camera_.serialNumber = static_cast<std::int32_t>(serialNumber);
  ShowStatus("Connected to orva.tarvo SN %d", camera_.serialNumber);
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    window_.SetCameraVersionText(device, "not avail");
    camera_.current[device] = kVersionNotAvailable;
  }

  // Entries in the camera's order; a later entry for the same device overwrites an earlier one.
  // Names that belong to no device are passed over.
  if (count > kVersionTableCapacity) count = kVersionTableCapacity;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::optional<DeviceIndex> device = DeviceIndexFromCameraName(ReportedName(table[i]));
    if (!device) continue;
    const DeviceVersion version{table[i].variant, table[i].major, table[i].minor};
    const std::string text = FormatDeviceVersion(version);
    window_.SetCameraVersionText(*device, text);
    camera_.current[*device] = version;
    WriteLog("- Device %-16s version: %s", DeviceDisplayName(*device), text.c_str());
  }
  return 1;
}

// Connect runs with the controls held disabled: its status lines dispatch the window's events,
// and no other action may start inside it.
void CProgrammerDlg::OnConnect() {
  EnableControls(false);
  if (ConnectCamera() == 1) {
    camera_.connected = true;
    ReadUnfinishedDevices();
  }
  ApplyVersionPolicy();
  EnablePacketActions();
  if (camera_.connected) EnableCommand(CommandControl::kBackup, true);
  EnableControls(true);
}

// Program and Verify need both a camera and a packet. Whichever of Connect and
// Load File comes second enables them, and nothing disables them again outside an action.
void CProgrammerDlg::EnablePacketActions() {
  if (packetLoaded_ && camera_.connected) {
    EnableCommand(CommandControl::kProgram, true);
    EnableCommand(CommandControl::kVerify, true);
  }
}

}  // namespace tarvo
