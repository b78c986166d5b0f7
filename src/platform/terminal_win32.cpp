#include <windows.h>

#include "platform/terminal.h"

namespace tarvo::platform {

namespace {

DWORD StandardHandleId(StandardStream stream) {
  switch (stream) {
    case StandardStream::kInput:
      return STD_INPUT_HANDLE;
    case StandardStream::kOutput:
      return STD_OUTPUT_HANDLE;
    case StandardStream::kError:
      break;
  }
  return STD_ERROR_HANDLE;
}

}  // namespace

// A console counts as a terminal. Output consoles are switched to take the terminal control
// sequences that the progress bars use; one that cannot (older Windows) counts as no terminal,
// so the program writes plain lines there.
bool IsTerminal(StandardStream stream) {
  HANDLE handle = GetStdHandle(StandardHandleId(stream));
  DWORD mode = 0;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
    return false;
  }
  if (stream == StandardStream::kInput) return true;
  return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
         SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace tarvo::platform
