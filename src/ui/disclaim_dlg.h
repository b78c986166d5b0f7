// The note a user must accept before the programmer window opens. "Cancel" is the default
// button, so Enter cancels as Escape does; only "OK, I know!" accepts.
#pragma once

#include <QDialog>
#include <span>

class QPushButton;

namespace tarvo::ui {

class TextListWidget;

class CDisclaimDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CDisclaimDlg(std::span<const char* const> notePieces, QWidget* parent = nullptr);

  TextListWidget* NoteList() const { return list_; }
  QPushButton* AcceptButton() const { return accept_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  TextListWidget* list_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace tarvo::ui
