#include <signal.h>
#include <string.h>
#include <unistd.h>

#include "platform/interrupt_guard.h"

namespace tarvo::platform {

namespace {

volatile sig_atomic_t interrupts = 0;
const char* guardNotice = "";
struct sigaction previousAction {};
bool installed = false;

// Only async-signal-safe calls here.
void OnInterrupt(int) {
  if (interrupts == 0) {
    interrupts = 1;
    (void)!write(STDERR_FILENO, guardNotice, strlen(guardNotice));
    return;
  }
  signal(SIGINT, SIG_DFL);
  raise(SIGINT);
}

}  // namespace

InterruptGuard::InterruptGuard(const char* notice) {
  interrupts = 0;
  guardNotice = notice;
  struct sigaction current {};
  if (sigaction(SIGINT, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = &OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  installed = sigaction(SIGINT, &action, &previousAction) == 0;
}

InterruptGuard::~InterruptGuard() {
  if (installed) sigaction(SIGINT, &previousAction, nullptr);
  installed = false;
}

bool InterruptGuard::Interrupted() const {
  return interrupts != 0;
}

}  // namespace tarvo::platform
