#include "engine/device_blocks.h"

#include <algorithm>

namespace tarvo {

std::uint32_t DeviceBlockSize(DeviceIndex device) {
  return device == DEVICE_POWER_UP ? kPowerUpBlockSize : kDeviceBlockSize;
}

std::uint32_t DeviceBlockLength(DeviceIndex device, std::uint64_t remaining) {
  auto length =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(DeviceBlockSize(device), remaining));
  if (device == DEVICE_BOOT_FPGA && length % 2 == 1) ++length;
  return length;
}

std::uint32_t DeviceBlockOverhang(DeviceIndex device) {
  return device == DEVICE_BOOT_FPGA ? 1 : 0;
}

std::uint32_t DeviceEraseTimeoutSeconds(DeviceIndex device) {
  return device == DEVICE_HDSDI_FPGA ? kHdsdiEraseTimeoutSeconds : kEraseTimeoutSeconds;
}

std::uint16_t DeviceSelectCodeForImage(DeviceIndex device, const std::uint8_t* imageBuffer,
                                       std::uint32_t start, std::uint32_t size) {
  constexpr std::uint32_t kRevisionWordAddress = 2;
  if (device != DEVICE_HDSDI_FPGA) return DeviceSelectCode(device);
  if (start > kRevisionWordAddress || std::uint64_t{start} + size < kRevisionWordAddress + 2) {
    return DeviceSelectCode(device);
  }
  const std::uint32_t word = imageBuffer[2] * 256u + imageBuffer[3];
  return word >= kHdsdiNewerBoardImageWord ? kHdsdiNewerBoardSelectCode : DeviceSelectCode(device);
}

bool IsErasedBlock(const std::uint8_t* bytes, std::uint32_t length) {
  return std::all_of(bytes, bytes + length, [](std::uint8_t byte) { return byte == 0xFF; });
}

int ProgressPercent(std::uint64_t address, std::uint32_t start, std::uint32_t size) {
  if (size == 0) return 0;
  return static_cast<int>((address - start) * 100 / size);
}

}  // namespace tarvo
