#include "engine/programmer_dlg.h"
#include "history/history_file.h"
#include "ui/programmer_window.h"
#include "ui/tarvo_prog.h"

namespace tarvo::ui {

void CTARVO_PROG::RunProgrammerWindow(StartModes modes) {
  ProgrammerWindow window;
  history::HistoryFile history(DefaultLogFolder());
  // Made after the window and destroyed before it: its destruction seals the log.
  CProgrammerDlg programmer(window);
  programmer.SetServiceHistory(&history, FormatText("tarvo_prog Rev %d", kProgrammerRevision));
  programmer.SetModes(modes.emergency, modes.packetGeneration);
  window.Attach(programmer);
  programmer.StartWindow();
  window.exec();
}

}  // namespace tarvo::ui
