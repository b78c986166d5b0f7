// The camera commands: info, program, verify, backup. Each runs the main window object over a
// terminal window, so the camera sees the same telegrams and the log gets the same lines as
// from the programmer window.
#pragma once

#include <memory>

#include "cli/command_table.h"

namespace tarvo::cli {

std::unique_ptr<Command> MakeInfoCommand();
std::unique_ptr<Command> MakeProgramCommand();
std::unique_ptr<Command> MakeVerifyCommand();
std::unique_ptr<Command> MakeBackupCommand();

}  // namespace tarvo::cli
