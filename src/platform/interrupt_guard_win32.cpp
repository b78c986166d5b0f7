#include <windows.h>

#include <cstring>

#include "platform/interrupt_guard.h"

namespace tarvo::platform {

namespace {

volatile LONG interrupts = 0;
const char* guardNotice = "";
bool installed = false;
// Signalled when the guard ends: a console that is being closed waits for the run until then.
HANDLE guardEnded = nullptr;

bool EndsTheProcess(DWORD event) {
  return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

// Runs on a thread of its own that Windows starts for each console event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && !EndsTheProcess(event)) return FALSE;
  // The second event goes on to the default handler, which ends the process.
  if (InterlockedExchange(&interrupts, 1) != 0) return FALSE;
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), guardNotice,
            static_cast<DWORD>(std::strlen(guardNotice)), &written, nullptr);
  // Windows ends the process as soon as the handler of a closing console returns (or after its
  // own grace time): hold it back until the run has ended and sealed the log.
  if (EndsTheProcess(event) && guardEnded != nullptr) WaitForSingleObject(guardEnded, INFINITE);
  return TRUE;
}

}  // namespace

InterruptGuard::InterruptGuard(const char* notice) {
  InterlockedExchange(&interrupts, 0);
  guardNotice = notice;
  if (guardEnded == nullptr) guardEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (guardEnded != nullptr) ResetEvent(guardEnded);
  installed = SetConsoleCtrlHandler(&OnConsoleEvent, TRUE) != 0;
}

InterruptGuard::~InterruptGuard() {
  if (installed) SetConsoleCtrlHandler(&OnConsoleEvent, FALSE);
  installed = false;
  if (guardEnded != nullptr) SetEvent(guardEnded);
}

bool InterruptGuard::Interrupted() const {
  return interrupts != 0;
}

}  // namespace tarvo::platform
