// tarvo-cli's commands. One table drives dispatch, help, the manual page and the shell
// completion: each row names a command (optionally inside a group such as "packet"), tells what
// its help adds to its options (examples, environment, files), and makes the object that
// defines its options and runs it. A new command is a new row and a new file.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "engine/window_port.h"
#include "link/link.h"

namespace CLI {
class App;
}

namespace tarvo::cli {

class CommandOutput;

// Exit statuses of every command.
inline constexpr int kExitSuccess = 0;
// 1: the work failed, a check failed, or an input file is missing or unusable.
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;  // only: the command line itself is wrong

// The interfaces --interface names: the engine's type, the window's button for it and the name
// the status lines give it.
struct InterfaceChoice {
  const char* name;
  InterfaceType type;
  CommandControl button;
  const char* displayName;
};
inline constexpr std::array<InterfaceChoice, 3> kInterfaces = {{
    {"usb2", INTERFACE_USB2, CommandControl::kUsb2, "USB 2.0"},
    {"usb3", INTERFACE_USB3, CommandControl::kUsb3, "USB 3.0"},
    {"gige", INTERFACE_GIGE, CommandControl::kGige, "GigE"},
}};
inline constexpr std::array<const char*, 3> kInterfaceNames = {
    kInterfaces[0].name, kInterfaces[1].name, kInterfaces[2].name};
// The interface of that name; USB 2.0 for any other (the command line admits only these).
const InterfaceChoice& InterfaceNamed(const std::string& name);

// Options every command takes: the global ones before the command, and --json and --quiet,
// which every command defines.
struct GlobalOptions {
  std::string interfaceName = "usb2";  // usb2, usb3 or gige
  bool emergency = false;
  bool json = false;   // one JSON document on stdout, nothing else there
  bool quiet = false;  // no status lines or progress: only the outcome
};

class Command {
 public:
  virtual ~Command() = default;
  // Adds the command's arguments and options to its (sub)command.
  virtual void Define(CLI::App& command) = 0;
  // Runs the parsed command; returns its exit status. Failures go through out.Fail, the
  // command's JSON members into out.Document().
  virtual int Run(const GlobalOptions& global, CommandOutput& out) = 0;
};

struct CommandGroup {
  const char* name;
  const char* summary;
};

// What a command touches besides its own files, for its help: the log folder (the log, and
// the backups of a camera command) and, for a camera command, the interface library and waits.
enum class CommandReach { kFilesOnly, kLog, kCamera };

struct CommandExample {
  const char* commandLine;  // nullptr: no example in this place
  const char* what;
};

struct CommandEntry {
  // A name of kCommandGroups or of a command listed before (whose subcommand this is), or
  // nullptr for a command of its own.
  const char* group;
  const char* name;
  const char* summary;
  std::unique_ptr<Command> (*make)();
  CommandReach reach;
  std::array<CommandExample, 3> examples;
};

std::span<const CommandGroup> CommandGroups();
std::span<const CommandEntry> Commands();

// Parses the command line with the table and runs the chosen command.
int RunCommandLine(int argc, char** argv);

}  // namespace tarvo::cli
