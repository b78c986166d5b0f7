// The service history and the backups in the log folder, read without reaching a camera.
#pragma once

#include <memory>

#include "cli/command_table.h"

namespace tarvo::cli {

std::unique_ptr<Command> MakeHistoryCommand();
std::unique_ptr<Command> MakeBackupListCommand();

}  // namespace tarvo::cli
