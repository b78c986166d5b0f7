// "How to get support in case of problems:": tells where the log lies and whom to write to,
// and prepares the support mail with the log attached in the desktop's mail program. The log's
// path stays at hand (selectable, "Copy path", "Open folder") for sending it by hand.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

namespace tarvo::ui {

class TextListWidget;

class CSupportDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CSupportDlg(QWidget* parent = nullptr);

  // Fills pieces, recipient, attachments, subject and body for a camera's serial number
  // (-1 before any camera was connected) and the log at logPath in logFolder. The service
  // history of the same folder is attached beside the log when it exists.
  void Prepare(std::int32_t serialNumber, const std::string& logFolder, const std::string& logPath);

  void AddTextPiece(std::string piece) { pieces_.push_back(std::move(piece)); }
  void SetRecipient(std::string recipient) { recipient_ = std::move(recipient); }
  void SetAttachments(std::vector<std::string> paths) { attachments_ = std::move(paths); }
  void SetSubject(std::string subject) { subject_ = std::move(subject); }
  void SetBody(std::string body) { body_ = std::move(body); }

  const std::string& Recipient() const { return recipient_; }
  const std::string& Subject() const { return subject_; }
  const std::string& Body() const { return body_; }
  const std::vector<std::string>& Attachments() const { return attachments_; }

  TextListWidget* TextList() const { return list_; }
  QLineEdit* LogPathField() const { return logPath_; }
  QPushButton* CopyPathButton() const { return copyPath_; }
  QPushButton* OpenFolderButton() const { return openFolder_; }
  QPushButton* SendButton() const { return send_; }
  QPushButton* DoneButton() const { return done_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillList();
  // True when the mail reached the mail program (or the user cancelled it there); a failure
  // has been shown, and the dialog stays open so that the log can be sent by hand.
  bool SendSupportMail();
  // Keeps the user's hands off the program's windows while the mail program has the mail.
  void BlockInput(bool block);

  std::vector<std::string> pieces_;
  std::string recipient_;
  std::string subject_;
  std::string body_;
  std::vector<std::string> attachments_;
  bool listFilled_ = false;

  TextListWidget* list_;
  QLineEdit* logPath_;
  QPushButton* copyPath_;
  QPushButton* openFolder_;
  QPushButton* send_;
  QPushButton* done_;
};

}  // namespace tarvo::ui
