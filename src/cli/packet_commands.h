// The packet commands: show, check, build, extract.
#pragma once

#include <memory>

#include "cli/command_table.h"

namespace tarvo::cli {

std::unique_ptr<Command> MakePacketShowCommand();
std::unique_ptr<Command> MakePacketCheckCommand();
std::unique_ptr<Command> MakePacketBuildCommand();
std::unique_ptr<Command> MakePacketExtractCommand();

}  // namespace tarvo::cli
