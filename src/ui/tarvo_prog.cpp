#include "ui/tarvo_prog.h"

#include "ui/disclaim_dlg.h"
#include "ui/note_texts.h"

namespace tarvo::ui {

CTARVO_PROG::CTARVO_PROG(std::vector<std::string> arguments)
    : switchText_(SwitchTextFromArguments(arguments)), modes_(ModesFromSwitchText(switchText_)) {}

bool CTARVO_PROG::InitInstance() {
  if (modes_.emergency && !RunNote(EmergencyNotePieces())) return false;
  if (!RunNote(StandardNotePieces())) return false;
  RunProgrammerWindow(modes_);
  return false;
}

bool CTARVO_PROG::RunNote(std::span<const char* const> pieces) {
  CDisclaimDlg note(pieces);
  return note.exec() == QDialog::Accepted;
}

}  // namespace tarvo::ui
