#include "cli/device_selection.h"

#include "cli/cli_arguments.h"
#include "engine/version_rules.h"

namespace tarvo::cli {

namespace {

std::string VersionNumberText(std::int32_t number) {
  return FormatText("V%02d.%02d", number / 100, number % 100);
}

const BootImageFloor* FloorOf(DeviceIndex device) {
  for (const BootImageFloor& floor : kBootImageFloors) {
    if (floor.device == device) return &floor;
  }
  return nullptr;
}

}  // namespace

bool ParseDeviceList(std::string_view text, DeviceList* list, std::string* error) {
  *list = DeviceList{};
  if (text.empty()) return true;
  if (text == "all") {
    list->kind = DeviceList::Kind::kAll;
    return true;
  }
  list->kind = DeviceList::Kind::kNamed;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view name = text.substr(0, comma);
    const std::optional<DeviceIndex> device = ParseDevice(name);
    if (!device) {
      *error =
          FormatText("Unknown device '%.*s' in --devices: expected 0..8, a device name or all.",
                     static_cast<int>(name.size()), name.data());
      return false;
    }
    list->named[*device] = true;
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

std::string RefusalReason(DeviceIndex device, const VersionTable& current,
                          const VersionTable& loaded, bool emergencyMode) {
  const DeviceVersion& have = current[device];
  const DeviceVersion& offered = loaded[device];
  if (offered.variant == -1) return "the packet has no image for it";
  const BootImageFloor* floor = FloorOf(device);
  if (!emergencyMode && floor != nullptr && VersionNumber(offered) < floor->lowestNumber) {
    return FormatText("a version earlier than %s is refused (camera may get stuck)",
                      VersionNumberText(floor->lowestNumber).c_str());
  }
  if (have.variant == -1) return "the camera reports no version for it (--emergency lifts this)";
  if (have.variant != offered.variant) {
    return FormatText(
        "variant %03d of the packet differs from the camera's %03d "
        "(--emergency lifts this)",
        offered.variant, have.variant);
  }
  return "the version policy leaves it disabled";
}

std::string PreselectionReason(DeviceIndex device, const VersionTable& current,
                               const VersionTable& loaded) {
  const DeviceVersion& have = current[device];
  const DeviceVersion& offered = loaded[device];
  if (have.variant != offered.variant) return "its variant differs from the camera's";
  if (VersionNumber(offered) > VersionNumber(have)) return "the packet's version is newer";
  if (VersionNumber(offered) == VersionNumber(have)) return "the camera carries this version";
  return "the packet's version is older than the camera's";
}

bool SelectDevices(CProgrammerDlg& dlg, const DeviceList& list, bool preselectDefault,
                   std::string* error) {
  WindowPort& window = dlg.Window();
  if (list.kind == DeviceList::Kind::kDefault && preselectDefault) return true;
  if (list.kind == DeviceList::Kind::kNamed) {
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      if (!list.named[device] || window.IsDeviceEnabled(device)) continue;
      *error = FormatText(
          "%s cannot be chosen: %s.", DeviceDisplayName(device),
          RefusalReason(device, dlg.Camera().current, dlg.LoadedVersions(), dlg.EmergencyMode())
              .c_str());
      return false;
    }
  }
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    const bool chosen =
        list.kind == DeviceList::Kind::kNamed ? list.named[device] : window.IsDeviceEnabled(device);
    window.SetDeviceChecked(device, chosen);
  }
  return true;
}

}  // namespace tarvo::cli
