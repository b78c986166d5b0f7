// Everything a support engineer needs to know about a loaded packet, as JSON and as text.
#pragma once

#include <string>

#include "cli/json_report.h"
#include "firmware/firmware_packet.h"

namespace tarvo::cli {

// The loaded packet: header fields, entries and the programming order, whose steps are those a
// run on this interface takes.
json::Json DescribePacket(const CFirmwarePacket& packet, const std::string& path,
                          InterfaceType interfaceType);

// The same as lines of text.
std::string PacketDescriptionText(const json::Json& description);

}  // namespace tarvo::cli
