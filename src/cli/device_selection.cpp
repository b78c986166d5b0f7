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

std::vector<std::string> NothingSelectedLines(CProgrammerDlg& dlg) {
  const WindowPort& window = dlg.Window();
  const VersionTable& current = dlg.Camera().current;
  const VersionTable& loaded = dlg.LoadedVersions();
  std::vector<std::string> lines{"Nothing to program: the version policy selects no device."};
  std::string enabledNames;
  bool otherVariant = false;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (!loaded[device].IsAvailable()) continue;
    const bool enabled = window.IsDeviceEnabled(device);
    const std::string reason = enabled
                                   ? PreselectionReason(device, current, loaded)
                                   : RefusalReason(device, current, loaded, dlg.EmergencyMode());
    lines.push_back(FormatText(
        "  %-11s packet %s, camera %s: %s", DeviceDisplayName(device),
        FormatDeviceVersion(loaded[device]).c_str(),
        current[device].IsAvailable() ? FormatDeviceVersion(current[device]).c_str() : "not avail",
        reason.c_str()));
    if (enabled)
      enabledNames += (enabledNames.empty() ? "" : ",") + std::string(DeviceDisplayName(device));
    if (!enabled && current[device].IsAvailable() &&
        current[device].variant != loaded[device].variant) {
      otherVariant = true;
    }
  }
  if (!enabledNames.empty()) {
    lines.push_back("To program them anyway, name them: --devices \"" + enabledNames + "\"");
  }
  if (otherVariant) {
    lines.push_back(
        "The packet is made for another camera variant: use a packet for this camera (service "
        "personnel may program it anyway with --emergency --devices LIST).");
  }
  return lines;
}

std::vector<DeviceIndex> BackwardSteps(CProgrammerDlg& dlg) {
  const VersionTable& current = dlg.Camera().current;
  const VersionTable& loaded = dlg.LoadedVersions();
  std::vector<DeviceIndex> backward;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (!dlg.Window().IsDeviceChecked(device) || !current[device].IsAvailable()) continue;
    if (current[device].variant != loaded[device].variant ||
        VersionNumber(loaded[device]) < VersionNumber(current[device])) {
      backward.push_back(device);
    }
  }
  return backward;
}

}  // namespace tarvo::cli
