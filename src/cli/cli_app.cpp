// The command line: global options, then one command of the table. The table also gives each
// command's help its examples and notes, and makes the manual page's commands section
// (--manual-commands) and the bash completion (--bash-completion), so none of them can drift
// from the commands.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>
#include <vector>

#include "cli/command_output.h"
#include "cli/command_table.h"
#include "cli/shell_completion.h"
#include "cli/terminal_report.h"

#ifndef TARVO_VERSION_TEXT
#define TARVO_VERSION_TEXT "unknown"
#endif

namespace tarvo::cli {

namespace {

constexpr const char* kProgramSummary =
    "Firmware programmer for orva.tarvo cameras, without a window.";

constexpr const char* kExitStatusHelp =
    "Exit status:\n"
    "  0  success\n"
    "  1  the work failed: the camera operation or a check failed, an input file is missing\n"
    "     or unusable, an output file exists (without --force) or is an input, another\n"
    "     instance of the programmer is running\n"
    "  2  the command line itself is wrong\n";

constexpr const char* kArgumentHelp =
    "Arguments:\n"
    "  DEV    device index 0..8 or display name (\"Main FPGA\")\n"
    "  LIST   DEVs separated by commas, or \"all\"\n"
    "  STEPS  comma-separated DEV | reboot | wait:N (N seconds, 0..255)\n";

constexpr const char* kEnvironmentHelp =
    "Environment:\n"
    "  TARVO_TIME_SCALE  a decimal >= 0 that scales every wait (pauses, reboot countdowns);\n"
    "                    0 skips them, for the simulated camera. Any other text is warned\n"
    "                    about and the waits take their full time.\n"
    "  XDG_DATA_HOME     the log and the backups go to $XDG_DATA_HOME/orva\n"
    "                    (default ~/.local/share/orva; Windows: %ProgramData%\\orva)\n"
    "  LD_LIBRARY_PATH   searched first for the interface library (libqlm_usb.so,\n"
    "                    libqlm_usb3.so, libqlm_gige.so); then the program's folder, the\n"
    "                    system folders, and last the simulated camera's libraries\n"
    "  QLM_SIM_DIR       the simulated camera's state (default $XDG_DATA_HOME/orva-camsim)\n";

constexpr const char* kFilesHelp =
    "Files (in the log folder $XDG_DATA_HOME/orva):\n"
    "  TARVO_PROG.log                  the log; every command that writes it ends it with a seal\n"
    "  history.jsonl                   the service history: every run on every camera\n"
    "  orva_tarvo_SN001234_backup.tvf  backups of camera SN 1234, then _01, _02, ...\n";

std::string ExamplesHelp(const CommandEntry& entry) {
  std::string text = "Examples:\n";
  for (const CommandExample& example : entry.examples) {
    if (example.commandLine == nullptr) continue;
    text += std::string("  ") + example.commandLine + "\n      " + example.what + "\n";
  }
  return text;
}

// Only options that take every value given (as --image does) may be repeated; any other
// option given twice is a usage error.
std::string RepeatedOptionsHelp(const CLI::App& command) {
  std::string names;
  for (const CLI::Option* option : command.get_options()) {
    if (option->get_positional() ||
        option->get_multi_option_policy() != CLI::MultiOptionPolicy::TakeAll) {
      continue;
    }
    names += (names.empty() ? "" : ", ") + option->get_name(false, true);
  }
  if (names.empty()) return "Each option may be given once.\n";
  return "Options that may be given more than once: " + names + "; any other at most once.\n";
}

std::string CommandFooter(const CommandEntry& entry, const CLI::App& command) {
  std::string text = ExamplesHelp(entry) + "\n" + RepeatedOptionsHelp(command);
  if (entry.reach == CommandReach::kCamera) {
    text += "\n" + std::string(kEnvironmentHelp) + "\n" + kFilesHelp;
  } else if (entry.reach == CommandReach::kLog) {
    text +=
        "\nEnvironment:\n  XDG_DATA_HOME  the log folder is $XDG_DATA_HOME/orva (default "
        "~/.local/share/orva)\n\n" +
        std::string(kFilesHelp);
  }
  return text;
}

std::string FullName(const CommandEntry& entry) {
  return entry.group ? std::string(entry.group) + " " + entry.name : std::string(entry.name);
}

// Whether the command line asks for JSON, also when it cannot be parsed.
bool AsksForJson(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--") return false;
    if (argument == "--json") return true;
  }
  return false;
}

struct DefinedCommand {
  const CommandEntry* entry;
  CLI::App* app;
  std::unique_ptr<Command> command;
};

// The word that was meant as a command but names none ("bogus", or "packet frobnicate"), from
// what the parser left over; empty when the line failed for another reason.
std::string UnknownCommand(const CLI::App& app, const std::map<std::string, CLI::App*>& groups) {
  std::string prefix;
  const CLI::App* level = &app;
  for (const auto& [name, group] : groups) {
    if (group->parsed()) {
      prefix = name + " ";
      level = group;
    }
  }
  for (const CLI::App* command : level->get_subcommands()) {
    if (command->parsed()) return std::string();
  }
  const std::vector<std::string> rest = app.remaining();
  if (rest.empty() || rest.front().empty() || rest.front()[0] == '-') return std::string();
  return prefix + rest.front();
}

// The manual page's COMMANDS section (a help2man include file): every command's help with its
// examples, kept as printed; the manual has the environment and files once, in sections of
// their own.
std::string ManualCommands(const std::vector<DefinedCommand>& commands) {
  std::string text =
      "[COMMANDS]\nEvery command takes --json and --quiet.\n"
      "tarvo-cli COMMAND --help prints the help of one command.\n";
  for (const DefinedCommand& defined : commands) {
    const std::string parent =
        defined.entry->group ? std::string("tarvo-cli ") + defined.entry->group : "tarvo-cli";
    text += ".SS \"" + FullName(*defined.entry) + "\"\n.nf\n";
    defined.app->footer(ExamplesHelp(*defined.entry) + "\n" + RepeatedOptionsHelp(*defined.app));
    const std::string help = defined.app->help(parent);
    std::size_t start = 0;
    while (start < help.size()) {
      const std::size_t end = help.find('\n', start);
      std::string line = help.substr(start, end - start);
      start = end == std::string::npos ? help.size() : end + 1;
      std::string escaped = line.empty() || (line[0] != '.' && line[0] != '\'') ? "" : "\\&";
      for (char c : line) escaped += c == '\\' ? std::string("\\e") : std::string(1, c);
      text += escaped + "\n";
    }
    text += ".fi\n";
  }
  return text;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  CLI::App app{kProgramSummary, "tarvo-cli"};
  app.set_version_flag("--version", std::string("tarvo-cli ") + TARVO_VERSION_TEXT);
  app.require_subcommand(1);
  app.fallthrough();
  GlobalOptions global;
  app.add_option("--interface", global.interfaceName, "Camera interface (default usb2)")
      ->check(
          CLI::IsMember(std::vector<std::string>(kInterfaceNames.begin(), kInterfaceNames.end())));
  app.add_flag("--emergency", global.emergency,
               "Emergency mode: version safeguards lifted, no backup before programming");
  // Made at build time: the manual page's commands and the bash completion.
  enum class Generated { kNone, kManualCommands, kBashCompletion } generated = Generated::kNone;
  app.add_flag_callback(
         "--manual-commands",
         [&generated] {
           generated = Generated::kManualCommands;
           throw CLI::Success();
         },
         "Print the manual page's commands section")
      ->group("");
  app.add_flag_callback(
         "--bash-completion",
         [&generated] {
           generated = Generated::kBashCompletion;
           throw CLI::Success();
         },
         "Print the bash completion script")
      ->group("");
  app.footer(std::string(kExitStatusHelp) + "\n" + kArgumentHelp + "\n" + kEnvironmentHelp + "\n" +
             kFilesHelp +
             "\nEvery command takes --json and --quiet; tarvo-cli COMMAND --help gives its "
             "options and examples.");

  std::map<std::string, CLI::App*> groups;
  for (const CommandGroup& group : CommandGroups()) {
    CLI::App* groupApp = app.add_subcommand(group.name, group.summary);
    groupApp->require_subcommand(1);
    groups[group.name] = groupApp;
  }
  std::vector<DefinedCommand> commands;
  for (const CommandEntry& entry : Commands()) {
    CLI::App* parent = &app;
    if (entry.group != nullptr) {
      const auto group = groups.find(entry.group);
      parent = group != groups.end() ? group->second : app.get_subcommand(entry.group);
    }
    DefinedCommand defined{&entry, parent->add_subcommand(entry.name, entry.summary), entry.make()};
    defined.command->Define(*defined.app);
    defined.app->add_flag("--json", global.json,
                          "Print one JSON document on stdout (also on failure); result boxes "
                          "and status lines go to stderr");
    defined.app->add_flag(
        "--quiet", global.quiet,
        "No status lines or progress: only the outcome (result, failures, files written)");
    defined.app->footer(CommandFooter(entry, *defined.app));
    commands.push_back(std::move(defined));
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (generated != Generated::kNone) {
      std::fputs(generated == Generated::kManualCommands
                     ? ManualCommands(commands).c_str()
                     : BashCompletion(app, kInterfaceNames).c_str(),
                 stdout);
      return kExitSuccess;
    }
    const std::string unknown = UnknownCommand(app, groups);
    if (error.get_exit_code() == 0 || (unknown.empty() && !AsksForJson(argc, argv))) {
      const int status = app.exit(error);
      return status == 0 ? kExitSuccess : kExitUsage;
    }
    // The command the line was meant for, as far as it was read.
    std::string name;
    for (const DefinedCommand& defined : commands) {
      if (defined.app->parsed()) name = FullName(*defined.entry);
    }
    CommandOutput out(name, AsksForJson(argc, argv));
    if (unknown.empty()) {
      out.Fail(kExitUsage, "usage", error.what());
    } else {
      out.Fail(kExitUsage, "usage", "unknown command '" + unknown + "'");
      PrintError("Run with --help for the commands.");
    }
    out.Print(kExitUsage);
    return kExitUsage;
  }
  // A command's own subcommand ("backup list") is parsed together with the command: the one
  // listed later is the more specific.
  for (auto defined = commands.rbegin(); defined != commands.rend(); ++defined) {
    if (!defined->app->parsed()) continue;
    CommandOutput out(FullName(*defined->entry), global.json);
    const int status = defined->command->Run(global, out);
    out.Print(status);
    return status;
  }
  return kExitUsage;
}

}  // namespace tarvo::cli
