// The steps of a programming order as the runs read them, the pauses that follow each device,
// and the order a run actually follows for a loaded packet.
#pragma once

#include <cstdint>
#include <vector>

#include "firmware/device_catalogue.h"
#include "firmware/firmware_packet.h"
#include "link/link.h"

namespace tarvo {

enum class OrderStepKind {
  kEnd,     // ORDER_END: the list ends here
  kReboot,  // ORDER_REBOOT: reboot the camera and wait for it
  kWait,    // ORDER_WAIT bit set: wait the seconds in the low 8 bits
  kDevice,  // 0..8: program this device
  kStop,    // any other value: the list ends here as well
};

struct OrderStep {
  OrderStepKind kind = OrderStepKind::kEnd;
  DeviceIndex device = 0;     // kDevice only
  std::uint32_t seconds = 0;  // kWait only
};

// The codes are tested in this order: end, reboot, wait bit, device index; so 0x6000 is a wait
// of 0 s and 0x4001 ends the list.
OrderStep ClassifyOrderStep(std::uint16_t code);

// Pause after programming a device (also after a failure), and after verifying one.
std::uint32_t ProgramPauseMilliseconds(DeviceIndex device);
std::uint32_t VerifyPauseMilliseconds(DeviceIndex device);

// The fixed order in which Verify walks the devices; Power uP is never verified.
inline constexpr DeviceIndex kVerifyOrder[] = {
    DEVICE_HDSDI_FPGA, DEVICE_COLOR_DATA, DEVICE_BOOT_UP,    DEVICE_BOOT_FPGA,
    DEVICE_MAIN_FPGA,  DEVICE_MEM_FPGA_1, DEVICE_MEM_FPGA_2, DEVICE_MAIN_UP,
};

// The devices a backup reads back, in this order. The HD-SDI board is fitted only to cameras
// whose Main FPGA has variant 1; Power uP and Color Data are not backed up.
inline constexpr DeviceIndex kBackupDevices[] = {
    DEVICE_HDSDI_FPGA, DEVICE_BOOT_FPGA, DEVICE_MAIN_FPGA, DEVICE_MEM_FPGA_1,
    DEVICE_MEM_FPGA_2, DEVICE_MAIN_UP,   DEVICE_BOOT_UP,
};
inline constexpr std::int32_t kHdsdiMainFpgaVariant = 1;

// Seconds the countdown after a reboot request waits for the camera: a camera on USB 2.0
// starts faster than one on USB 3.0 or GigE, which must also bring up its faster interface.
inline constexpr int RebootWaitSeconds(InterfaceType interfaceType) {
  return interfaceType == INTERFACE_USB2 ? 30 : 80;
}

// An order that programs each of the devices once, in the order given (repeated devices are
// taken at their first place), then ends.
ProgramOrder OrderOfDevices(const std::vector<DeviceIndex>& devices);

// True for an order of 64 zero codes: what backups wrote before they stored a real order.
bool IsZeroOrder(const ProgramOrder& order);

// The order a Program run follows for a loaded packet: the packet's own order, except that an
// order of 64 zero codes (which would program Boot uP 64 times and nothing else) is replaced by
// one that programs each device of the packet's entries once, in stored order.
ProgramOrder RunnableOrder(const CFirmwarePacket& packet);

}  // namespace tarvo
