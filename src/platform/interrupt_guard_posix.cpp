#include <signal.h>
#include <string.h>
#include <unistd.h>

#include "platform/interrupt_guard.h"

namespace tarvo::platform {

namespace {

constexpr int kGuardedSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalCount = sizeof kGuardedSignals / sizeof kGuardedSignals[0];

volatile sig_atomic_t interrupts = 0;
const char* guardNotice = "";
struct sigaction previousActions[kSignalCount] = {};
bool installed[kSignalCount] = {};

// Only async-signal-safe calls here.
void OnStopRequest(int signalNumber) {
  if (interrupts == 0) {
    interrupts = 1;
    (void)!write(STDERR_FILENO, guardNotice, strlen(guardNotice));
    return;
  }
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

}  // namespace

InterruptGuard::InterruptGuard(const char* notice) {
  interrupts = 0;
  guardNotice = notice;
  struct sigaction action {};
  action.sa_handler = &OnStopRequest;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kSignalCount; ++i) {
    struct sigaction current {};
    installed[i] = false;
    if (sigaction(kGuardedSignals[i], nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
      continue;
    }
    installed[i] = sigaction(kGuardedSignals[i], &action, &previousActions[i]) == 0;
  }
}

InterruptGuard::~InterruptGuard() {
  for (int i = 0; i < kSignalCount; ++i) {
    if (installed[i]) sigaction(kGuardedSignals[i], &previousActions[i], nullptr);
    installed[i] = false;
  }
}

bool InterruptGuard::Interrupted() const {
  return interrupts != 0;
}

}  // namespace tarvo::platform
