// The application object. It does all its work in its start-up: reads the service switches,
// has the user accept the notes, then runs the programmer window until Quit. No log exists
// before the window object is made, so a run that ends at a note leaves no trace.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "ui/start_switches.h"

namespace tarvo::ui {

class CTARVO_PROG {
 public:
  // arguments: program path first, as the process received them.
  explicit CTARVO_PROG(std::vector<std::string> arguments);
  virtual ~CTARVO_PROG() = default;
  CTARVO_PROG(const CTARVO_PROG&) = delete;
  CTARVO_PROG& operator=(const CTARVO_PROG&) = delete;

  // Always false: the process ends when the start-up returns.
  bool InitInstance();

  const std::string& SwitchText() const { return switchText_; }
  StartModes Modes() const { return modes_; }

 protected:
  // Shows one note dialog; true when the user accepted it.
  virtual bool RunNote(std::span<const char* const> pieces);
  // Makes the programmer window object (this opens the log), sets and logs the modes, runs
  // the window until Quit and then destroys the object, which seals the log.
  virtual void RunProgrammerWindow(StartModes modes);

 private:
  std::string switchText_;
  StartModes modes_;
};

}  // namespace tarvo::ui
