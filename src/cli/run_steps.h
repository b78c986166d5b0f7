// The timings and device sequences of the engine's runs, as the dry run describes them.
#pragma once

#include <cstdint>

#include "engine/programmer_dlg.h"

namespace tarvo::cli {

// Devices a backup reads back, in its order (HDSDI FPGA only when Main FPGA's variant is 1).
inline constexpr DeviceIndex kBackupDevices[] = {DEVICE_HDSDI_FPGA, DEVICE_BOOT_FPGA,
                                                 DEVICE_MAIN_FPGA,  DEVICE_MEM_FPGA_1,
                                                 DEVICE_MEM_FPGA_2, DEVICE_MAIN_UP,
                                                 DEVICE_BOOT_UP};

// Devices a verify run works on, in its order; Power uP is never verified.
inline constexpr DeviceIndex kVerifyOrder[] = {DEVICE_HDSDI_FPGA, DEVICE_COLOR_DATA,
                                               DEVICE_BOOT_UP,    DEVICE_BOOT_FPGA,
                                               DEVICE_MAIN_FPGA,  DEVICE_MEM_FPGA_1,
                                               DEVICE_MEM_FPGA_2, DEVICE_MAIN_UP};

std::uint32_t ProgramPauseMilliseconds(DeviceIndex device);
std::uint32_t VerifyPauseMilliseconds(DeviceIndex device);
std::uint32_t RebootWaitMilliseconds(InterfaceType interfaceType);

// The order a program run follows for the packet: its stored order, or, for a packet whose 64
// codes are all zero (an older backup), each of its entries once in stored order.
ProgramOrder EffectiveProgramOrder(const CFirmwarePacket& packet);

}  // namespace tarvo::cli
