// The buttons' actions: one at a time, the engine's part on a worker thread, and what the
// window shows of their outcome afterwards.
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <thread>

#include "engine/programmer_dlg.h"
#include "platform/folders.h"
#include "ui/decor_pictures.h"
#include "ui/order_dlg.h"
#include "ui/programmer_window.h"
#include "ui/support_dlg.h"
#include "ui/support_texts.h"
#include "ui/window_dialogs.h"

namespace tarvo::ui {
namespace {

constexpr const char* kCloseAfterRunQuestion =
    "An operation is running and goes on until it has ended.\n"
    "Close the window when it has ended?";

// Power uP cannot be read back: after a verify its bar says so instead of looking queued.
void ShowNotVerified(QProgressBar* bar) {
  bar->setStyleSheet(QStringLiteral(
      "QProgressBar { border: 1px solid rgb(170, 174, 180); border-radius: 2px; "
      "background-color: rgb(236, 238, 241); color: rgb(90, 94, 102); text-align: center; }"
      "QProgressBar::chunk { background-color: transparent; }"));
  bar->setValue(0);
  bar->setFormat(QStringLiteral("not verified"));
  bar->setTextVisible(true);
  bar->setToolTip(QStringLiteral("This device cannot be read back; it was not compared."));
  bar->show();
}

// A run the user cancelled neither succeeded nor failed.
RunPictureState PictureOf(const RunReport& run) {
  if (run.kind == RunKind::kNone || !run.finished || run.HasFailure(RunFailure::kCancelled)) {
    return RunPictureState::kNeutral;
  }
  return run.succeeded ? RunPictureState::kSuccess : RunPictureState::kFailure;
}

}  // namespace

void ProgrammerWindow::Attach(CProgrammerDlg& programmer) {
  programmer_ = &programmer;
  if (programmer.EmergencyMode()) {
    skipBackup_->setToolTip(
        QStringLiteral("Emergency mode: programming never makes a backup first."));
  }
}

// The worker runs the engine; this thread dispatches events until it has ended. The engine's
// window calls wait on this thread, so nothing of the engine runs on two threads at once.
void ProgrammerWindow::RunAction(const std::function<void()>& action, bool isRun) {
  if (programmer_ == nullptr || running_) return;
  running_ = true;
  setCursor(Qt::BusyCursor);
  if (isRun) runPicture_->setPixmap(DecorPicture(kRunPictureIndex, devicePixelRatioF()));
  std::thread worker([&] {
    action();
    QMetaObject::invokeMethod(
        this, [this] { running_ = false; }, Qt::QueuedConnection);
  });
  // Not an event loop of its own: a request to leave every loop (the application quitting)
  // must not end the waiting while the worker may still need this thread.
  while (running_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  worker.join();
  unsetCursor();
  if (isRun) ShowRunOutcome();
  if (closeRequested_) {
    closeRequested_ = false;
    QDialog::reject();
  }
}

// Outcomes come from the engine's run report, never from what the window shows. A backup
// makes the log folder, where it went, the folder the next packet dialog starts in.
void ProgrammerWindow::ShowRunOutcome() {
  const RunReport& run = programmer_->LastRun();
  if (!run.backup.file.empty()) packetFolder_ = FolderOf(run.backup.file);
  runPicture_->setPixmap(DecorPicture(kRunPictureIndex, devicePixelRatioF(), PictureOf(run)));
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (run.devices[device].outcome != DeviceOutcome::kNotVerifiable) continue;
    shownPosition_[device] = 0;
    ShowNotVerified(rows_[device].progress);
  }
}

void ProgrammerWindow::RequestClose() {
  if (!running_) {
    QDialog::reject();
    return;
  }
  if (askingToClose_ || closeRequested_) return;
  askingToClose_ = true;
  const bool close =
      ShowBox(this, QMessageBox::Question, QString::fromLatin1(kApplicationTitle),
              QString::fromLatin1(kCloseAfterRunQuestion), QMessageBox::Yes | QMessageBox::No,
              QMessageBox::No) == QMessageBox::Yes;
  askingToClose_ = false;
  if (!close) return;
  // The operation may have ended while the question was open.
  if (running_) {
    closeRequested_ = true;
  } else {
    QDialog::reject();
  }
}

// The order dialog runs here, on the window's thread; generation then runs like any action.
void ProgrammerWindow::OnPacket() {
  if (programmer_ == nullptr || running_) return;
  COrderDlg order(&programmer_->Order(), PROGRAM_ORDER_STEPS, this);
  if (order.exec() != COrderDlg::kDoneResult) return;
  RunAction([this] { static_cast<void>(programmer_->GeneratePacket()); }, true);
}

void ProgrammerWindow::OnSupport() {
  if (programmer_ == nullptr || running_) return;
  CSupportDlg support(this);
  support.Prepare(programmer_->Camera().serialNumber, programmer_->LogFolder(),
                  platform::JoinPath(programmer_->LogFolder(), kLogFileName));
  support.exec();
}

void ProgrammerWindow::OnQuit() {
  if (running_) {
    RequestClose();
    return;
  }
  accept();
}

// Escape and the window manager's close end the idle window like Quit.
void ProgrammerWindow::reject() {
  RequestClose();
}

void ProgrammerWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  RequestClose();
}

}  // namespace tarvo::ui
