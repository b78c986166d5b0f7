#include "ui/order_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/dialog_units.h"
#include "ui/order_steps.h"
#include "ui/support_texts.h"
#include "ui/window_dialogs.h"

namespace tarvo::ui {
namespace {

constexpr int kOrderWidthUnits = 297;
constexpr int kOrderHeightUnits = 217;
constexpr const char* kWaitRefusedText =
    "Please enter the wait time in whole seconds from 0 to 255.";

QListWidget* MakeStepList(QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSortingEnabled(false);
  return list;
}

// Takes the selected item out of the list; empty when nothing is selected.
std::optional<QString> TakeSelected(QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  QListWidgetItem* item = list->takeItem(list->row(selected.front()));
  const QString text = item->text();
  delete item;
  return text;
}

}  // namespace

COrderDlg::COrderDlg(ProgramOrder* target, std::size_t capacity, QWidget* parent)
    : QDialog(parent, kDialogWindowFlags),
      target_(target),
      capacity_(capacity),
      available_(MakeStepList(this)),
      ordered_(MakeStepList(this)),
      waitField_(new QLineEdit(this)),
      moveIn_(new QPushButton(QStringLiteral(">>"), this)),
      moveOut_(new QPushButton(QStringLiteral("<<"), this)),
      addReboot_(new QPushButton(QStringLiteral("Add &Reboot"), this)),
      addWait_(new QPushButton(QStringLiteral("Add &Wait"), this)),
      done_(new QPushButton(QStringLiteral("&Done"), this)),
      cancel_(new QPushButton(QStringLiteral("&Cancel"), this)) {
  setWindowTitle(QStringLiteral("Define Programming Order ..."));
  setObjectName(QStringLiteral("orderDialog"));

  for (const std::string& name : InitialAvailableDevices()) {
    available_->addItem(QString::fromStdString(name));
  }
  waitField_->setPlaceholderText(QStringLiteral("seconds"));
  waitField_->setMaxLength(8);
  waitField_->setToolTip(QStringLiteral("Wait time for \"Add Wait\": 0 to 255 seconds"));

  // The arrows have no letter to underline: Alt with an arrow key moves the entry instead.
  moveIn_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  moveIn_->setToolTip(
      QStringLiteral("Move the selected device into the order (Alt+Right, "
                     "Enter or double-click in the list)"));
  moveOut_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  moveOut_->setToolTip(
      QStringLiteral("Take the selected entry out of the order (Alt+Left, "
                     "Enter or double-click in the list)"));
  // A focused button takes Enter itself; elsewhere Enter presses "Cancel", except in the lists
  // and the wait field, which take it for their own step (see eventFilter).
  cancel_->setDefault(true);
  for (QWidget* widget : std::initializer_list<QWidget*>{available_, ordered_, waitField_}) {
    widget->installEventFilter(this);
  }
  connect(available_, &QListWidget::itemDoubleClicked, this, &COrderDlg::OnMoveIn);
  connect(ordered_, &QListWidget::itemDoubleClicked, this, &COrderDlg::OnMoveOut);
  connect(moveIn_, &QPushButton::clicked, this, &COrderDlg::OnMoveIn);
  connect(moveOut_, &QPushButton::clicked, this, &COrderDlg::OnMoveOut);
  connect(addReboot_, &QPushButton::clicked, this, &COrderDlg::OnAddReboot);
  connect(addWait_, &QPushButton::clicked, this, &COrderDlg::OnAddWait);
  connect(done_, &QPushButton::clicked, this, &COrderDlg::OnDone);
  connect(cancel_, &QPushButton::clicked, this, &COrderDlg::OnCancel);

  const int middleWidth = fontMetrics().horizontalAdvance(QStringLiteral("Add Reboot")) + 16;
  for (QWidget* widget :
       std::initializer_list<QWidget*>{moveIn_, moveOut_, addReboot_, addWait_, waitField_}) {
    widget->setMinimumWidth(middleWidth);
  }
  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  middle->addWidget(moveIn_);
  middle->addWidget(moveOut_);
  middle->addSpacing(12);
  middle->addWidget(addReboot_);
  middle->addWidget(addWait_);
  middle->addWidget(waitField_);
  middle->addStretch(1);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  auto* availableHead = new QLabel(QStringLiteral("Available Devices to Program"), this);
  auto* orderedHead = new QLabel(QStringLiteral("Ordered Program List"), this);
  grid->addWidget(availableHead, 0, 0);
  grid->addWidget(orderedHead, 0, 2);
  // Both lists get the same width.
  const int listWidth =
      std::max(availableHead->sizeHint().width(), orderedHead->sizeHint().width());
  grid->setColumnMinimumWidth(0, listWidth);
  grid->setColumnMinimumWidth(2, listWidth);
  grid->addWidget(available_, 1, 0);
  grid->addLayout(middle, 1, 1);
  grid->addWidget(ordered_, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(done_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setSpacing(12);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);
  setFixedSize(DialogUnitsToPixels(*this, kOrderWidthUnits, kOrderHeightUnits));
}

std::vector<std::string> COrderDlg::OrderedTexts() const {
  std::vector<std::string> texts;
  for (int i = 0; i < ordered_->count(); ++i)
    texts.push_back(ordered_->item(i)->text().toStdString());
  return texts;
}

// Escape is a way out like "Cancel": it never goes on to packet generation.
void COrderDlg::reject() {
  OnCancel();
}

// Enter in the wait field adds the wait, Enter in a list moves its selected entry; neither
// reaches the default button, which would throw the order away.
bool COrderDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);
  if (watched == waitField_) {
    OnAddWait();
  } else if (watched == available_) {
    OnMoveIn();
  } else if (watched == ordered_) {
    OnMoveOut();
  } else {
    return QDialog::eventFilter(watched, event);
  }
  return true;
}

void COrderDlg::OnMoveIn() {
  if (const std::optional<QString> text = TakeSelected(available_)) ordered_->addItem(*text);
}

void COrderDlg::OnMoveOut() {
  const std::optional<QString> text = TakeSelected(ordered_);
  if (!text) return;
  // Reboot and wait steps are simply dropped; a device goes back to the end of the list.
  if (!IsPauseStepText(text->toStdString())) available_->addItem(*text);
}

void COrderDlg::OnAddReboot() {
  ordered_->addItem(QString::fromLatin1(kRebootStepText));
}

void COrderDlg::OnAddWait() {
  const std::optional<int> seconds = ParseWaitSeconds(waitField_->text().toStdString());
  if (!seconds) {
    ShowBox(this, QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
            QString::fromLatin1(kWaitRefusedText));
    waitField_->setFocus();
    waitField_->selectAll();
    return;
  }
  ordered_->addItem(QString::fromStdString(WaitStepText(*seconds)));
}

void COrderDlg::OnDone() {
  if (target_ == nullptr) {
    done(kCancelResult);
    return;
  }
  FillOrder(OrderedTexts(), capacity_, *target_);
  done(kDoneResult);
}

void COrderDlg::OnCancel() {
  if (target_ != nullptr) (*target_)[0] = ORDER_END;
  done(kCancelResult);
}

}  // namespace tarvo::ui
