// Whether a standard stream of the process is an interactive terminal: the command-line front
// end draws progress bars and asks questions only there.
#pragma once

namespace tarvo::platform {

enum class StandardStream { kInput, kOutput, kError };

bool IsTerminal(StandardStream stream);

}  // namespace tarvo::platform
