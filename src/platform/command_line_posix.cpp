#include "platform/command_line.h"

namespace tarvo::platform {

std::string ProcessCommandLine() {
  return "";
}

}  // namespace tarvo::platform
