#include <QTimer>

#include "engine/programmer_dlg.h"
#include "history/history_file.h"
#include "log/format_text.h"
#include "ui/programmer_window.h"
#include "ui/support_texts.h"
#include "ui/tarvo_prog.h"
#include "ui/window_dialogs.h"

namespace tarvo::ui {
namespace {

// A second programmer, or a data folder that cannot be written, leaves this run without a log:
// the user learns it before working on a camera, not from a missing file later.
void TellWhenRunningWithoutLog(ProgrammerWindow& window, const LogFile& log) {
  if (log.IsOpen()) return;
  std::string text = FormatText(
      "This programmer writes no log in this run: %s.\n\nThe camera can be worked on as usual, "
      "but no record of it is kept for support. To have one, %s and start again.",
      log.OpenFailure().c_str(),
      log.HeldByOther() ? "end the other programmer" : "make the data folder writable");
  ShowBox(&window, QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
          QString::fromStdString(text));
}

}  // namespace

void CTARVO_PROG::RunProgrammerWindow(StartModes modes) {
  ProgrammerWindow window;
  history::HistoryFile history(DefaultLogFolder());
  // Made after the window and destroyed before it: its destruction seals the log.
  CProgrammerDlg programmer(window);
  programmer.SetServiceHistory(&history, FormatText("tarvo_prog Rev %d", kProgrammerRevision));
  programmer.SetModes(modes.emergency, modes.packetGeneration);
  window.Attach(programmer);
  programmer.StartWindow();
  // Once the window is on the screen.
  QTimer::singleShot(0, &window, [&] { TellWhenRunningWithoutLog(window, programmer.Log()); });
  window.exec();
}

}  // namespace tarvo::ui
