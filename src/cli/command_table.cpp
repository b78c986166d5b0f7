#include "cli/command_table.h"

#include "cli/camera_commands.h"
#include "cli/history_commands.h"
#include "cli/log_commands.h"
#include "cli/packet_commands.h"

namespace tarvo::cli {

namespace {

constexpr CommandGroup kCommandGroups[] = {
    {"packet", "Firmware packet files (.tvf): show, check, build, extract"},
    {"log", "The programmer's log file"},
};

constexpr CommandEntry kCommandTable[] = {
    {nullptr, "info", "Connect; show the camera's serial number and every device's version",
     &MakeInfoCommand},
    {nullptr, "program", "Update the camera from a packet file (backup, order, reboot, check)",
     &MakeProgramCommand},
    {nullptr, "verify", "Compare the camera's devices with a packet file", &MakeVerifyCommand},
    {nullptr, "backup", "Read the camera's firmware back into a new packet file in the log folder",
     &MakeBackupCommand},
    {"backup", "list", "List the backups in the log folder with their camera, time and devices",
     &MakeBackupListCommand},
    {nullptr, "history", "Show the service history: the runs on each camera, newest first",
     &MakeHistoryCommand},
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
