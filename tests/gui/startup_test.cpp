// The start-up as a user runs it: switches, notes and the window they lead to.
#include "ui/tarvo_prog.h"

#include "gui/gui_test_support.h"
#include "log/log_file.h"
#include "ui/disclaim_dlg.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using Texts = std::vector<std::string>;

class StartUp : public test::WindowTest {
 protected:
  std::string logPath_ = temp_.File("data/orva/TARVO_PROG.log");
};

// Escape on the emergency note ends before the standard note; "Cancel" is the default button:
// Enter cancels too. The log is opened with the window only.
TEST_F(StartUp, CancelOnAnyNoteEndsBeforeTheWindowAndLeavesNoLog) {
  using Answers = std::vector<ModalAnswerer::Answer>;
  for (const Answers& notes : {Answers{ModalAnswerer::PressKey(Qt::Key_Escape)},
                               Answers{ModalAnswerer::ClickButton("OK, I know!"),
                                       ModalAnswerer::PressKey(Qt::Key_Return)}}) {
    ModalAnswerer answers(notes);  // no further note, no window
    EXPECT_FALSE(CTARVO_PROG({"/opt/orva/tarvo_prog", "-e"}).InitInstance());
    EXPECT_TRUE(test::ReadFileText(logPath_).empty());
  }
}

// An e anywhere in the switch text switches on emergency mode (its note comes first, and the
// window shows Backup), a p packet generation mode (Packet shown). The switch text is what
// follows ".exe" and one character, also where ".exe" ends a folder's name; without ".exe", the
// arguments. The standard note's last line stays unfinished. Another programmer holds the log:
// this one runs without a log and says so before the window.
TEST_F(StartUp, AcceptedNotesOpenTheWindowInTheSwitchedModes) {
  LogFile other;
  ASSERT_TRUE(other.Open(temp_.File("data/orva")));
  const std::string emergency = "12 lines: Important Note, please read carefully:";
  const std::string standard = "19 lines: Important Notes, please read carefully: ...";
  const struct {
    std::vector<std::string> arguments;
    Texts notes, shown;  // shown: of Backup and Packet
  } cases[] = {
      {{"\"C:\\Program Files\\ORVA\\TARVO_PROG.exe\""}, {standard}, {}},
      {{"/opt/orva/tarvo_prog", "-e"}, {emergency, standard}, {"Backup"}},
      {{"/opt/orva/tarvo_prog", "-P"}, {standard}, {"Packet"}},
      {{"C:\\ORVA\\TARVO_PROG.EXE", "/HELP"}, {emergency, standard}, {"Backup", "Packet"}},
      {{"C:\\tools.exe\\TARVO_PROG.exe"}, {emergency, standard}, {"Backup", "Packet"}},
  };
  for (const auto& c : cases) {
    Texts notes, shown;
    std::string held;
    std::vector<ModalAnswerer::Answer> answers(c.notes.size(), [&notes](QWidget* window) {
      auto* note = qobject_cast<CDisclaimDlg*>(window);
      const Texts lines = test::ListTexts(*note->NoteList());
      notes.push_back(std::to_string(lines.size()) + " lines: " + lines.front() +
                      (note->NoteList()->Text().LastLineComplete() ? "" : " ..."));
      EXPECT_EQ(note->windowTitle().toStdString(), "Important Note!");
      note->AcceptButton()->click();
    });
    answers.push_back(ModalAnswerer::Accept());  // the log held by the other programmer
    answers.push_back([&shown](QWidget* window) {
      EXPECT_TRUE(window->windowTitle().startsWith("Firmware programmer for orva.tarvo Rev 25"));
      for (QPushButton* button : window->findChildren<QPushButton*>()) {
        const std::string caption = test::Caption(*button);
        if (button->isVisible() && (caption == "Backup" || caption == "Packet"))
          shown.push_back(caption);
      }
      ModalAnswerer::ClickButton("Quit")(window);
    });
    {
      ModalAnswerer answerer(answers);
      EXPECT_FALSE(CTARVO_PROG(c.arguments).InitInstance());
      held = answerer.Seen().at(c.notes.size());
    }
    EXPECT_EQ(notes, c.notes);
    EXPECT_EQ(shown, c.shown);
    EXPECT_TRUE(held.starts_with("This programmer writes no log in this run: " + logPath_ +
                                 " is held by another running instance."));
    EXPECT_NE(held.find("end the other programmer"), std::string::npos);
  }
}

}  // namespace
}  // namespace tarvo::ui
