// Holds back the terminal's interrupt key (Ctrl-C) while a run works on the camera. A run that
// is cut off between erase and write leaves a device without firmware and the log without its
// seal, so the first interrupt only prints a notice and the run goes on; a second one ends the
// process as an interrupt normally does. An interrupt that the process was started with ignored
// stays ignored.
#pragma once

namespace tarvo::platform {

class InterruptGuard {
 public:
  // notice: written to stderr at the first interrupt; must outlive the guard.
  explicit InterruptGuard(const char* notice);
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  // Whether an interrupt came while the guard was held.
  bool Interrupted() const;
};

}  // namespace tarvo::platform
