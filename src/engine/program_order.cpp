#include "engine/program_order.h"

#include <algorithm>

namespace tarvo {

namespace {

// Devices whose firmware restarts slowly after programming get longer pauses; the power
// microcontroller reprograms itself from the written pages before it answers again.
struct DevicePauses {
  std::uint32_t afterProgram;
  std::uint32_t afterVerify;
};

constexpr DevicePauses kDevicePauses[kDeviceCount] = {
    {2000, 2000},  // Boot uP
    {2000, 2000},  // Boot FPGA
    {1000, 1000},  // Main FPGA
    {1000, 1000},  // Mem FPGA 1
    {1000, 1000},  // Mem FPGA 2
    {1000, 1000},  // Main uP
    {40000, 0},    // Power uP, never verified
    {4000, 4000},  // HDSDI FPGA
    {4000, 4000},  // Color Data
};

}  // namespace

OrderStep ClassifyOrderStep(std::uint16_t code) {
  if (code == ORDER_END) return {OrderStepKind::kEnd, 0, 0};
  if (code == ORDER_REBOOT) return {OrderStepKind::kReboot, 0, 0};
  if ((code & ORDER_WAIT) != 0) return {OrderStepKind::kWait, 0, code & 0xFFu};
  if (IsDeviceIndex(code)) return {OrderStepKind::kDevice, code, 0};
  return {OrderStepKind::kStop, 0, 0};
}

std::uint32_t ProgramPauseMilliseconds(DeviceIndex device) {
  return IsDeviceIndex(device) ? kDevicePauses[device].afterProgram : 0;
}

std::uint32_t VerifyPauseMilliseconds(DeviceIndex device) {
  return IsDeviceIndex(device) ? kDevicePauses[device].afterVerify : 0;
}

ProgramOrder OrderOfDevices(const std::vector<DeviceIndex>& devices) {
  ProgramOrder order;
  order.fill(ORDER_END);
  std::size_t steps = 0;
  for (DeviceIndex device : devices) {
    if (!IsDeviceIndex(device)) continue;
    if (std::find(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(steps), device) !=
        order.begin() + static_cast<std::ptrdiff_t>(steps)) {
      continue;
    }
    // One place stays free for the end mark.
    if (steps + 1 >= order.size()) break;
    order[steps++] = static_cast<std::uint16_t>(device);
  }
  return order;
}

bool IsZeroOrder(const ProgramOrder& order) {
  return std::all_of(order.begin(), order.end(), [](std::uint16_t code) { return code == 0; });
}

ProgramOrder RunnableOrder(const CFirmwarePacket& packet) {
  ProgramOrder order;
  order.fill(ORDER_END);
  if (!packet.GetOrder(&order)) return order;
  if (!IsZeroOrder(order)) return order;
  std::vector<DeviceIndex> devices;
  for (const PacketEntryInfo& entry : packet.LoadedEntries()) devices.push_back(entry.deviceIndex);
  return OrderOfDevices(devices);
}

}  // namespace tarvo
