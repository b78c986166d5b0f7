// tarvo-cli's commands. One table drives both dispatch and help: each row names a command
// (optionally inside a group such as "packet") and makes the object that defines its options
// and runs it. A new command is a new row and a new file.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace CLI {
class App;
}

namespace tarvo::cli {

// Exit statuses of every command.
inline constexpr int kExitSuccess = 0;
// 1: the work failed, a check failed, or an input file is missing or unusable.
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;  // only: the command line itself is wrong

// Options given before the command; they matter to the commands that reach the camera.
struct GlobalOptions {
  std::string interfaceName = "usb2";  // usb2, usb3 or gige
  bool emergency = false;
};

class Command {
 public:
  virtual ~Command() = default;
  // Adds the command's arguments and options to its (sub)command.
  virtual void Define(CLI::App& command) = 0;
  // Runs the parsed command; returns its exit status.
  virtual int Run(const GlobalOptions& global) = 0;
};

struct CommandGroup {
  const char* name;
  const char* summary;
};

struct CommandEntry {
  // A name of kCommandGroups or of a command listed before (whose subcommand this is), or
  // nullptr for a command of its own.
  const char* group;
  const char* name;
  const char* summary;
  std::unique_ptr<Command> (*make)();
};

std::span<const CommandGroup> CommandGroups();
std::span<const CommandEntry> Commands();

// Parses the command line with the table and runs the chosen command.
int RunCommandLine(int argc, char** argv);

}  // namespace tarvo::cli
