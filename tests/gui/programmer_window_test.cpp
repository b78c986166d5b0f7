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
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <set>
#include <string>
#include <vector>

#include "firmware/firmware_packet.h"
#include "gui/gui_test_support.h"
#include "ui/support_dlg.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using test::ScopedEnvironment;

class ProgrammerWindowTest : public test::WindowTest {
 protected:
  // A packet with one small image for the main FPGA.
  std::string WritePacket() {
    const std::string path = temp_.File("update.tvf");
    CFirmwarePacket packet;
    std::vector<std::uint8_t> bytes(256);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    ImageVersion version;
    version.variant = 1;
    version.major = 9;
    version.minor = 1;
    EXPECT_TRUE(packet.CreatePacket());
    EXPECT_TRUE(packet.AddImage(DEVICE_MAIN_FPGA, 0, 256, bytes.data(), version));
    EXPECT_TRUE(packet.SealPacket());
    EXPECT_TRUE(packet.SavePacket(path)) << packet.LastError();
    return path;
  }

  void LoadFile(const std::string& path) {
    ModalAnswerer answers;
    answers.Then(test::ChooseFile(path));
    Button(CommandControl::kLoadFile)->click();
    EXPECT_TRUE(answers.AllAnswered());
  }

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

TEST_F(ProgrammerWindowTest, ProgressBarsAreDrawnInTheColoursOfTheirState) {
  Start();
  const DeviceIndex device = DEVICE_MAIN_UP;
  QProgressBar* bar = window_->DeviceProgressBar(device);

  programmer_->SetDeviceProgress(device, PROGRESS_RUNNING);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(test::MiddleColour(bar), QColor(248, 248, 248));
  window_->SetDeviceProgressPosition(device, 60);
  EXPECT_EQ(bar->grab().toImage().pixelColor(bar->width() / 4, bar->height() / 2),
            QColor(0, 0, 255));

  programmer_->SetDeviceProgress(device, PROGRESS_DONE);
  EXPECT_EQ(bar->value(), 100);
  EXPECT_EQ(test::MiddleColour(bar), QColor(0, 255, 0));

  programmer_->SetDeviceProgress(device, PROGRESS_FAILED);
  EXPECT_EQ(test::MiddleColour(bar), QColor(255, 0, 0));

  window_->SetDeviceProgressPosition(device, 30);
  programmer_->SetDeviceProgress(device, PROGRESS_QUEUED);
  EXPECT_EQ(bar->value(), 30);  // queued keeps the position
  EXPECT_EQ(test::MiddleColour(bar), QColor(160, 160, 160));
}

// Tab walks the device rows, then the button column, top to bottom; Alt and a letter presses
// any command button, and the file dialog it opens is titled by its purpose and starts in the
// folder of the last packet chosen.
TEST_F(ProgrammerWindowTest, TabOrderMnemonicsAndTheLoadDialog) {
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

  std::set<QChar> letters;
  for (CommandControl control : kAllCommandControls) {
    const QString text = Button(control)->text();
    const qsizetype mark = text.indexOf(QLatin1Char('&'));
    ASSERT_TRUE(mark >= 0 && mark + 1 < text.size()) << text.toStdString();
    EXPECT_TRUE(letters.insert(text[mark + 1].toLower()).second) << text.toStdString();
  }

  const std::string packet = WritePacket();
  LoadFile(packet);
  ModalAnswerer answers;
  std::string startFolder;
  answers.Then([&startFolder](QWidget* window) {
    startFolder = qobject_cast<QFileDialog*>(window)->directory().absolutePath().toStdString();
    ModalAnswerer::Reject()(window);
  });
  QApplication::setActiveWindow(window_.get());
  QTest::keyClick(window_.get(), Qt::Key_L, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&answers] { return answers.AllAnswered(); }));
  EXPECT_EQ(answers.Titles(), std::vector<std::string>{"Load firmware packet"});
  EXPECT_EQ(startFolder, temp_.Path());
}

// A close request during an action never cuts it short: the user is asked whether the window
// should close when it has ended, and Enter keeps it open.
TEST_F(ProgrammerWindowTest, CloseRequestDuringAnActionAsksAndNeverInterruptsIt) {
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
    EXPECT_TRUE(answers.AllAnswered());
    ASSERT_EQ(answers.MessageTexts().size(), 1u);
    EXPECT_EQ(answers.MessageTexts()[0],
              "An operation is running on the camera and goes on until it has ended.\n"
              "Close the window when it has ended?");
    EXPECT_EQ(window_->StatusLabel()->text().toStdString(), "Connected to orva.tarvo SN 4711");
    EXPECT_EQ(window_->isVisible(), !c.closed);
    EXPECT_FALSE(window_->Busy());
    programmer_.reset();
  }
}

TEST_F(ProgrammerWindowTest, EnterQuitAndEscapeEndTheIdleWindow) {
  struct Case {
    const char* name;
    ModalAnswerer::Answer answer;
  };
  const Case cases[] = {
      {"Quit", ModalAnswerer::ClickButton("Quit")},
      {"Enter",
       [](QWidget* window) {
         // No button has the focus.
         window->findChild<QRadioButton*>()->setFocus();
         ModalAnswerer::PressKey(Qt::Key_Return)(window);
       }},
      {"Escape", ModalAnswerer::PressKey(Qt::Key_Escape)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start();
    window_->hide();
    ModalAnswerer answers;
    answers.Then(c.answer);
    window_->exec();
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_FALSE(window_->isVisible());
    programmer_.reset();
  }
}

TEST_F(ProgrammerWindowTest, EnterOnAFocusedButtonPressesThatButton) {
  Start();
  Button(CommandControl::kConnect)->setFocus();
  ModalAnswerer answers;
  QTest::keyClick(Button(CommandControl::kConnect), Qt::Key_Return);
  EXPECT_NE(window_->StatusLabel()->text().toStdString(), "No camera connected.");
  EXPECT_TRUE(window_->isVisible());
}

// Escape leaves the order dialog like Cancel, also after an earlier "Done": no image dialog
// follows, and the order is empty.
TEST_F(ProgrammerWindowTest, EscapeInTheOrderDialogGeneratesNothing) {
  Start(false, true);
  programmer_->Order()[0] = DEVICE_MAIN_FPGA;
  ModalAnswerer answers;
  answers.Then(ModalAnswerer::PressKey(Qt::Key_Escape));
  Button(CommandControl::kPacket)->click();
  EXPECT_TRUE(answers.AllAnswered());
  EXPECT_EQ(answers.Unexpected(), 0);
  EXPECT_EQ(programmer_->Order()[0], ORDER_END);
}

TEST_F(ProgrammerWindowTest, SupportButtonShowsTheLogFolder) {
  Start();
  std::vector<std::string> lines;
  std::string subject;
  ModalAnswerer answers;
  answers.Then([&](QWidget* window) {
    auto* support = qobject_cast<CSupportDlg*>(window);
    ASSERT_NE(support, nullptr);
    lines = test::ListTexts(*support->TextList());
    subject = support->Subject();
    support->DoneButton()->click();
  });
  Button(CommandControl::kSupport)->click();
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[11], "    " + temp_.Path() + "/data/orva");
  EXPECT_EQ(subject, "Support request: Firmware update of orva.tarvo SN -1 failed!");
}

}  // namespace
}  // namespace tarvo::ui
