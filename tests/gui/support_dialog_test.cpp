// The support dialog's mail: what it hands to the desktop's mail program, and what the dialog
// keeps at hand when that fails.
#include "ui/support_dlg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QTextBrowser>
#include <optional>

#include "gui/gui_test_support.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using test::ScopedEnvironment;
using test::TempFolder;
using Texts = std::vector<std::string>;

// A stand-in for xdg-email on PATH: after a pause it records its arguments and ends with the
// given exit status.
class FakeMailProgram {
 public:
  explicit FakeMailProgram(int status) {
    const std::string script = bin_.File("xdg-email");
    test::WriteFileText(
        script, "#!/bin/sh\nsleep 0.2\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"" +
                    record_ + "\"\nexit " + std::to_string(status) + "\n");
    chmod(script.c_str(), 0755);
  }

  // The arguments of the call; empty when there was none.
  Texts Arguments() const {
    Texts arguments;
    const std::string bytes = test::ReadFileText(record_);
    for (std::size_t begin = 0, end; (end = bytes.find('\0', begin)) != std::string::npos;
         begin = end + 1) {
      arguments.push_back(bytes.substr(begin, end - begin));
    }
    return arguments;
  }

 private:
  TempFolder bin_;
  std::string record_ = bin_.File("call");
  ScopedEnvironment path_{"PATH", bin_.Path() + ":/usr/bin:/bin"};
};

// The mail goes to the mail program with subject, body, the log and the service history
// attached; the program's windows take no input meanwhile, and the dialog closes after a good
// hand-off.
TEST(SupportDialog, SendHandsTheMailOverWhileTheWindowsTakeNoInput) {
  FakeMailProgram mail(0);
  QWidget owner;
  owner.show();
  CSupportDlg dialog(&owner);
  TempFolder data;
  test::WriteFileText(data.File("history.jsonl"), "{}\n");
  dialog.Prepare(815, data.Path(), data.File("TARVO_PROG.log"));
  bool enabledWhileSending = true;
  {
    ModalAnswerer answers({[&](QWidget* window) {
      // Runs while the mail program has the mail.
      QTimer::singleShot(0, [&] { enabledWhileSending = dialog.isEnabled() || owner.isEnabled(); });
      ModalAnswerer::ClickButton("Send email to support with log file attached!")(window);
    }});
    dialog.exec();
  }
  EXPECT_FALSE(enabledWhileSending);
  EXPECT_TRUE(owner.isEnabled() && dialog.isEnabled());
  EXPECT_EQ(mail.Arguments(),
            (Texts{"--utf8", "--subject",
                   "Support request: Firmware update of orva.tarvo SN 815 failed!", "--body",
                   "Dear Support,\n\nwe've got problems with the firmware update of the orva.tarvo "
                   "SN 815.\n\nHere is the description:\n\n"
                   "**********Please describe the error here**********\r\n\r\n"
                   "The programming log and the service history (history.jsonl) are "
                   "attached.\r\n\r\nRegards,\n\n"
                   "**********Please set your name and address here***",
                   "--attach", data.File("TARVO_PROG.log"), "--attach", data.File("history.jsonl"),
                   "support@orva.example"}));
}

// After a failed hand-off the dialog stays open with the log's path at hand: selectable, to the
// clipboard, or its folder opened in the desktop's file manager. "Done" is the default button:
// Enter, like Escape, closes the dialog without a further mail.
TEST(SupportDialog, FailuresShowAMessageAndKeepTheLogPathAtHand) {
  const struct {
    bool installed;
    int status;
    const char* expected;
    Qt::Key close;
  } cases[] = {{false, 0, "\"xdg-email\" was not found", Qt::Key_Escape},
               {true, 3, "xdg-email ended with code 3: no mail program is set up", Qt::Key_Return}};
  for (const auto& c : cases) {
    FakeMailProgram mail(c.status);
    TempFolder empty;
    std::optional<ScopedEnvironment> noPath;
    if (!c.installed) noPath.emplace("PATH", empty.Path());
    CSupportDlg dialog;
    dialog.Prepare(1, "/data/orva", "/data/orva/TARVO_PROG.log");
    dialog.show();
    {
      ModalAnswerer answers({ModalAnswerer::Accept()});
      dialog.SendButton()->click();
      ASSERT_EQ(answers.Seen().size(), 1u);
      EXPECT_NE(answers.Seen()[0].find(c.expected), std::string::npos) << answers.Seen()[0];
    }
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
    ModalAnswerer none;  // no mail again
    ModalAnswerer::PressKey(c.close)(&dialog);
    EXPECT_FALSE(dialog.isVisible());
  }
}

}  // namespace
}  // namespace tarvo::ui
