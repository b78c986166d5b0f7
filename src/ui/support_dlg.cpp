#include "ui/support_dlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/simple_mapi.h"
#include "ui/dialog_units.h"
#include "ui/mail_man.h"
#include "ui/support_texts.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

constexpr int kSupportWidthUnits = 407;
constexpr int kSupportHeightUnits = 334;
constexpr int kSupportFontPoints = 12;

}  // namespace

CSupportDlg::CSupportDlg(QWidget* parent)
    : QDialog(parent, kDialogWindowFlags),
      list_(new TextListWidget(this)),
      send_(new QPushButton(QString::fromLatin1(kSendMailCaption), this)),
      done_(new QPushButton(QString::fromLatin1(kSupportDoneCaption), this)) {
  setWindowTitle(QString::fromLatin1(kSupportTitle));
  setObjectName(QStringLiteral("supportDialog"));
  list_->setFont(ListFont("Verdana", kSupportFontPoints));

  send_->setAutoDefault(false);
  done_->setDefault(true);
  connect(send_, &QPushButton::clicked, this, [this] {
    SendSupportMail();
    accept();
  });
  connect(done_, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(send_);
  buttons->addStretch(1);
  buttons->addWidget(done_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 12, 14, 12);
  layout->setSpacing(12);
  layout->addWidget(list_, 1);
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
  SetAttachment(logPath);
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

void CSupportDlg::SendSupportMail() {
#ifdef _WIN32
  // Windows desktops take the mail through Simple MAPI; its boxes come after the hand-off.
  std::vector<std::string> messages;
  {
    const platform::MapiLibrary mapi;
    BlockInput(true);
    platform::SendMailThroughMapi(
        mapi.Functions(), 0, {{attachment_}, recipient_, subject_, body_},
        [&messages](const std::string& text) { messages.push_back(text); });
    BlockInput(false);
  }
  for (const std::string& text : messages) {
    QMessageBox::information(this, QString::fromLatin1(kApplicationTitle),
                             QString::fromStdString(text));
  }
#else
  // Elsewhere the desktop's mail program takes it through xdg-email.
  BlockInput(true);
  CMailMan mailer([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  const std::vector<platform::MailResult> results =
      mailer.SendMail({attachment_}, recipient_, subject_, body_);
  BlockInput(false);
  for (const platform::MailResult& result : results) {
    const std::string text = MailFailureText(result);
    if (!text.empty()) {
      QMessageBox::warning(this, QString::fromLatin1(kApplicationTitle),
                           QString::fromStdString(text));
    }
  }
#endif
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
