#include "ui/support_dlg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "gui/gui_test_support.h"
#include "support/temp_folder.h"
#include "ui/mail_man.h"
#include "ui/support_texts.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using test::ScopedEnvironment;
using test::TempFolder;
using Texts = std::vector<std::string>;

TEST(SupportTexts, SubjectAndBodyCarryTheSerialNumber) {
  EXPECT_EQ(SupportSubject(4711), "Support request: Firmware update of orva.tarvo SN 4711 failed!");
  EXPECT_EQ(SupportSubject(-1), "Support request: Firmware update of orva.tarvo SN -1 failed!");
  EXPECT_EQ(SupportBody(-1),
            "Dear Support,\n\nwe've got problems with the firmware update of the orva.tarvo SN "
            "-1.\n\nHere is the description:\n\n"
            "**********Please describe the error here**********\r\n\r\n"
            "The programming log and the service history (history.jsonl) are attached.\r\n\r\n"
            "Regards,\n\n"
            "**********Please set your name and address here***");
}

TEST(SupportDialog, ListShowsAddressLogNameAndFolder) {
  CSupportDlg dialog;
  dialog.Prepare(-1, "/home/u/.local/share/100%d/orva",
                 "/home/u/.local/share/100%d/orva/TARVO_PROG.log");
  dialog.show();
  EXPECT_EQ(dialog.windowTitle().toStdString(), "How to get support in case of problems:");
  EXPECT_EQ(test::ListTexts(*dialog.TextList()),
            (Texts{
                "In case of problems, please send an email with a description",
                "of the problem to the support department of ORVA at:",
                "",
                "    support@orva.example",
                "",
                "and attach the programming log file",
                "",
                "    TARVO_PROG.log",
                "",
                "which is located in the directory:",
                "",
                "    /home/u/.local/share/100%d/orva",
                "",
                "The service history of the cameras, history.jsonl, is in",
                "the same folder.",
                "",
                "You may also use the button below to send an email with the",
                "log file (and the service history) attached!",
            }));
  EXPECT_EQ(dialog.TextList()->font().pointSize(), 12);
  EXPECT_EQ(test::Caption(*dialog.SendButton()), "Send email to support with log file attached!");
  EXPECT_TRUE(dialog.DoneButton()->isDefault());
  EXPECT_EQ(dialog.Recipient(), "support@orva.example");
  EXPECT_EQ(dialog.Subject(), SupportSubject(-1));
  dialog.close();
}

// A stand-in for xdg-email on PATH that records each call's arguments, one file per call,
// and ends with a chosen exit status.
class FakeMailProgram {
 public:
  FakeMailProgram()
      : path_("PATH", bin_.Path() + ":/usr/bin:/bin"),
        record_("FAKE_MAIL_RECORD", records_.Path()) {
    ExitWith(0);
  }

  void ExitWith(int status, const char* delay = "0") {
    const std::string script = bin_.File("xdg-email");
    test::WriteFileText(
        script,
        "#!/bin/sh\n"
        "sleep " +
            std::string(delay) + "\n" +
            "n=1\n"
            "while [ -e \"$FAKE_MAIL_RECORD/call$n\" ]; do n=$((n + 1)); done\n"
            "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$FAKE_MAIL_RECORD/call$n\"\n"
            "exit " +
            std::to_string(status) + "\n");
    chmod(script.c_str(), 0755);
  }

  // Arguments of call n (1-based); empty when there was no such call.
  Texts Call(int n) const {
    const std::string bytes = test::ReadFileText(records_.File("call" + std::to_string(n)));
    Texts arguments;
    std::size_t begin = 0;
    for (std::size_t end = bytes.find('\0'); end != std::string::npos;
         end = bytes.find('\0', begin)) {
      arguments.push_back(bytes.substr(begin, end - begin));
      begin = end + 1;
    }
    return arguments;
  }

 private:
  TempFolder bin_;
  TempFolder records_;
  ScopedEnvironment path_;
  ScopedEnvironment record_;
};

// A failed hand-off does not stop the next; a missing mail program ends the sending.
TEST(MailHandOff, OneMailPerRecipientEvenAfterAFailure) {
  FakeMailProgram mail;
  mail.ExitWith(4);
  CMailMan mailer;
  const std::vector<platform::MailResult> results =
      mailer.SendMail({"/log"}, "a@x.example;b@y.example", "s", "b");
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].outcome, platform::MailOutcome::kMailProgramFailed);
  EXPECT_EQ(results[0].exitStatus, 4);
  EXPECT_EQ(mail.Call(1).back(), "a@x.example");
  EXPECT_EQ(mail.Call(2).back(), "b@y.example");
  TempFolder empty;
  ScopedEnvironment path("PATH", empty.Path());
  EXPECT_EQ(mailer.SendMail({"/log"}, "a@x.example;b@y.example", "s", "b").size(), 1u);
}

// The mail goes to the mail program with subject, body and the log attached; the program's
// windows take no input meanwhile, and the dialog closes after a good hand-off.
TEST(SupportDialog, SendButtonHandsTheMailOverWhileTheWindowsTakeNoInput) {
  FakeMailProgram mail;
  mail.ExitWith(0, "0.3");
  QWidget owner;
  owner.show();
  CSupportDlg dialog(&owner);
  TempFolder data;
  test::WriteFileText(data.File("history.jsonl"), "{}\n");
  dialog.Prepare(815, data.Path(), data.File("TARVO_PROG.log"));
  std::vector<bool> enabledWhileSending;
  QTimer sampler;
  QObject::connect(&sampler, &QTimer::timeout, [&] {
    if (!mail.Call(1).empty() || enabledWhileSending.size() > 100) return;
    if (dialog.isVisible()) enabledWhileSending.push_back(dialog.isEnabled() || owner.isEnabled());
  });
  sampler.start(50);
  ModalAnswerer answers;
  answers.Then(ModalAnswerer::ClickButton("Send email to support with log file attached!"));
  dialog.exec();
  sampler.stop();
  EXPECT_NE(std::find(enabledWhileSending.begin(), enabledWhileSending.end(), false),
            enabledWhileSending.end());
  EXPECT_TRUE(owner.isEnabled());
  EXPECT_TRUE(dialog.isEnabled());
  EXPECT_EQ(answers.Unexpected(), 0);  // no message box after a good hand-off
  EXPECT_EQ(mail.Call(1), (Texts{"--utf8", "--subject", SupportSubject(815), "--body",
                                 SupportBody(815), "--attach", data.File("TARVO_PROG.log"),
                                 "--attach", data.File("history.jsonl"), "support@orva.example"}));
}

// After a failed hand-off the dialog stays open with the log's path at hand: selectable, to
// the clipboard, or its folder opened in the desktop's file manager.
TEST(SupportDialog, FailuresShowAMessageAndKeepTheLogPathAtHand) {
  struct Case {
    const char* name;
    bool installed;
    int status;
    const char* expected;
  };
  const Case cases[] = {
      {"missing", false, 0, "\"xdg-email\" was not found"},
      {"failed", true, 3, "xdg-email ended with code 3: no mail program is set up"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMailProgram mail;
    mail.ExitWith(c.status);
    TempFolder empty;
    std::optional<ScopedEnvironment> noPath;
    if (!c.installed) noPath.emplace("PATH", empty.Path());
    CSupportDlg dialog;
    dialog.Prepare(1, "/data/orva", "/data/orva/TARVO_PROG.log");
    dialog.show();
    ModalAnswerer answers;
    answers.Then(ModalAnswerer::Accept());
    dialog.SendButton()->click();
    ASSERT_EQ(answers.MessageTexts().size(), 1u);
    EXPECT_NE(answers.MessageTexts()[0].find(c.expected), std::string::npos)
        << answers.MessageTexts()[0];
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.LogPathField()->isReadOnly());
    EXPECT_EQ(dialog.LogPathField()->selectedText().toStdString(), "/data/orva/TARVO_PROG.log");
    QTextBrowser folderOpened;  // stands in for the file manager
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &folderOpened, "setSource");
    dialog.CopyPathButton()->click();
    dialog.OpenFolderButton()->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "/data/orva/TARVO_PROG.log");
    EXPECT_EQ(folderOpened.source().toLocalFile().toStdString(), "/data/orva");
  }
}

TEST(SupportDialog, DoneAndEscapeCloseWithoutMail) {
  FakeMailProgram mail;
  for (const ModalAnswerer::Answer& answer :
       {ModalAnswerer::ClickButton("Done"), ModalAnswerer::PressKey(Qt::Key_Escape),
        ModalAnswerer::PressKey(Qt::Key_Return)}) {
    CSupportDlg dialog;
    dialog.Prepare(1, "/data/orva", "/data/orva/TARVO_PROG.log");
    ModalAnswerer answers;
    answers.Then(answer);
    dialog.exec();
    EXPECT_TRUE(answers.AllAnswered());
  }
  EXPECT_TRUE(mail.Call(1).empty());
}

}  // namespace
}  // namespace tarvo::ui
