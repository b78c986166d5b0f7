// The log commands: check.
#pragma once

#include <memory>

#include "cli/command_table.h"

namespace tarvo::cli {

std::unique_ptr<Command> MakeLogCheckCommand();

}  // namespace tarvo::cli
