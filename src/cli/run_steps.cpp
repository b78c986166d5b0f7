#include "cli/run_steps.h"

#include <algorithm>

namespace tarvo::cli {

namespace {
constexpr std::uint32_t kPauseMilliseconds[kDeviceCount] = {2000, 2000, 1000,  1000, 1000,
                                                            1000, 40000, 4000, 4000};
}  // namespace

std::uint32_t ProgramPauseMilliseconds(DeviceIndex device) {
  return kPauseMilliseconds[device];
}

std::uint32_t VerifyPauseMilliseconds(DeviceIndex device) {
  return device == DEVICE_POWER_UP ? 0 : kPauseMilliseconds[device];
}

std::uint32_t RebootWaitMilliseconds(InterfaceType interfaceType) {
  return interfaceType == INTERFACE_USB2 ? 30000 : 80000;
}

ProgramOrder EffectiveProgramOrder(const CFirmwarePacket& packet) {
  ProgramOrder order{};
  order.fill(ORDER_END);
  if (!packet.GetOrder(&order)) return order;
  if (std::any_of(order.begin(), order.end(), [](std::uint16_t code) { return code != 0; })) {
    return order;
  }
  order.fill(ORDER_END);
  std::size_t next = 0;
  for (const PacketEntryInfo& entry : packet.LoadedEntries()) {
    if (next + 1 < order.size()) order[next++] = entry.deviceIndex;
  }
  return order;
}

}  // namespace tarvo::cli
