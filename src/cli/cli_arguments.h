// The argument forms of tarvo-cli: DEV (device index 0..8 or its name), STEPS (a programming
// order) and DEV=FILE.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/device_catalogue.h"
#include "firmware/firmware_packet.h"

namespace tarvo::cli {

// "0".."8", or a device's display or list name in any case ("Main FPGA", "colordata").
std::optional<DeviceIndex> ParseDevice(std::string_view text);

// Comma-separated steps: DEV | reboot | wait:N (N seconds 0..255). At most 63 steps, each
// device at most once; the codes after the end mark are ORDER_END too. The device steps, in
// order, go to devices. false with a message on bad input.
bool ParseOrderSteps(std::string_view text, ProgramOrder* order, std::vector<DeviceIndex>* devices,
                     std::string* error);

// "DEV=FILE". false with a message on bad input.
bool ParseImageArgument(std::string_view text, DeviceIndex* device, std::string* path,
                        std::string* error);

}  // namespace tarvo::cli
