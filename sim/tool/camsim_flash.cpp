// Factory write of a firmware packet: every device the packet has an image for is erased and
// gets the image's bytes at its start address, as the production line programs a camera.
#include <cstdio>
#include <iostream>
#include <set>
#include <vector>

#include "firmware/device_catalogue.h"
#include "firmware/firmware_packet.h"
#include "sim/core/camera_folder.h"
#include "sim/tool/camsim_commands.h"

namespace tarvo::sim {

int RunFlash(const std::string& folder, const std::string& packetPath) {
  CFirmwarePacket packet;
  if (!packet.LoadPacket(packetPath)) {
    std::cerr << "tarvo-camsim: " << packet.LastError() << "\n";
    return 2;
  }
  std::set<std::uint16_t> devices;
  for (const PacketEntryInfo& entry : packet.LoadedEntries()) {
    if (!IsDeviceIndex(entry.deviceIndex)) {
      std::cerr << "tarvo-camsim: packet entry for device " << entry.deviceIndex
                << " skipped: no such device\n";
      continue;
    }
    devices.insert(entry.deviceIndex);
  }
  CameraFolder camera;
  std::string error;
  if (!camera.Open(folder, &error)) {
    std::cerr << "tarvo-camsim: " << error << "\n";
    return 1;
  }
  std::vector<std::uint8_t> image(IMAGE_BUFFER_SIZE, 0xFF);
  FolderLock lock(camera);
  for (std::uint16_t device : devices) {
    std::uint32_t start = 0, end = 0, size = 0;
    // The packet gives the first image of each device, as the programmer takes it.
    if (!packet.GetImage(device, image.data(), &start, &end, &size)) {
      std::cerr << "tarvo-camsim: " << packet.LastError() << "\n";
      return 1;
    }
    FlashDevice& flash = camera.Flash(device);
    if (!flash.Contains(start, size)) {
      std::cerr << "tarvo-camsim: the image of " << DeviceDisplayName(device)
                << " does not fit its flash\n";
      return 1;
    }
    if (!flash.Erase() || !flash.Program(start, image.data() + start, size)) {
      std::cerr << "tarvo-camsim: cannot write " << DeviceDisplayName(device) << "\n";
      return 1;
    }
    std::printf("%-10s %u bytes at 0x%06X\n", DeviceDisplayName(device), size, start);
  }
  return 0;
}

}  // namespace tarvo::sim
