// Stand-in for builds whose firmware library has no packet reader yet.
#include <iostream>

#include "sim/tool/camsim_commands.h"

namespace tarvo::sim {

int RunFlash(const std::string&, const std::string&) {
  std::cerr << "tarvo-camsim: flash needs the packet reader, which this build lacks\n";
  return 1;
}

}  // namespace tarvo::sim
