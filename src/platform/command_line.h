// The process's command line as one text, as Windows hands it to a program: the program path
// (quoted when it holds blanks) and the arguments as they were typed. The window's service
// switches are read from it there.
#pragma once

#include <string>

namespace tarvo::platform {

// GetCommandLineA on Windows; empty on systems that pass an argument vector only.
std::string ProcessCommandLine();

}  // namespace tarvo::platform
