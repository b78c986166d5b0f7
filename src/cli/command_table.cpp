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
    {nullptr,
     "info",
     "Connect; show the camera's serial number and every device's version",
     &MakeInfoCommand,
     CommandReach::kCamera,
     {{{"tarvo-cli info", "the camera's serial number and the version of every device"},
       {"tarvo-cli --interface usb3 info --json", "the same over USB 3.0, as a JSON document"},
       {nullptr, nullptr}}}},
    {nullptr,
     "program",
     "Update the camera from a packet file (backup, order, reboot, check)",
     &MakeProgramCommand,
     CommandReach::kCamera,
     {{{"tarvo-cli program update.tvf --dry-run",
        "what the run would do, device by device and step by step; the camera is not changed"},
       {"tarvo-cli program update.tvf --backup --yes --verify --json > run.json",
        "back the camera up, update the devices the version policy selects, verify them; the "
        "run report goes to run.json, progress to the terminal"},
       {"tarvo-cli --emergency program --latest-backup --yes",
        "restore the camera from its newest complete backup in the service history"}}}},
    {nullptr,
     "verify",
     "Compare the camera's devices with a packet file",
     &MakeVerifyCommand,
     CommandReach::kCamera,
     {{{"tarvo-cli verify update.tvf",
        "read back every device that carries the packet's version and compare it"},
       {"tarvo-cli verify update.tvf --devices 2,3 --quiet", "two devices; only the outcome"},
       {nullptr, nullptr}}}},
    {nullptr,
     "backup",
     "Read the camera's firmware back into a new packet file in the log folder",
     &MakeBackupCommand,
     CommandReach::kCamera,
     {{{"tarvo-cli backup", "a new backup file, numbered after the earlier ones"},
       {"tarvo-cli backup --json | jq -r .run.backup.file", "the backup file's path, for a script"},
       {nullptr, nullptr}}}},
    {"backup",
     "list",
     "List the backups in the log folder with their camera, time and devices",
     &MakeBackupListCommand,
     CommandReach::kLog,
     {{{"tarvo-cli backup list", "every backup with its camera, creation time and devices"},
       {"tarvo-cli backup list --serial 4711 --json", "the backups of one camera as JSON"},
       {nullptr, nullptr}}}},
    {nullptr,
     "history",
     "Show the service history: the runs on each camera, newest first",
     &MakeHistoryCommand,
     CommandReach::kLog,
     {{{"tarvo-cli history --last 5", "the five newest runs on any camera"},
       {"tarvo-cli history --serial 4711 --json", "every run on one camera as JSON"},
       {nullptr, nullptr}}}},
    {"packet",
     "show",
     "Show a packet's header, creation text, entries, versions and order",
     &MakePacketShowCommand,
     CommandReach::kFilesOnly,
     {{{"tarvo-cli packet show update.tvf", "header, entries with their versions, and the order"},
       {"tarvo-cli packet show update.tvf --json", "the same as a JSON document"},
       {nullptr, nullptr}}}},
    {"packet",
     "check",
     "Check a packet file's integrity only",
     &MakePacketCheckCommand,
     CommandReach::kFilesOnly,
     {{{"tarvo-cli packet check update.tvf", "exit status 0 when the packet can be used"},
       {"tarvo-cli packet check update.tvf --json", "the check and the packet as JSON"},
       {nullptr, nullptr}}}},
    {"packet",
     "build",
     "Build a packet file from raw image files and a programming order",
     &MakePacketBuildCommand,
     CommandReach::kLog,
     {{{"tarvo-cli packet build --order 0,1,reboot,2,wait:5,8 \\\n"
        "    --image 0=BRENTA_1_V04_12.hex --image 1=TORU_1_V04_12.bit \\\n"
        "    --image 2=CALDO_1_V04_12.bit --image 8=TARVOCOLORDATA_1_V04_12.cdt -o update.tvf",
        "four devices with a reboot after the boot devices and a wait of 5 s"},
       {"tarvo-cli packet build --order \"Main FPGA\" \\\n"
        "    --image \"Main FPGA=CALDO_1_V04_12.bit\" -o main.tvf",
        "one device; .tvf is added to a name without it"},
       {nullptr, nullptr}}}},
    {"packet",
     "extract",
     "Write one device image of a packet (its bytes start..end) to a file",
     &MakePacketExtractCommand,
     CommandReach::kFilesOnly,
     {{{"tarvo-cli packet extract update.tvf --device \"Main FPGA\" -o main-fpga.bin",
        "the Main FPGA's image bytes"},
       {"tarvo-cli packet extract update.tvf --device 8 -o color.bin --json",
        "Color Data's image; its addresses and size as JSON"},
       {nullptr, nullptr}}}},
    {"log",
     "check",
     "Verify a log file's seal",
     &MakeLogCheckCommand,
     CommandReach::kFilesOnly,
     {{{"tarvo-cli log check ~/.local/share/orva/TARVO_PROG.log",
        "exit status 0 when the log is sealed and was not edited"},
       {"tarvo-cli log check TARVO_PROG.log --json", "the stored and the computed seal as JSON"},
       {nullptr, nullptr}}}},
};

}  // namespace

std::span<const CommandGroup> CommandGroups() {
  return kCommandGroups;
}
std::span<const CommandEntry> Commands() {
  return kCommandTable;
}

const InterfaceChoice& InterfaceNamed(const std::string& name) {
  for (const InterfaceChoice& choice : kInterfaces) {
    if (name == choice.name) return choice;
  }
  return kInterfaces[0];
}

}  // namespace tarvo::cli
