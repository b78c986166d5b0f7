#include "cli/command_table.h"

#include "cli/log_commands.h"
#include "cli/packet_commands.h"

namespace tarvo::cli {

namespace {

constexpr CommandGroup kCommandGroups[] = {
    {"packet", "Firmware packet files (.tvf): show, check, build, extract"},
    {"log", "The programmer's log file"},
};

constexpr CommandEntry kCommandTable[] = {
    {"packet", "show", "Show a packet's header, creation text, entries, versions and order",
     &MakePacketShowCommand},
    {"packet", "check", "Check a packet file's integrity only", &MakePacketCheckCommand},
    {"packet", "build", "Build a packet file from raw image files and a programming order",
     &MakePacketBuildCommand},
    {"packet", "extract", "Write one device image of a packet (its bytes start..end) to a file",
     &MakePacketExtractCommand},
    {"log", "check", "Verify a log file's seal", &MakeLogCheckCommand},
};

}  // namespace

std::span<const CommandGroup> CommandGroups() {
  return kCommandGroups;
}
std::span<const CommandEntry> Commands() {
  return kCommandTable;
}

}  // namespace tarvo::cli
