// The window operations the engine drives. An action's worker thread reaches the widgets only
// through OnWindowThread, which carries each call over to the window's thread and waits for it.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>

#include "ui/programmer_window.h"
#include "ui/support_texts.h"
#include "ui/window_dialogs.h"

namespace tarvo::ui {
namespace {

QString RgbText(ProgressColour colour) {
  return QStringLiteral("rgb(%1, %2, %3)").arg(colour.red).arg(colour.green).arg(colour.blue);
}

}  // namespace

// On the window's thread the waiting events are dispatched, as the engine expects. A worker
// thread has nothing to dispatch: the window's thread paints and answers on its own.
void ProgrammerWindow::PumpMessages() {
  if (QThread::currentThread() == thread()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ProgrammerWindow::SetWindowTitle(const std::string& title) {
  OnWindowThread([&] { setWindowTitle(Text(title)); });
}

void ProgrammerWindow::SetStatusText(const std::string& text) {
  OnWindowThread([&] { status_->setText(Text(text)); });
}

void ProgrammerWindow::SetCameraVersionText(DeviceIndex device, const std::string& text) {
  if (IsDeviceIndex(device)) OnWindowThread([&] { rows_[device].current->setText(Text(text)); });
}

void ProgrammerWindow::SetPacketVersionText(DeviceIndex device, const std::string& text) {
  if (IsDeviceIndex(device)) OnWindowThread([&] { rows_[device].loaded->setText(Text(text)); });
}

bool ProgrammerWindow::IsDeviceChecked(DeviceIndex device) const {
  return IsDeviceIndex(device) && OnWindowThread([&] { return rows_[device].check->isChecked(); });
}

void ProgrammerWindow::SetDeviceChecked(DeviceIndex device, bool checked) {
  if (IsDeviceIndex(device)) OnWindowThread([&] { rows_[device].check->setChecked(checked); });
}

bool ProgrammerWindow::IsDeviceEnabled(DeviceIndex device) const {
  return IsDeviceIndex(device) &&
         OnWindowThread([&] { return rows_[device].check->isEnabledTo(this); });
}

void ProgrammerWindow::EnableDevice(DeviceIndex device, bool enabled) {
  if (IsDeviceIndex(device)) OnWindowThread([&] { rows_[device].check->setEnabled(enabled); });
}

bool ProgrammerWindow::IsControlEnabled(CommandControl control) const {
  return OnWindowThread([&] { return Control(control)->isEnabledTo(this); });
}

void ProgrammerWindow::EnableControl(CommandControl control, bool enabled) {
  OnWindowThread([&] { Control(control)->setEnabled(enabled); });
}

void ProgrammerWindow::ShowControl(CommandControl control, bool visible) {
  OnWindowThread([&] { Control(control)->setVisible(visible); });
}

bool ProgrammerWindow::IsControlChecked(CommandControl control) const {
  return OnWindowThread([&] { return Control(control)->isChecked(); });
}

void ProgrammerWindow::SetControlChecked(CommandControl control, bool checked) {
  // The radio buttons form one exclusive group: checking one clears the others.
  OnWindowThread([&] { Control(control)->setChecked(checked); });
}

void ProgrammerWindow::ShowDeviceProgress(DeviceIndex device, bool visible) {
  if (IsDeviceIndex(device)) OnWindowThread([&] { rows_[device].progress->setVisible(visible); });
}

void ProgrammerWindow::SetDeviceProgressColours(DeviceIndex device, ProgressColour bar,
                                                ProgressColour background) {
  if (!IsDeviceIndex(device)) return;
  OnWindowThread([&] {
    QProgressBar* progress = rows_[device].progress;
    progress->setTextVisible(false);
    progress->setToolTip(QString());
    progress->setStyleSheet(
        QStringLiteral("QProgressBar { border: 1px solid rgb(128, 128, 128); border-radius: 2px; "
                       "background-color: %1; }"
                       "QProgressBar::chunk { background-color: %2; }")
            .arg(RgbText(background), RgbText(bar)));
  });
}

// The engine moves a bar once per block; only a changed percentage goes to the window.
void ProgrammerWindow::SetDeviceProgressPosition(DeviceIndex device, int percent) {
  if (!IsDeviceIndex(device) || shownPosition_[device] == percent) return;
  shownPosition_[device] = percent;
  OnWindowThread([&] { rows_[device].progress->setValue(percent); });
}

void ProgrammerWindow::ShowMessageBox(const std::string& text, const std::string& title,
                                      MessageIcon icon) {
  OnWindowThread([&] {
    ShowBox(this, icon == MessageIcon::kError ? QMessageBox::Critical : QMessageBox::Information,
            Text(title), Text(text));
  });
}

// Every question the engine asks guards a step that changes the camera: Enter answers No.
bool ProgrammerWindow::AskYesNo(const std::string& text) {
  return OnWindowThread([&] {
    return ShowBox(this, QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), Text(text),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  });
}

std::optional<std::string> ProgrammerWindow::OpenFileDialog(const std::string& title,
                                                            const std::string& filter) {
  return OnWindowThread([&] { return RunFileDialog(title, filter, false); });
}

std::optional<std::string> ProgrammerWindow::SaveFileDialog(const std::string& title,
                                                            const std::string& filter) {
  return OnWindowThread([&] { return RunFileDialog(title, filter, true); });
}

std::optional<std::string> ProgrammerWindow::RunFileDialog(const std::string& title,
                                                           const std::string& filter, bool save) {
  std::string& folder = filter == kPacketFileFilter ? packetFolder_ : imageFolder_;
  std::optional<std::string> path = ui::RunFileDialog(this, title, filter, save, folder);
  if (path) folder = FolderOf(*path);
  return path;
}

}  // namespace tarvo::ui
