// What the engine's runs do that the dry run describes but the engine keeps to itself: the
// devices a backup reads and the wait after a reboot request.
#pragma once

#include <cstdint>

#include "engine/programmer_dlg.h"

namespace tarvo::cli {

// Devices a backup reads back, in its order (HDSDI FPGA only when Main FPGA's variant is 1).
inline constexpr DeviceIndex kBackupDevices[] = {
    DEVICE_HDSDI_FPGA, DEVICE_BOOT_FPGA, DEVICE_MAIN_FPGA, DEVICE_MEM_FPGA_1,
    DEVICE_MEM_FPGA_2, DEVICE_MAIN_UP,   DEVICE_BOOT_UP};
inline constexpr std::int32_t kHdsdiMainFpgaVariant = 1;

// The countdown after a reboot request: 30 s on USB 2.0, 80 s on the other interfaces.
inline std::uint32_t RebootWaitMilliseconds(InterfaceType interfaceType) {
  return interfaceType == INTERFACE_USB2 ? 30000 : 80000;
}

}  // namespace tarvo::cli
