// The bash completion of tarvo-cli, made from the parsed command line's own definition: its
// commands, their options, and which of them take a file.
#pragma once

#include <span>
#include <string>

namespace CLI {
class App;
}

namespace tarvo::cli {

// The script for bash: `complete -F` over the commands and options of the application.
std::string BashCompletion(const CLI::App& app, std::span<const char* const> interfaceNames);

}  // namespace tarvo::cli
