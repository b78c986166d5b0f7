#include "sim/core/device_layout.h"

namespace tarvo::sim {

const SimDevice kSimDevices[kDeviceCount] = {
    {"Boot uP", "0-boot-up", 0x100000},      {"Boot FPGA", "1-boot-fpga", 0x100000},
    {"Main FPGA", "2-main-fpga", 0x800000},  {"S1 FPGA", "3-mem-fpga-1", 0x800000},
    {"S2 FPGA", "4-mem-fpga-2", 0x800000},   {"Main uP", "5-main-up", 0x100000},
    {"Power uP", "6-power-up", 0x4000},      {"HDSDI FPGA", "7-hdsdi-fpga", 0x400000},
    {"Colordata", "8-color-data", 0x100000},
};

bool IsSelectFamilyCode(std::uint16_t code) {
  // Device access codes are 0x40nn..0x4Fnn with low byte 03.
  return (code & 0xF0FF) == 0x4003;
}

std::optional<DeviceIndex> DeviceForSelectCode(std::uint16_t code, bool newerHdsdiBoard,
                                               bool* unknown) {
  *unknown = false;
  // Each HD-SDI board revision answers only to its own code.
  if (code == kHdsdiNewerBoardSelectCode) {
    if (newerHdsdiBoard) return DEVICE_HDSDI_FPGA;
    return std::nullopt;
  }
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    if (DeviceSelectCode(index) != code) continue;
    if (index == DEVICE_HDSDI_FPGA && newerHdsdiBoard) return std::nullopt;
    return index;
  }
  *unknown = true;
  return std::nullopt;
}

}  // namespace tarvo::sim
