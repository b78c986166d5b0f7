// The command line: global options, then one command of the table.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>
#include <vector>

#include "cli/command_table.h"

#ifndef TARVO_VERSION_TEXT
#define TARVO_VERSION_TEXT "unknown"
#endif

namespace tarvo::cli {

namespace {

struct DefinedCommand {
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

}  // namespace

int RunCommandLine(int argc, char** argv) {
  CLI::App app{"Firmware programmer for orva.tarvo cameras, without a window.", "tarvo-cli"};
  app.set_version_flag("--version", std::string("tarvo-cli ") + TARVO_VERSION_TEXT);
  app.require_subcommand(1);
  app.fallthrough();
  GlobalOptions global;
  app.add_option("--interface", global.interfaceName, "Camera interface (default usb2)")
      ->check(CLI::IsMember({"usb2", "usb3", "gige"}));
  app.add_flag("--emergency", global.emergency,
               "Emergency mode: version safeguards lifted, no backup before programming");
  app.footer(
      "Exit status:\n"
      "  0  success\n"
      "  1  the work failed: the camera operation or a check failed, an input file is missing\n"
      "     or unusable, an output file exists (without --force) or is an input, another\n"
      "     instance of the programmer is running\n"
      "  2  the command line itself is wrong\n"
      "DEV: device index 0..8 or display name (\"Main FPGA\").\n"
      "LIST: DEVs separated by commas, or \"all\".");

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
    DefinedCommand defined{parent->add_subcommand(entry.name, entry.summary), entry.make()};
    defined.command->Define(*defined.app);
    commands.push_back(std::move(defined));
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (const std::string unknown = UnknownCommand(app, groups); !unknown.empty()) {
      std::fprintf(stderr, "unknown command '%s'\nRun with --help for the commands.\n",
                   unknown.c_str());
      return kExitUsage;
    }
    const int status = app.exit(error);
    return status == 0 ? kExitSuccess : kExitUsage;
  }
  // A command's own subcommand ("backup list") is parsed together with the command: the one
  // listed later is the more specific.
  for (auto defined = commands.rbegin(); defined != commands.rend(); ++defined) {
    if (defined->app->parsed()) return defined->command->Run(global);
  }
  return kExitUsage;
}

}  // namespace tarvo::cli
