#include <windows.h>

#include "platform/command_line.h"

namespace tarvo::platform {

std::string ProcessCommandLine() {
  const char* text = GetCommandLineA();
  return text != nullptr ? text : "";
}

}  // namespace tarvo::platform
