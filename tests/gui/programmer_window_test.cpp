#include "ui/programmer_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <set>
#include <string>
#include <vector>

#include "gui/gui_test_support.h"
#include "ui/order_dlg.h"
#include "ui/support_dlg.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using test::ScopedEnvironment;

class ProgrammerWindowTest : public test::WindowTest {
 protected:
  ScopedEnvironment simFolder_{"QLM_SIM_DIR", temp_.Path() + "/sim"};
};

// The engine's tests pin which controls the start enables; here what the window adds.
TEST_F(ProgrammerWindowTest, StartShowsTheIdleWindowAndEmergencyModeSaysWhyBackupIsSkipped) {
  Start();
  EXPECT_FALSE(window_->windowIcon().isNull());
  EXPECT_EQ(window_->StatusLabel()->text().toStdString(), "No camera connected.");
  EXPECT_TRUE(static_cast<QPushButton*>(Button(CommandControl::kQuit))->isDefault());
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  EXPECT_EQ(test::MiddleColour(window_->RunPicture(), 20), QColor(160, 166, 176));  // neutral
  EXPECT_TRUE(Button(CommandControl::kSkipBackup)->toolTip().isEmpty());
  programmer_.reset();

  Start(true, false);
  EXPECT_TRUE(Button(CommandControl::kSkipBackup)->isChecked());
  EXPECT_FALSE(Enabled(CommandControl::kSkipBackup));
  EXPECT_EQ(Button(CommandControl::kSkipBackup)->toolTip().toStdString(),
            "Emergency mode: programming never makes a backup first.");
}

// The engine's tests pin each state's colours and position; here that the bar shows them.
TEST_F(ProgrammerWindowTest, ProgressBarsAreDrawnInTheColoursOfTheirState) {
  Start();
  QProgressBar* bar = window_->DeviceProgressBar(DEVICE_MAIN_UP);
  const struct {
    unsigned state;
    QColor middle;
  } cases[] = {{PROGRESS_RUNNING, QColor(248, 248, 248)},
               {PROGRESS_DONE, QColor(0, 255, 0)},
               {PROGRESS_FAILED, QColor(255, 0, 0)},
               {PROGRESS_QUEUED, QColor(160, 160, 160)},
               {PROGRESS_RUNNING, QColor(248, 248, 248)}};
  for (const auto& c : cases) {
    programmer_->SetDeviceProgress(DEVICE_MAIN_UP, c.state);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(test::MiddleColour(bar), c.middle) << c.state;
  }
  window_->SetDeviceProgressPosition(DEVICE_MAIN_UP, 60);
  EXPECT_EQ(bar->grab().toImage().pixelColor(bar->width() / 4, bar->height() / 2),
            QColor(0, 0, 255));
}

// Tab walks the device rows, then the button column, top to bottom; Enter answers a question
// No; Alt and a letter presses any command button, and the file dialog it opens is titled by
// its purpose and starts in the folder of the last packet chosen.
TEST_F(ProgrammerWindowTest, KeysAndTheLoadDialog) {
  Start(true, true);  // Backup and Packet shown
  for (CommandControl control : kAllCommandControls) window_->EnableControl(control, true);
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) window_->EnableDevice(device, true);
  QApplication::setActiveWindow(window_.get());
  window_->DeviceCheckBox(DEVICE_BOOT_UP)->setFocus();
  std::vector<std::string> visited;
  for (int step = 0; step < 20; ++step) {
    auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    ASSERT_NE(focused, nullptr);
    visited.push_back(test::Caption(*focused));
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  EXPECT_EQ(visited, (std::vector<std::string>{
                         "Boot uP", "Boot FPGA", "Main FPGA",  "Mem FPGA 1",  "Mem FPGA 2",
                         "Main uP", "Power uP",  "HDSDI FPGA", "Color Data",  "Connect",
                         "USB 2.0", "Load File", "Backup",     "Skip Backup", "Program",
                         "Verify",  "Packet",    "Support",    "Quit",        "Boot uP"}));

  {  // Questions guard steps that change the camera: Enter answers No.
    ModalAnswerer answers;
    answers.Then(ModalAnswerer::PressKey(Qt::Key_Return));
    EXPECT_FALSE(window_->AskYesNo("Creating backup file failed!\nDo you still want to proceed?"));
  }
  std::set<QChar> letters;
  for (CommandControl control : kAllCommandControls) {
    const QString text = Button(control)->text();
    const qsizetype mark = text.indexOf(QLatin1Char('&'));
    ASSERT_TRUE(mark >= 0 && mark + 1 < text.size()) << text.toStdString();
    EXPECT_TRUE(letters.insert(text[mark + 1].toLower()).second) << text.toStdString();
  }

  // A file that is no packet: its load fails, but its folder is remembered.
  test::CreateFolderForTest(temp_.File("packets"));
  test::WriteFileText(temp_.File("packets/no.tvf"), "");
  ModalAnswerer answers;
  std::string startFolder;
  answers.Then(test::ChooseFile(temp_.File("packets/no.tvf")))
      .Then(ModalAnswerer::Accept())
      .Then(test::RecordStartFolder(&startFolder));
  Button(CommandControl::kLoadFile)->click();
  QApplication::setActiveWindow(window_.get());
  QTest::keyClick(window_.get(), Qt::Key_L, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&answers] { return answers.AllAnswered(); }));
  EXPECT_EQ(answers.Titles()[2], "Load firmware packet");
  EXPECT_EQ(startFolder, temp_.File("packets"));
}

// Idle, Enter (no button focused) and Escape end the window like Quit; Enter on a focused
// button presses that button. During an action a close request never cuts it short: the user
// is asked whether the window should close when it has ended, and Enter keeps it open.
TEST_F(ProgrammerWindowTest, CloseRequestsAndEnter) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    Start();
    window_->hide();
    ModalAnswerer answers;
    answers.Then([key](QWidget* window) {
      window->findChild<QRadioButton*>()->setFocus();
      ModalAnswerer::PressKey(key)(window);
    });
    window_->exec();  // returns once the window has closed
    EXPECT_TRUE(answers.AllAnswered()) << key;
    programmer_.reset();
  }
  Start();
  Button(CommandControl::kConnect)->setFocus();
  QTest::keyClick(Button(CommandControl::kConnect), Qt::Key_Return);
  EXPECT_EQ(window_->StatusLabel()->text().toStdString(), "Connected to orva.tarvo SN 4711");
  programmer_.reset();

  const struct {
    const char* name;
    QEvent* request;
    ModalAnswerer::Answer answer;
    bool closed;
  } cases[] = {
      {"Escape, Enter", new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier),
       ModalAnswerer::PressKey(Qt::Key_Return), false},
      {"close, Yes", new QCloseEvent, ModalAnswerer::ClickButton("Yes"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Start();
    // Delivered while the connect runs.
    QCoreApplication::postEvent(window_.get(), c.request);
    ModalAnswerer answers;
    answers.Then(c.answer);
    Button(CommandControl::kConnect)->click();
    EXPECT_EQ(answers.MessageTexts(),
              std::vector<std::string>{"An operation is running and goes on until it has ended.\n"
                                       "Close the window when it has ended?"});
    EXPECT_EQ(window_->StatusLabel()->text().toStdString(), "Connected to orva.tarvo SN 4711");
    EXPECT_EQ(window_->isVisible(), !c.closed);
    programmer_.reset();
  }
}

// Escape leaves the order dialog like Cancel, also after an earlier "Done": nothing follows.
// After "Done" each image dialog says which device it asks for and starts where the image
// before was chosen; cancelling the save dialog ends the generation with a status line.
TEST_F(ProgrammerWindowTest, PacketGenerationDialogs) {
  Start(false, true);
  programmer_->Order()[0] = DEVICE_MAIN_FPGA;
  {
    ModalAnswerer answers;
    answers.Then(ModalAnswerer::PressKey(Qt::Key_Escape));
    Button(CommandControl::kPacket)->click();
    EXPECT_EQ(answers.Titles().size(), 1u);
    EXPECT_EQ(programmer_->Order()[0], ORDER_END);
  }
  test::CreateFolderForTest(temp_.File("raw"));
  for (const char* name : {"raw/main_up.hex", "raw/main_fpga.bit"}) {
    test::WriteFileText(temp_.File(name), "");
  }
  ModalAnswerer answers;
  std::string secondStart;
  answers
      .Then([](QWidget* window) {
        QListWidget* available = qobject_cast<COrderDlg*>(window)->AvailableList();
        for (const int row : {5, 2}) {  // Main uP, then Main FPGA
          available->setCurrentRow(row);
          QTest::keyClick(available, Qt::Key_Return);
        }
        ModalAnswerer::ClickButton("Done")(window);
      })
      .Then(test::ChooseFile(temp_.File("raw/main_up.hex")))
      .Then([&](QWidget* window) {
        test::RecordStartFolder(&secondStart, false)(window);
        test::ChooseFile(temp_.File("raw/main_fpga.bit"))(window);
      })
      .Then(ModalAnswerer::Reject());
  Button(CommandControl::kPacket)->click();
  EXPECT_EQ(answers.Titles(),
            (std::vector<std::string>{"Define Programming Order ...", "Image file for Main uP",
                                      "Image file for Main FPGA", "Save new packet"}));
  EXPECT_EQ(secondStart, temp_.File("raw"));
  EXPECT_EQ(window_->StatusLabel()->text().toStdString(),
            "Packet generation cancelled: no file name was chosen; no file written.");
}

TEST_F(ProgrammerWindowTest, SupportButtonShowsTheLogFile) {
  Start();
  ModalAnswerer answers;
  answers.Then([&](QWidget* window) {
    auto* support = qobject_cast<CSupportDlg*>(window);
    EXPECT_EQ(support->LogPathField()->text().toStdString(),
              temp_.Path() + "/data/orva/TARVO_PROG.log");
    EXPECT_EQ(support->Subject(), "Support request: Firmware update of orva.tarvo SN -1 failed!");
    support->DoneButton()->click();
  });
  Button(CommandControl::kSupport)->click();
  EXPECT_TRUE(answers.AllAnswered());
}

}  // namespace
}  // namespace tarvo::ui
