// The start-up as a user runs it: switches, notes, the window and the log it leaves.
#include "ui/tarvo_prog.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/gui_test_support.h"
#include "log/log_file.h"
#include "support/temp_folder.h"
#include "ui/disclaim_dlg.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using test::ScopedEnvironment;
using test::TempFolder;
using Texts = std::vector<std::string>;

class StartUp : public ::testing::Test {
 protected:
  TempFolder temp_;
  ScopedEnvironment dataHome_{"TARVO_DATA_DIR", temp_.Path()};
  ScopedEnvironment simFolder_{"QLM_SIM_DIR", temp_.Path() + "/sim"};
  ScopedEnvironment timeScale_{"TARVO_TIME_SCALE", "0"};
  std::string logPath_ = temp_.Path() + "/orva/TARVO_PROG.log";
};

TEST_F(StartUp, CancelOnAnyNoteEndsBeforeTheWindowAndLeavesNoLog) {
  const struct {
    const char* name;
    const char* switches;
    std::vector<ModalAnswerer::Answer> answers;
  } cases[] = {
      {"Cancel on the emergency note", "-e", {ModalAnswerer::ClickButton("Cancel")}},
      {"Cancel on the standard note after the emergency note",
       "-e",
       {ModalAnswerer::ClickButton("OK, I know!"), ModalAnswerer::ClickButton("Cancel")}},
      {"Enter on the standard note after the emergency note",
       "-e",
       {ModalAnswerer::ClickButton("OK, I know!"), ModalAnswerer::PressKey(Qt::Key_Return)}},
      {"Escape on the only note", "-p", {ModalAnswerer::PressKey(Qt::Key_Escape)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ModalAnswerer answers;
    for (const ModalAnswerer::Answer& answer : c.answers) answers.Then(answer);
    CTARVO_PROG program({"/opt/orva/tarvo_prog", c.switches});
    EXPECT_FALSE(program.InitInstance());
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(answers.Unexpected(), 0);  // no further note, no window
    EXPECT_TRUE(test::ReadFileText(logPath_).empty());
  }
}

TEST_F(StartUp, AcceptedNotesOpenTheWindowAndLogTheModes) {
  const char* const kEmergencyNote = "Important Note, please read carefully:";
  const char* const kStandardNote = "Important Notes, please read carefully:";
  const struct {
    std::vector<std::string> arguments;
    Texts notes;  // first line of each note, in order
    const char* emergencyLine;
    const char* packetLine;
  } cases[] = {
      {{"/opt/orva/tarvo_prog"},
       {kStandardNote},
       "Emergency Mode off.",
       "Packet Generation Mode off."},
      {{"/opt/orva/tarvo_prog", "-e"},
       {kEmergencyNote, kStandardNote},
       "!!! Emergency Mode Enabled !!!",
       "Packet Generation Mode off."},
      {{"/opt/orva/tarvo_prog", "-P"},
       {kStandardNote},
       "Emergency Mode off.",
       "!!! Packet Generation Mode Enabled !!!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    std::remove(logPath_.c_str());
    ModalAnswerer answers;
    Texts notes;
    for (std::size_t i = 0; i < c.notes.size(); ++i) {
      answers.Then([&notes](QWidget* window) {
        auto* note = qobject_cast<CDisclaimDlg*>(window);
        ASSERT_NE(note, nullptr);
        notes.push_back(note->NoteList()->item(0)->text().toStdString());
        note->AcceptButton()->click();
      });
    }
    std::string title;
    answers.Then([&title](QWidget* window) {
      title = window->windowTitle().toStdString();
      ModalAnswerer::ClickButton("Quit")(window);
    });
    CTARVO_PROG program(c.arguments);
    EXPECT_FALSE(program.InitInstance());
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(answers.Unexpected(), 0);
    EXPECT_EQ(notes, c.notes);
    EXPECT_TRUE(title.starts_with("Firmware programmer for orva.tarvo Rev 25, built ")) << title;
    // The two mode lines, then the window title.
    const Texts log = test::LogTexts(logPath_);
    const Texts expected{c.emergencyLine, c.packetLine, title};
    EXPECT_NE(std::search(log.begin(), log.end(), expected.begin(), expected.end()), log.end());
  }
}

// Another programmer holds the log: this one runs without a log and says so at start.
TEST_F(StartUp, LogHeldByAnotherInstanceIsToldAtStart) {
  LogFile other;
  ASSERT_TRUE(other.Open(temp_.Path() + "/orva"));
  ModalAnswerer answers;
  answers.Then(ModalAnswerer::ClickButton("OK, I know!"))
      .Then(ModalAnswerer::Accept())
      .Then(ModalAnswerer::ClickButton("Quit"));
  CTARVO_PROG program({"/opt/orva/tarvo_prog"});
  EXPECT_FALSE(program.InitInstance());
  EXPECT_TRUE(answers.AllAnswered());
  ASSERT_EQ(answers.MessageTexts().size(), 1u);
  const std::string& text = answers.MessageTexts()[0];
  EXPECT_EQ(text.rfind("This programmer writes no log in this run: " + logPath_ +
                           " is held by another running instance.",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("end the other programmer"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::ui
