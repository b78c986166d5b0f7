#include <QTimer>

#include "engine/programmer_dlg.h"
#include "history/history_file.h"
#include "log/format_text.h"
#include "platform/folders.h"
#include "ui/programmer_window.h"
#include "ui/support_texts.h"
#include "ui/tarvo_prog.h"
#include "ui/window_dialogs.h"

namespace tarvo::ui {
namespace {

// A second programmer, or a data folder that cannot be written, leaves this run without a log:
// the user learns it before working on a camera, not from a missing file later.
void TellWhenRunningWithoutLog(ProgrammerWindow& window, const CProgrammerDlg& programmer) {
  if (programmer.Log().IsOpen()) return;
  std::string text = FormatText("This programmer writes no log in this run: %s.",
                                programmer.Log().OpenFailure().c_str());
  if (!programmer.LogFolder().empty()) {
    text += "\n\nLog file: " + platform::JoinPath(programmer.LogFolder(), kLogFileName);
  }
  text +=
      "\n\nThe camera can be worked on as usual, but no record of it is kept for support. "
      "To have one, end the other programmer (or make the folder writable) and start again.";
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
  QTimer::singleShot(0, &window, [&] { TellWhenRunningWithoutLog(window, programmer); });
  window.exec();
}

}  // namespace tarvo::ui
