#include "cli/shell_completion.h"

#include <CLI/CLI.hpp>
#include <set>

namespace tarvo::cli {

namespace {

struct CompletionNode {
  std::string path;    // " packet show": the command words, each after a blank
  std::string words;   // the command words and options that may follow
  bool files = false;  // takes file arguments
};

void Collect(const CLI::App& app, const std::string& path, std::vector<CompletionNode>* nodes,
             std::set<std::string>* valueOptions) {
  CompletionNode node{path, "", false};
  for (const CLI::Option* option : app.get_options()) {
    if (option->get_positional()) {
      node.files = true;
      continue;
    }
    if (option->get_group().empty()) continue;  // hidden
    for (const std::string& name : option->get_lnames()) node.words += " --" + name;
    for (const std::string& name : option->get_snames()) node.words += " -" + name;
    if (option->get_expected_min() > 0) {
      for (const std::string& name : option->get_lnames()) valueOptions->insert("--" + name);
      for (const std::string& name : option->get_snames()) valueOptions->insert("-" + name);
    }
  }
  for (const CLI::App* command : app.get_subcommands({})) {
    node.words += " " + command->get_name();
  }
  nodes->push_back(node);
  for (const CLI::App* command : app.get_subcommands({})) {
    Collect(*command, path + " " + command->get_name(), nodes, valueOptions);
  }
}

}  // namespace

std::string BashCompletion(const CLI::App& app, std::span<const char* const> interfaceNames) {
  std::vector<CompletionNode> nodes;
  std::set<std::string> valueOptions;
  Collect(app, "", &nodes, &valueOptions);
  std::string commandPaths;
  for (const CompletionNode& node : nodes) {
    if (!node.path.empty())
      commandPaths += (commandPaths.empty() ? "\"" : "|\"") + node.path + "\"";
  }
  std::string interfaces;
  for (const char* name : interfaceNames)
    interfaces += (interfaces.empty() ? "" : " ") + std::string(name);
  std::string fileOptions;
  for (const std::string& option : valueOptions) {
    if (option != "--interface") fileOptions += (fileOptions.empty() ? "" : "|") + option;
  }

  std::string script =
      "# bash completion for tarvo-cli, made from its command table (tarvo-cli "
      "--bash-completion)\n"
      "_tarvo_cli() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} path= i\n"
      "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
      "    case \"$path ${COMP_WORDS[i]}\" in\n"
      "      " +
      commandPaths +
      ") path=\"$path ${COMP_WORDS[i]}\" ;;\n"
      "    esac\n"
      "  done\n"
      "  case \"$prev\" in\n"
      "    --interface) COMPREPLY=($(compgen -W \"" +
      interfaces +
      "\" -- \"$cur\")); return ;;\n"
      "    " +
      fileOptions +
      ") COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
      "  esac\n"
      "  local words= files=\n"
      "  case \"$path\" in\n";
  for (const CompletionNode& node : nodes) {
    script += "    \"" + node.path + "\") words=\"" +
              node.words.substr(node.words.empty() ? 0 : 1) + "\"" +
              (node.files ? "; files=1" : "") + " ;;\n";
  }
  script +=
      "  esac\n"
      "  COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
      "  if [[ -n $files && $cur != -* ]]; then COMPREPLY+=($(compgen -f -- \"$cur\")); fi\n"
      "}\n"
      "complete -o filenames -F _tarvo_cli tarvo-cli\n";
  return script;
}

}  // namespace tarvo::cli
