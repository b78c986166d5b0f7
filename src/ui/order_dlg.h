// "Define Programming Order ...": the user moves device names from the available list into
// the ordered list and adds reboot and wait steps; "Done" writes the order's step codes.
#pragma once

#include <QDialog>
#include <cstddef>
#include <string>
#include <vector>

#include "firmware/firmware_packet.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvo::ui {

class COrderDlg : public QDialog {
  Q_OBJECT

 public:
  // Results of exec().
  static constexpr int kDoneResult = 1;
  static constexpr int kCancelResult = -1;  // "Cancel", Escape, or "Done" without a target

  // target may be null; capacity is the number of steps it holds.
  COrderDlg(ProgramOrder* target, std::size_t capacity, QWidget* parent = nullptr);

  QListWidget* AvailableList() const { return available_; }
  QListWidget* OrderedList() const { return ordered_; }
  QLineEdit* WaitField() const { return waitField_; }
  QPushButton* MoveInButton() const { return moveIn_; }
  QPushButton* MoveOutButton() const { return moveOut_; }
  QPushButton* AddRebootButton() const { return addReboot_; }
  QPushButton* AddWaitButton() const { return addWait_; }
  QPushButton* DoneButton() const { return done_; }
  QPushButton* CancelButton() const { return cancel_; }

  std::vector<std::string> OrderedTexts() const;

 public slots:
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnMoveIn();
  void OnMoveOut();
  void OnAddReboot();
  void OnAddWait();
  void OnDone();
  void OnCancel();

  ProgramOrder* target_;
  std::size_t capacity_;
  QListWidget* available_;
  QListWidget* ordered_;
  QLineEdit* waitField_;
  QPushButton* moveIn_;
  QPushButton* moveOut_;
  QPushButton* addReboot_;
  QPushButton* addWait_;
  QPushButton* done_;
  QPushButton* cancel_;
};

}  // namespace tarvo::ui
