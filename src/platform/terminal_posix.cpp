#include <unistd.h>

#include "platform/terminal.h"

namespace tarvo::platform {

bool IsTerminal(StandardStream stream) {
  switch (stream) {
    case StandardStream::kInput:
      return isatty(STDIN_FILENO) == 1;
    case StandardStream::kOutput:
      return isatty(STDOUT_FILENO) == 1;
    case StandardStream::kError:
      return isatty(STDERR_FILENO) == 1;
  }
  return false;
}

}  // namespace tarvo::platform
