#include "ui/programmer_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
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

  void Connect() {
    ModalAnswerer answers;  // any message box the connect raises is dismissed
    Button(CommandControl::kConnect)->click();
  }

  ScopedEnvironment simFolder_{"QLM_SIM_DIR", temp_.Path() + "/sim"};
};

TEST_F(ProgrammerWindowTest, NormalStartShowsTheIdleWindow) {
  Start();
  EXPECT_TRUE(window_->windowTitle().startsWith(
      QStringLiteral("Firmware programmer for orva.tarvo Rev 25, built ")))
      << window_->windowTitle().toStdString();
  EXPECT_FALSE(window_->windowIcon().isNull());
  EXPECT_EQ(window_->StatusLabel()->text().toStdString(), "No camera connected.");
  EXPECT_FALSE(Visible(CommandControl::kPacket));
  EXPECT_FALSE(Visible(CommandControl::kBackup));
  EXPECT_TRUE(Button(CommandControl::kUsb2)->isChecked());
  EXPECT_FALSE(Button(CommandControl::kUsb3)->isChecked());
  EXPECT_TRUE(Button(CommandControl::kSkipBackup)->isChecked());
  for (CommandControl control :
       {CommandControl::kConnect, CommandControl::kLoadFile, CommandControl::kSupport,
        CommandControl::kQuit, CommandControl::kUsb2, CommandControl::kSkipBackup}) {
    EXPECT_TRUE(Enabled(control)) << static_cast<int>(control);
  }
  EXPECT_FALSE(Enabled(CommandControl::kProgram));
  EXPECT_FALSE(Enabled(CommandControl::kVerify));
  EXPECT_TRUE(static_cast<QPushButton*>(Button(CommandControl::kQuit))->isDefault());
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    EXPECT_FALSE(window_->DeviceCheckBox(device)->isEnabled());
    EXPECT_FALSE(window_->DeviceProgressBar(device)->isVisible());
    EXPECT_TRUE(window_->CameraVersionLabel(device)->text().isEmpty());
  }
  EXPECT_EQ(window_->DeviceCheckBox(DEVICE_COLOR_DATA)->text().toStdString(), "Color Data");
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
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

TEST_F(ProgrammerWindowTest, ProgramAndVerifyNeedBothCameraAndPacketInEitherOrder) {
  const std::string packet = WritePacket();
  for (const bool connectFirst : {true, false}) {
    SCOPED_TRACE(connectFirst ? "connect, then load" : "load, then connect");
    Start();
    if (connectFirst) {
      Connect();
      EXPECT_NE(window_->StatusLabel()->text().toStdString(), "No camera connected.");
      ModalAnswerer cancelled;  // a cancelled file dialog loads nothing
      cancelled.Then(ModalAnswerer::Reject());
      Button(CommandControl::kLoadFile)->click();
      EXPECT_TRUE(cancelled.AllAnswered());
    } else {
      LoadFile(packet);
      EXPECT_EQ(window_->PacketVersionLabel(DEVICE_MAIN_FPGA)->text().toStdString(), "001 V09.01");
    }
    EXPECT_FALSE(Enabled(CommandControl::kProgram));
    EXPECT_FALSE(Enabled(CommandControl::kVerify));
    if (connectFirst)
      LoadFile(packet);
    else
      Connect();
    EXPECT_TRUE(Enabled(CommandControl::kProgram));
    EXPECT_TRUE(Enabled(CommandControl::kVerify));
    EXPECT_TRUE(Enabled(CommandControl::kConnect));  // enabled again after the action
    programmer_.reset();
  }
}

TEST_F(ProgrammerWindowTest, CloseRequestDuringAnOperationWaitsForItsEnd) {
  for (const bool byEscape : {true, false}) {
    SCOPED_TRACE(byEscape ? "Escape" : "close event");
    Start();
    ASSERT_TRUE(window_->isVisible());
    // Delivered by the first event dispatch inside the operation.
    if (byEscape) {
      QCoreApplication::postEvent(window_.get(),
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    } else {
      QCoreApplication::postEvent(window_.get(), new QCloseEvent);
    }
    Connect();
    // The connect ran to its end (its status replaced the idle text) and only then the window
    // closed.
    EXPECT_NE(window_->StatusLabel()->text().toStdString(), "No camera connected.");
    EXPECT_FALSE(window_->isVisible());
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

TEST_F(ProgrammerWindowTest, PacketModeStartsWithAnEmptyOrderAndCancelEmptiesItAgain) {
  Start(false, true);
  EXPECT_TRUE(Visible(CommandControl::kPacket));
  EXPECT_TRUE(Enabled(CommandControl::kPacket));
  EXPECT_FALSE(Visible(CommandControl::kBackup));
  EXPECT_EQ(programmer_->Order()[0], ORDER_END);  // an empty order before the first "Done"
  // Cancel empties the order again after one was given.
  programmer_->Order()[0] = DEVICE_MAIN_FPGA;
  ModalAnswerer answers;
  answers.Then(ModalAnswerer::ClickButton("Cancel"));
  Button(CommandControl::kPacket)->click();
  EXPECT_TRUE(answers.AllAnswered());
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
