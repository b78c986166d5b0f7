// Holds back the requests to stop the process while a run works on the camera: the terminal's
// interrupt key (Ctrl-C), a termination request and a hang-up (SIGTERM and SIGHUP on POSIX;
// Ctrl-Break and closing the console on Windows). A run that is cut off between erase and
// write leaves a device without firmware and the log without its seal, so the first request
// only prints a notice and the run goes on; a second one, of any of these kinds, ends the
// process as that request normally does. A request that the process was started with ignored
// stays ignored.
#pragma once

namespace tarvo::platform {

class InterruptGuard {
 public:
  // notice: written to stderr at the first request; must outlive the guard.
  explicit InterruptGuard(const char* notice);
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  // Whether a request to stop came while the guard was held.
  bool Interrupted() const;
};

}  // namespace tarvo::platform
