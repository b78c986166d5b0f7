// The start-up as a user runs it: switches, notes, the window and the log it leaves.
#include "ui/tarvo_prog.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/gui_test_support.h"
#include "support/temp_folder.h"
#include "ui/disclaim_dlg.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using test::ScopedEnvironment;
using test::TempFolder;

bool LogHasLine(const std::string& path, const std::string& text) {
  const std::string log = test::ReadFileText(path);
  std::size_t begin = 0;
  for (std::size_t end = log.find('\n'); end != std::string::npos; end = log.find('\n', begin)) {
    std::string line = log.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Lines start with the time stamp "hh:mm:ss.mmm ".
    if (line.size() > 13 && line.substr(13) == text) return true;
    begin = end + 1;
  }
  return false;
}

// The start-up with the window replaced by a recorder.
class RecordingStartUp : public CTARVO_PROG {
 public:
  using CTARVO_PROG::CTARVO_PROG;
  int windowRuns = 0;
  StartModes windowModes;

 protected:
  void RunProgrammerWindow(StartModes modes) override {
    ++windowRuns;
    windowModes = modes;
  }
};

TEST(StartUp, NormalStartShowsTheStandardNoteOnly) {
  ModalAnswerer answers;
  answers.Then(ModalAnswerer::ClickButton("OK, I know!"));
  RecordingStartUp program({"/opt/orva/tarvo_prog"});
  EXPECT_FALSE(program.InitInstance());
  EXPECT_EQ(program.windowRuns, 1);
  EXPECT_FALSE(program.windowModes.emergency);
  EXPECT_FALSE(program.windowModes.packetGeneration);
  EXPECT_EQ(answers.Titles().size(), 1u);
  EXPECT_EQ(answers.Unexpected(), 0);
}

TEST(StartUp, EmergencyModeShowsBothNotesEmergencyFirst) {
  ModalAnswerer answers;
  std::vector<std::string> firstLines;
  answers.Then([&firstLines](QWidget* window) {
    auto* note = qobject_cast<CDisclaimDlg*>(window);
    ASSERT_NE(note, nullptr);
    firstLines.push_back(note->NoteList()->item(0)->text().toStdString());
    note->AcceptButton()->click();
  });
  answers.Then([&firstLines](QWidget* window) {
    auto* note = qobject_cast<CDisclaimDlg*>(window);
    ASSERT_NE(note, nullptr);
    firstLines.push_back(note->NoteList()->item(0)->text().toStdString());
    note->AcceptButton()->click();
  });
  RecordingStartUp program({"/opt/orva/tarvo_prog", "-E"});
  EXPECT_FALSE(program.InitInstance());
  EXPECT_EQ(firstLines, (std::vector<std::string>{"Important Note, please read carefully:",
                                                  "Important Notes, please read carefully:"}));
  EXPECT_EQ(program.windowRuns, 1);
  EXPECT_TRUE(program.windowModes.emergency);
  EXPECT_FALSE(program.windowModes.packetGeneration);
}

TEST(StartUp, CancelOnEitherNoteEndsBeforeTheWindow) {
  {
    SCOPED_TRACE("cancel on the emergency note");
    ModalAnswerer answers;
    answers.Then(ModalAnswerer::ClickButton("Cancel"));
    RecordingStartUp program({"tarvo_prog", "-e"});
    EXPECT_FALSE(program.InitInstance());
    EXPECT_EQ(program.windowRuns, 0);
    EXPECT_EQ(answers.Titles().size(), 1u);  // the standard note never came
    EXPECT_EQ(answers.Unexpected(), 0);
  }
  {
    SCOPED_TRACE("Enter on the standard note after accepting the emergency note");
    ModalAnswerer answers;
    answers.Then(ModalAnswerer::ClickButton("OK, I know!"))
        .Then(ModalAnswerer::PressKey(Qt::Key_Return));
    RecordingStartUp program({"tarvo_prog", "-e"});
    EXPECT_FALSE(program.InitInstance());
    EXPECT_EQ(program.windowRuns, 0);
    EXPECT_TRUE(answers.AllAnswered());
  }
  {
    SCOPED_TRACE("Escape on the only note");
    ModalAnswerer answers;
    answers.Then(ModalAnswerer::PressKey(Qt::Key_Escape));
    RecordingStartUp program({"tarvo_prog", "-p"});
    EXPECT_FALSE(program.InitInstance());
    EXPECT_EQ(program.windowRuns, 0);
  }
}

class StartUpWithWindow : public ::testing::Test {
 protected:
  TempFolder temp_;
  ScopedEnvironment dataHome_{"XDG_DATA_HOME", temp_.Path()};
  ScopedEnvironment simFolder_{"QLM_SIM_DIR", temp_.Path() + "/sim"};
  ScopedEnvironment timeScale_{"TARVO_TIME_SCALE", "0"};
  std::string logPath_ = temp_.Path() + "/orva/TARVO_PROG.log";
};

TEST_F(StartUpWithWindow, CancelOnANoteLeavesNoLog) {
  for (const int acceptedNotes : {0, 1}) {
    ModalAnswerer answers;
    if (acceptedNotes == 1) answers.Then(ModalAnswerer::ClickButton("OK, I know!"));
    answers.Then(ModalAnswerer::ClickButton("Cancel"));
    CTARVO_PROG program({"/opt/orva/tarvo_prog", "-e"});
    EXPECT_FALSE(program.InitInstance());
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(answers.Unexpected(), 0);
    EXPECT_FALSE(test::ReadFileText(logPath_).size() > 0);
  }
}

TEST_F(StartUpWithWindow, AcceptedNotesOpenTheWindowAndLogTheModes) {
  struct Case {
    std::vector<std::string> arguments;
    int notes;
    const char* emergencyLine;
    const char* packetLine;
  };
  const Case cases[] = {
      {{"/opt/orva/tarvo_prog", "-e"},
       2,
       "!!! Emergency Mode Enabled !!!",
       "Packet Generation Mode off."},
      {{"/opt/orva/tarvo_prog", "-P"},
       1,
       "Emergency Mode off.",
       "!!! Packet Generation Mode Enabled !!!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    std::remove(logPath_.c_str());
    ModalAnswerer answers;
    for (int i = 0; i < c.notes; ++i) answers.Then(ModalAnswerer::ClickButton("OK, I know!"));
    std::string title;
    answers.Then([&title](QWidget* window) {
      title = window->windowTitle().toStdString();
      ModalAnswerer::ClickButton("Quit")(window);
    });
    CTARVO_PROG program(c.arguments);
    EXPECT_FALSE(program.InitInstance());
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(LogHasLine(logPath_, c.emergencyLine));
    EXPECT_TRUE(LogHasLine(logPath_, c.packetLine));
    EXPECT_TRUE(LogHasLine(logPath_, title));
  }
}

}  // namespace
}  // namespace tarvo::ui
