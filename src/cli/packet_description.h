// Everything a support engineer needs to know about a loaded packet, as JSON and as text.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "firmware/firmware_packet.h"

namespace tarvo::cli {

// The loaded packet: header fields, check result, entries and the programming order.
nlohmann::json DescribePacket(const CFirmwarePacket& packet, const std::string& path);

// The same as lines of text.
std::string PacketDescriptionText(const nlohmann::json& description);

}  // namespace tarvo::cli
