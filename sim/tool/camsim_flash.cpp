#include <iostream>

#include "sim/tool/camsim_commands.h"

namespace tarvo::sim {

int RunFlash(const std::string&, const std::string&) {
  std::cerr << "tarvo-camsim: flash is not available in this build\n";
  return 1;
}

}  // namespace tarvo::sim
