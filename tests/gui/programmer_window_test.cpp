// The programmer window against the simulated camera: its states, keys and dialogs, and whole
// runs clicked through it while the engine works on a thread of its own.
#include "ui/programmer_window.h"

#include <sys/stat.h>

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QRadioButton>
#include <QTextBrowser>
#include <set>

#include "firmware/firmware_packet.h"
#include "gui/gui_test_support.h"
#include "link/telegram_layout.h"
#include "sim/core/camera_folder.h"
#include "sim/core/factory_images.h"
#include "ui/order_dlg.h"
#include "ui/support_dlg.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using Texts = std::vector<std::string>;

using ProgrammerWindowTest = test::WindowTest;

// The idle window in emergency mode, where "Skip Backup" says why it is held. Tab walks the device
// rows, then the buttons; every command has its own Alt letter; Enter answers a question No.
TEST_F(ProgrammerWindowTest, IdleWindowAndKeys) {
  Start(true, true);  // Backup and Packet shown
  EXPECT_FALSE(window_->windowIcon().isNull());
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  EXPECT_EQ(RunPicture(), QColor(160, 166, 176));  // neutral
  EXPECT_EQ(Button(CommandControl::kSkipBackup)->toolTip().toStdString(),
            "Emergency mode: programming never makes a backup first.");
  for (CommandControl control : kAllCommandControls) window_->EnableControl(control, true);
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) window_->EnableDevice(device, true);
  QApplication::setActiveWindow(window_.get());
  window_->DeviceCheckBox(DEVICE_BOOT_UP)->setFocus();
  Texts visited;
  for (int step = 0; step < 20; ++step) {
    auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    ASSERT_NE(focused, nullptr);
    visited.push_back(test::Caption(*focused));
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  EXPECT_EQ(visited, (Texts{"Boot uP", "Boot FPGA", "Main FPGA",  "Mem FPGA 1",  "Mem FPGA 2",
                            "Main uP", "Power uP",  "HDSDI FPGA", "Color Data",  "Connect",
                            "USB 2.0", "Load File", "Backup",     "Skip Backup", "Program",
                            "Verify",  "Packet",    "Support",    "Quit",        "Boot uP"}));
  std::set<QKeySequence> mnemonics;
  for (CommandControl control : kAllCommandControls) {
    const QKeySequence mnemonic = QKeySequence::mnemonic(Button(control)->text());
    EXPECT_TRUE(!mnemonic.isEmpty() && mnemonics.insert(mnemonic).second) << int(control);
  }
  ModalAnswerer answers({ModalAnswerer::PressKey(Qt::Key_Return)});
  EXPECT_FALSE(window_->AskYesNo("Creating backup file failed!\nDo you still want to proceed?"));
}

// A stand-in for xdg-email on PATH: after a pause it writes its arguments, one a line, to the
// file "call" beside it and ends with the given exit status.
struct FakeMailProgram {
  explicit FakeMailProgram(int status) {
    test::WriteFileText(bin.File("xdg-email"), "#!/bin/sh\nsleep 0.2\nprintf '%s\\n' \"$@\" > \"" +
                                                   bin.File("call") + "\"\nexit " +
                                                   std::to_string(status) + "\n");
    chmod(bin.File("xdg-email").c_str(), 0755);
  }
  test::TempFolder bin;
  test::ScopedEnvironment path{"PATH", bin.Path() + ":/usr/bin:/bin"};
};

// Support tells where this window's log is. After a failed hand-off to the mail program the
// dialog stays open with the log's path at hand: selectable, to the clipboard, or its folder
// opened in the file manager; Enter ("Done") closes it. The mail goes to the mail program with
// log and service history attached while the program's windows take no input.
TEST_F(ProgrammerWindowTest, SupportDialogAndMail) {
  Start();
  const std::string folder = temp_.File("data/orva");
  const ModalAnswerer::Answer failedHandOffs = [&folder](QWidget* window) {
    auto* support = qobject_cast<CSupportDlg*>(window);
    const Texts lines = test::ListTexts(*support->TextList());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "    " + folder), lines.end());
    {
      test::TempFolder empty;
      test::ScopedEnvironment noMailProgram("PATH", empty.Path());
      support->SendButton()->click();
    }
    support->SendButton()->click();
    EXPECT_TRUE(support->isVisible());
    EXPECT_TRUE(support->LogPathField()->isReadOnly());
    EXPECT_EQ(support->LogPathField()->selectedText().toStdString(), folder + "/TARVO_PROG.log");
    QTextBrowser folderOpened;  // stands in for the file manager
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &folderOpened, "setSource");
    support->CopyPathButton()->click();
    support->OpenFolderButton()->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), folder + "/TARVO_PROG.log");
    EXPECT_EQ(folderOpened.source().toLocalFile().toStdString(), folder);
    ModalAnswerer::PressKey(Qt::Key_Return)(window);
  };
  {
    FakeMailProgram mail(3);
    const Texts seen = Click(CommandControl::kSupport,
                             {failedHandOffs, ModalAnswerer::Accept(), ModalAnswerer::Accept()});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], "How to get support in case of problems:");
    EXPECT_NE(seen[1].find("\"xdg-email\" was not found"), std::string::npos) << seen[1];
    EXPECT_NE(seen[2].find("xdg-email ended with code 3: no mail program is set up"),
              std::string::npos);
  }
  FakeMailProgram mail(0);
  test::WriteFileText(folder + "/history.jsonl", "{}\n");
  bool enabledWhileSending = true;
  Click(CommandControl::kSupport, {[&](QWidget* support) {
          QTimer::singleShot(0, [&] {  // runs while the mail program has the mail
            enabledWhileSending = support->isEnabled() || window_->isEnabled();
          });
          ModalAnswerer::ClickButton("Send email to support with log file attached!")(support);
        }});
  EXPECT_FALSE(enabledWhileSending);
  EXPECT_TRUE(window_->isEnabled());
  EXPECT_EQ(
      test::ReadFileText(mail.bin.File("call")),
      "--utf8\n--subject\nSupport request: Firmware update of orva.tarvo SN -1 failed!\n"
      "--body\nDear Support,\n\nwe've got problems with the firmware update of the orva.tarvo "
      "SN -1.\n\nHere is the description:\n\n"
      "**********Please describe the error here**********\r\n\r\n"
      "The programming log and the service history (history.jsonl) are attached.\r\n\r\n"
      "Regards,\n\n**********Please set your name and address here***\n--attach\n" +
          folder + "/TARVO_PROG.log\n--attach\n" + folder +
          "/history.jsonl\n"
          "support@orva.example\n");
}

// Idle, Enter and Escape end the window like Quit. During an action a close request never cuts
// it short: the user is asked whether to close when it has ended, and Enter keeps it open.
TEST_F(ProgrammerWindowTest, CloseRequests) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    Start();
    window_->hide();
    ModalAnswerer answers({[key](QWidget* window) {
      window->findChild<QRadioButton*>()->setFocus();
      ModalAnswerer::PressKey(key)(window);
    }});
    window_->exec();  // returns once the window has closed
  }
  const Texts question{
      "An operation is running and goes on until it has ended.\n"
      "Close the window when it has ended?"};
  Start();  // Escape, then Enter keeps the window
  QCoreApplication::postEvent(window_.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
  EXPECT_EQ(Click(CommandControl::kConnect, {ModalAnswerer::PressKey(Qt::Key_Return)}), question);
  EXPECT_TRUE(window_->isVisible());
  Start();  // the window manager's close, then Yes
  QCoreApplication::postEvent(window_.get(), new QCloseEvent);
  EXPECT_EQ(Click(CommandControl::kConnect, {ModalAnswerer::ClickButton("Yes")}), question);
  EXPECT_EQ(Status(), "Connected to orva.tarvo SN 4711");  // the run went on
  EXPECT_FALSE(window_->isVisible());
}

// In the order dialog Enter in the wait field adds the wait and Enter or a double-click in a list
// moves its entry, not pressing the default "Cancel"; a device taken out goes back to the end of
// its list, a pause is dropped; waits are whole seconds up to 255. Escape leaves it like Cancel,
// also after an earlier "Done". Each image dialog names its device and starts where the image
// before was chosen; cancelling the save dialog ends the generation with a status line.
TEST_F(ProgrammerWindowTest, PacketGenerationDialogs) {
  Start(false, true);
  programmer_->Order()[0] = DEVICE_MAIN_FPGA;
  EXPECT_EQ(Click(CommandControl::kPacket, {ModalAnswerer::PressKey(Qt::Key_Escape)}).size(), 1u);
  EXPECT_EQ(programmer_->Order()[0], ORDER_END);

  const ModalAnswerer::Answer editOrder = [](QWidget* window) {
    auto* dialog = qobject_cast<COrderDlg*>(window);
    QListWidget* available = dialog->AvailableList();
    available->setCurrentRow(8);  // Colordata
    dialog->MoveInButton()->click();
    dialog->AddRebootButton()->click();
    dialog->WaitField()->setText(QStringLiteral(" 10 "));
    QTest::keyClick(dialog->WaitField(), Qt::Key_Return);
    available->setCurrentRow(5);  // Main uP
    QTest::keyClick(available, Qt::Key_Enter);
    const QPoint centre = available->visualItemRect(available->item(0)).center();  // Boot uP
    QTest::mouseClick(available->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(available->viewport(), Qt::LeftButton, {}, centre);
    for (const char* seconds : {"256", "1.5", "0", "255"}) {
      dialog->WaitField()->setText(QString::fromLatin1(seconds));
      dialog->AddWaitButton()->click();
    }
    for (int step = 0; step < 3; ++step) {  // Reboot, Wait 10 sec., Main uP
      dialog->OrderedList()->setCurrentRow(1);
      QTest::keyClick(dialog->OrderedList(), Qt::Key_Return);
    }
    EXPECT_EQ(test::ListTexts(*available).back(), "Main uP");
    ModalAnswerer::ClickButton("Done")(window);
  };
  for (const char* name : {"colours.cdt", "boot.hex"}) test::WriteFileText(temp_.File(name), "");
  Texts second;
  const Texts seen =
      Click(CommandControl::kPacket, {editOrder, ModalAnswerer::Accept(), ModalAnswerer::Accept(),
                                      ModalAnswerer::FileDialog(temp_.File("colours.cdt")),
                                      ModalAnswerer::FileDialog(temp_.File("boot.hex"), &second),
                                      ModalAnswerer::PressKey(Qt::Key_Escape)});
  const std::string refused = "Please enter the wait time in whole seconds from 0 to 255.";
  EXPECT_EQ(seen,
            (Texts{"Define Programming Order ...", refused, refused, "Image file for Color Data",
                   "Image file for Boot uP", "Save new packet"}));
  const std::uint16_t* order = programmer_->Order().data();
  EXPECT_EQ(std::vector<int>(order, order + 5),
            (std::vector<int>{8, 0, 0x2000, 0x20FF, ORDER_END}));
  EXPECT_EQ(second, (Texts{temp_.Path(), "Hex Files (BRENTA_*.hex)", "All Files (*)"}));
  EXPECT_EQ(Status(), "Packet generation cancelled: no file name was chosen; no file written.");

  COrderDlg full(&programmer_->Order(), PROGRAM_ORDER_STEPS);  // 63 steps at most, then the end
  for (int i = 0; i < 70; ++i) full.AddRebootButton()->click();
  full.DoneButton()->click();
  EXPECT_EQ(order[62], ORDER_REBOOT);
  EXPECT_EQ(order[63], ORDER_END);
}

// An update with a backup first, and a verify; then a run whose erase blocks its telegram for 5 s
// and whose write fails. Telegrams block a worker thread: the window's events go on (the one timed
// check here, with a wide margin) under a busy cursor. The window shows the run report: picture,
// Power uP "not verified", the failed device.
TEST_F(ProgrammerWindowTest, UpdateVerifyAndALongEraseThatFails) {
  sim::CameraFolder camera;
  std::string error;
  ASSERT_TRUE(camera.Open(temp_.File("camera"), &error)) << error;
  CFirmwarePacket packet;  // 4.12 for all nine devices, in the order a release programs them
  ASSERT_TRUE(packet.CreatePacket());
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    const sim::FactoryImage image = sim::BuildFactoryImage(device, 1, 4, 12);
    ASSERT_TRUE(packet.AddImage(device, image.start, image.bytes.size(), image.bytes.data(),
                                sim::MakeImageVersion(1, 4, 12)));
  }
  ASSERT_TRUE(packet.SetOrder({2, 3, 4, ORDER_REBOOT, 7, 8, 5, 6, ORDER_REBOOT, 1, 0, ORDER_END}) &&
              packet.SealPacket() && packet.SavePacket(temp_.File("new.tvf")));

  Start();
  Click(CommandControl::kLoadFile, {ModalAnswerer::FileDialog(temp_.File("new.tvf"))});
  Button(CommandControl::kConnect)->click();
  Button(CommandControl::kSkipBackup)->click();
  EXPECT_EQ(Click(CommandControl::kProgram, {ModalAnswerer::Accept()}).size(), 1u);
  EXPECT_EQ(test::MiddleColour(window_->DeviceProgressBar(DEVICE_BOOT_UP)), QColor(0, 255, 0));
  EXPECT_EQ(window_->CameraVersionLabel(DEVICE_BOOT_UP)->text().toStdString(), "001 V04.12");
  EXPECT_EQ(RunPicture(), QColor(46, 160, 96));  // success
  Texts load;                                    // starts where the backup went
  EXPECT_EQ(Click(CommandControl::kLoadFile, {ModalAnswerer::FileDialog("", &load)}),
            Texts{"Load firmware packet"});
  EXPECT_EQ(load, (Texts{programmer_->LogFolder(), "orva.tarvo firmware packets (*.tvf)",
                         "All Files (*)"}));
  EXPECT_EQ(Click(CommandControl::kVerify, {ModalAnswerer::Accept()}).size(), 1u);
  EXPECT_TRUE(window_->DeviceProgressBar(DEVICE_POWER_UP)->isTextVisible());
  EXPECT_EQ(window_->DeviceProgressBar(DEVICE_POWER_UP)->text().toStdString(), "not verified");
  EXPECT_EQ(RunPicture(), QColor(46, 160, 96));

  for (DeviceIndex device = 0; device < kDeviceCount; ++device)
    window_->DeviceCheckBox(device)->setChecked(device == DEVICE_MAIN_FPGA);
  {
    sim::FolderLock lock(camera);
    camera.State().settings.latencyCommand = telegram::kEraseDevice;
    camera.State().settings.latencyMs = 5000;
    camera.State().faults.failTelegram = {1, {}, telegram::kWriteBlock, 1, 0, 0x80031013};
  }
  QElapsedTimer clock;
  qint64 lastTick = 0, longestGap = 0;
  bool busyCursor = true;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    if (window_->Busy() && QApplication::activeModalWidget() == nullptr) {  // not while a box is up
      longestGap = std::max(longestGap, now - lastTick);
      busyCursor = busyCursor && window_->cursor().shape() == Qt::BusyCursor;
    }
    lastTick = now;
  });
  bool boxWideEnough = false;
  const ModalAnswerer::Answer measureBox = [&boxWideEnough](QWidget* box) {
    const QFontMetrics metrics(box->font());
    boxWideEnough =
        box->width() >= metrics.horizontalAdvance(box->windowTitle()) + 4 * metrics.height();
    ModalAnswerer::Accept()(box);
  };
  clock.start();
  ticker.start(10);
  // The version check's box, then the result box.
  EXPECT_EQ(Click(CommandControl::kProgram, {ModalAnswerer::Accept(), measureBox}).size(), 2u);
  ticker.stop();
  EXPECT_GE(clock.elapsed(), 4500);  // the erase did take its time
  EXPECT_LT(longestGap, 200);
  RecordProperty("longest_gap_ms", static_cast<int>(longestGap));
  EXPECT_TRUE(busyCursor);
  EXPECT_NE(window_->cursor().shape(), Qt::BusyCursor);
  EXPECT_TRUE(boxWideEnough);
  EXPECT_EQ(Status(), RunFailureSummary(programmer_->LastRun()));
  EXPECT_EQ(test::MiddleColour(window_->DeviceProgressBar(DEVICE_MAIN_FPGA)), QColor(255, 0, 0));
  EXPECT_EQ(RunPicture(), QColor(210, 58, 50));  // failure
}

}  // namespace
}  // namespace tarvo::ui
