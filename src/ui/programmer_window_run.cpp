#include "engine/programmer_dlg.h"
#include "ui/programmer_window.h"
#include "ui/tarvo_prog.h"

namespace tarvo::ui {

void CTARVO_PROG::RunProgrammerWindow(StartModes modes) {
  ProgrammerWindow window;
  // Made after the window and destroyed before it: its destruction seals the log.
  CProgrammerDlg programmer(window);
  programmer.SetModes(modes.emergency, modes.packetGeneration);
  window.Attach(programmer);
  programmer.StartWindow();
  window.exec();
}

}  // namespace tarvo::ui
