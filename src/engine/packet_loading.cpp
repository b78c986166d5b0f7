// Getting a firmware packet into the window: "Load File" and the one packet file that may lie
// beside the program at start.
#include <vector>

#include "engine/programmer_dlg.h"

namespace tarvo {

// A packet that fails to load changes nothing: the packet loaded before, its versions and its
// labels stay, and the runs go on using it.
int CProgrammerDlg::LoadPacketFile(const std::string& path) {
  if (!packet_.LoadPacket(path)) {
    ShowResult(false, "%s", packet_.LastError().c_str());
    return 0;
  }
  WriteLog("Loaded packetfile %s.", path.c_str());
  loadedPacketPath_ = path;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    loaded_[device] = kVersionNotAvailable;
    window_.SetPacketVersionText(device, "");
  }
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    ImageVersion version;
    if (!packet_.FindImageVersion(static_cast<std::uint16_t>(device), &version)) continue;
    loaded_[device] = DeviceVersion{version.variant, version.major, version.minor};
    const std::string text = FormatDeviceVersion(loaded_[device]);
    window_.SetPacketVersionText(device, text);
    WriteLog("- Device %-16s version: %s", DeviceDisplayName(device), text.c_str());
  }
  ApplyVersionPolicy();
  packetLoaded_ = true;
  EnablePacketActions();
  return 1;
}

// Only an unambiguous packet is taken: with several files beside the program, none is loaded.
int CProgrammerDlg::LoadStartupPacket() {
  const std::vector<std::string> packets = platform::FindFilesWithExtension(programFolder_, ".tvf");
  if (packets.size() != 1) return 0;
  LoadPacketFile(packets.front());
  return 1;
}

// Like Connect, the load runs with the controls held disabled: its result boxes and the
// version policy must not interleave with another action.
void CProgrammerDlg::OnLoadFile() {
  const std::optional<std::string> path =
      window_.OpenFileDialog("Load firmware packet", kPacketFileFilter);
  if (!path) return;
  EnableControls(false);
  LoadPacketFile(*path);
  EnableControls(true);
}

}  // namespace tarvo
