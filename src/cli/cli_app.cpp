// The command line: global options, then one command of the table.
#include <CLI/CLI.hpp>
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
      "Exit status: 0 success; 1 the operation ran and failed, or a check failed; 2 bad usage "
      "or input.\nDEV: device index 0..8 or display name (\"Main FPGA\").\nLIST: DEVs "
      "separated by commas, or \"all\".");

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
