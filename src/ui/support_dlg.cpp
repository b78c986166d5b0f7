#include "ui/support_dlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/folders.h"
#include "platform/simple_mapi.h"
#include "ui/dialog_units.h"
#include "ui/mail_man.h"
#include "ui/support_texts.h"
#include "ui/text_list_widget.h"
#include "ui/window_dialogs.h"

namespace tarvo::ui {
namespace {

constexpr int kSupportWidthUnits = 407;
constexpr int kSupportHeightUnits = 334;
constexpr int kSupportFontPoints = 12;

}  // namespace

CSupportDlg::CSupportDlg(QWidget* parent)
    : QDialog(parent, kDialogWindowFlags),
      list_(new TextListWidget(this)),
      logPath_(new QLineEdit(this)),
      copyPath_(new QPushButton(QStringLiteral("&Copy path"), this)),
      openFolder_(new QPushButton(QStringLiteral("&Open folder"), this)),
      send_(new QPushButton(QString::fromLatin1(kSendMailCaption), this)),
      done_(new QPushButton(QString::fromLatin1(kSupportDoneCaption), this)) {
  setWindowTitle(QString::fromLatin1(kSupportTitle));
  setObjectName(QStringLiteral("supportDialog"));
  list_->setFont(ListFont("Verdana", kSupportFontPoints));
  logPath_->setReadOnly(true);

  for (QPushButton* button : {copyPath_, openFolder_, send_}) button->setAutoDefault(false);
  done_->setDefault(true);
  connect(copyPath_, &QPushButton::clicked, this,
          [this] { QGuiApplication::clipboard()->setText(logPath_->text()); });
  connect(openFolder_, &QPushButton::clicked, this, [this] {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(logPath_->text()).absolutePath()));
  });
  connect(send_, &QPushButton::clicked, this, [this] {
    if (SendSupportMail()) accept();
  });
  connect(done_, &QPushButton::clicked, this, &QDialog::accept);

  auto* pathRow = new QHBoxLayout;
  auto* pathLabel = new QLabel(QStringLiteral("Log &file:"), this);
  pathLabel->setBuddy(logPath_);
  pathRow->addWidget(pathLabel);
  pathRow->addWidget(logPath_, 1);
  pathRow->addWidget(copyPath_);
  pathRow->addWidget(openFolder_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(send_);
  buttons->addStretch(1);
  buttons->addWidget(done_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 12, 14, 12);
  layout->setSpacing(12);
  layout->addWidget(list_, 1);
  layout->addLayout(pathRow);
  layout->addLayout(buttons);
  setFixedSize(DialogUnitsToPixels(*this, kSupportWidthUnits, kSupportHeightUnits));
}

void CSupportDlg::Prepare(std::int32_t serialNumber, const std::string& logFolder,
                          const std::string& logPath) {
  pieces_.clear();
  for (std::string& piece : SupportTextPieces(kSupportAddress, logFolder)) {
    AddTextPiece(std::move(piece));
  }
  SetRecipient(kSupportAddress);
  std::vector<std::string> attachments{logPath};
  const std::string history = platform::JoinPath(logFolder, kHistoryFileName);
  if (platform::PathExists(history)) attachments.push_back(history);
  SetAttachments(attachments);
  logPath_->setText(QString::fromStdString(logPath));
  logPath_->setCursorPosition(0);
  SetSubject(SupportSubject(serialNumber));
  SetBody(SupportBody(serialNumber));
}

void CSupportDlg::showEvent(QShowEvent* event) {
  if (!listFilled_) FillList();
  QDialog::showEvent(event);
}

void CSupportDlg::FillList() {
  listFilled_ = true;
  list_->ClearList();
  for (const std::string& piece : pieces_) list_->AppendListText(piece);
}

bool CSupportDlg::SendSupportMail() {
  std::vector<std::string> failures;
#ifdef _WIN32
  // Windows desktops take the mail through Simple MAPI; its boxes come after the hand-off.
  {
    const platform::MapiLibrary mapi;
    BlockInput(true);
    platform::SendMailThroughMapi(
        mapi.Functions(), 0, {attachments_, recipient_, subject_, body_},
        [&failures](const std::string& text) { failures.push_back(text); });
    BlockInput(false);
  }
#else
  // Elsewhere the desktop's mail program takes it through xdg-email.
  BlockInput(true);
  CMailMan mailer([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  const std::vector<platform::MailResult> results =
      mailer.SendMail(attachments_, recipient_, subject_, body_);
  BlockInput(false);
  for (const platform::MailResult& result : results) {
    const std::string text = MailFailureText(result);
    if (!text.empty()) failures.push_back(text);
  }
#endif
  for (const std::string& text : failures) {
    ShowBox(this, QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
            QString::fromStdString(text));
  }
  if (!failures.empty()) logPath_->selectAll();
  return failures.empty();
}

void CSupportDlg::BlockInput(bool block) {
  QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  if (owner != nullptr) owner->setEnabled(!block);
  setEnabled(!block);
  if (!block) {
    activateWindow();
    setFocus();
  }
}

}  // namespace tarvo::ui
