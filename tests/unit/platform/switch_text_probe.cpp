// Prints the service switch text and the modes that tarvo_prog would read from this process's
// command line, for the Windows start-up tests: "[TEXT] e=1 p=0".
#include <cstdio>

#include "ui/start_switches.h"

int main(int argc, char** argv) {
  const std::string text =
      tarvo::ui::SwitchTextFromArguments(tarvo::ui::StartArgumentsOfProcess(argc, argv));
  const tarvo::ui::StartModes modes = tarvo::ui::ModesFromSwitchText(text);
  std::printf("[%s] e=%d p=%d\n", text.c_str(), modes.emergency ? 1 : 0,
              modes.packetGeneration ? 1 : 0);
  return 0;
}
