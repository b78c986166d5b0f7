// The programmer's main window. It draws the device rows, buttons and status line and hands
// every button to the window object CProgrammerDlg, which holds the state and the engine
// operations and drives this window back through WindowPort.
//
// A button's engine action runs on a worker thread, one action at a time, while the window's
// thread goes on painting and answering the user: an erase may block its telegram for up to
// 100 s. Every WindowPort call the action makes is carried over to the window's thread, and the
// action waits for it there, so the engine still sees one window that does one thing at a time
// and the engine's state is only ever touched by one thread. A close request during an action
// never cuts it short; the user is asked whether the window should close when it has ended.
#pragma once

#include <QDialog>
#include <QMetaObject>
#include <QThread>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>

#include "engine/window_port.h"
#include "firmware/device_catalogue.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QAbstractButton;

namespace tarvo {
class CProgrammerDlg;
}

namespace tarvo::ui {

class ProgrammerWindow : public QDialog, public WindowPort {
  Q_OBJECT

 public:
  explicit ProgrammerWindow(QWidget* parent = nullptr);
  ~ProgrammerWindow() override;

  // The window object whose actions the buttons call; set before the window start.
  void Attach(CProgrammerDlg& programmer);

  // WindowPort. Callable from the window's thread and from an action's worker thread.
  void PumpMessages() override;
  void SetWindowTitle(const std::string& title) override;
  void SetStatusText(const std::string& text) override;
  void SetCameraVersionText(DeviceIndex device, const std::string& text) override;
  void SetPacketVersionText(DeviceIndex device, const std::string& text) override;
  bool IsDeviceChecked(DeviceIndex device) const override;
  void SetDeviceChecked(DeviceIndex device, bool checked) override;
  bool IsDeviceEnabled(DeviceIndex device) const override;
  void EnableDevice(DeviceIndex device, bool enabled) override;
  bool IsControlEnabled(CommandControl control) const override;
  void EnableControl(CommandControl control, bool enabled) override;
  void ShowControl(CommandControl control, bool visible) override;
  bool IsControlChecked(CommandControl control) const override;
  void SetControlChecked(CommandControl control, bool checked) override;
  void ShowDeviceProgress(DeviceIndex device, bool visible) override;
  void SetDeviceProgressColours(DeviceIndex device, ProgressColour bar,
                                ProgressColour background) override;
  void SetDeviceProgressPosition(DeviceIndex device, int percent) override;
  void ShowMessageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
  bool AskYesNo(const std::string& text) override;
  std::optional<std::string> OpenFileDialog(const std::string& title,
                                            const std::string& filter) override;
  std::optional<std::string> SaveFileDialog(const std::string& title,
                                            const std::string& filter) override;

  // The controls, for tests and screenshots.
  QAbstractButton* Control(CommandControl control) const;
  QCheckBox* DeviceCheckBox(DeviceIndex device) const { return rows_[device].check; }
  QLabel* CameraVersionLabel(DeviceIndex device) const { return rows_[device].current; }
  QLabel* PacketVersionLabel(DeviceIndex device) const { return rows_[device].loaded; }
  QProgressBar* DeviceProgressBar(DeviceIndex device) const { return rows_[device].progress; }
  QLabel* StatusLabel() const { return status_; }
  QLabel* RunPicture() const { return runPicture_; }
  // True while a button's action runs.
  bool Busy() const { return running_; }

 public slots:
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct DeviceRow {
    QCheckBox* check = nullptr;
    QLabel* current = nullptr;
    QLabel* loaded = nullptr;
    QProgressBar* progress = nullptr;
  };

  void BuildControls();
  QLayout* BuildDeviceGrid();
  QLayout* BuildButtonColumn();
  QLayout* BuildPictureRow();
  void SetTabOrder();
  void ConnectButtons();

  // Runs a WindowPort operation on the window's thread: at once when called there, otherwise
  // queued to it while the calling thread waits for its end.
  template <typename Operation>
  auto OnWindowThread(Operation operation) const -> decltype(operation());

  // Runs one button's engine action on a worker thread and returns when it has ended; the
  // window's events are dispatched meanwhile. A click while an action runs starts nothing.
  // A run (Program, Verify, Backup, packet generation) shows the neutral picture while it goes.
  void RunAction(const std::function<void()>& action, bool isRun);
  // After a run: the picture, the "not verified" bars and the folder of a backup, from the
  // engine's run report.
  void ShowRunOutcome();
  // A close request: at once when idle; during an action the user is asked whether the window
  // should close when the action has ended (default: keep it open).
  void RequestClose();
  void OnPacket();
  void OnSupport();
  void OnQuit();

  // File dialogs start in the last folder used: one for packets (the log folder after a
  // backup, where the backups go), one for device images.
  std::optional<std::string> RunFileDialog(const std::string& title, const std::string& filter,
                                           bool save);

  CProgrammerDlg* programmer_ = nullptr;
  std::array<DeviceRow, kDeviceCount> rows_{};
  // The last position handed to each bar; the engine sets it once per block.
  std::array<int, kDeviceCount> shownPosition_{};
  QPushButton* connect_;
  QPushButton* loadFile_;
  QPushButton* backup_;
  QPushButton* program_;
  QPushButton* verify_;
  QPushButton* packet_;
  QPushButton* support_;
  QPushButton* quit_;
  QRadioButton* usb2_;
  QRadioButton* usb3_;
  QRadioButton* gige_;
  QButtonGroup* interfaces_;
  QCheckBox* skipBackup_;
  QLabel* status_;
  QLabel* runPicture_ = nullptr;
  std::string packetFolder_;
  std::string imageFolder_;
  bool running_ = false;
  bool askingToClose_ = false;
  bool closeRequested_ = false;
};

template <typename Operation>
auto ProgrammerWindow::OnWindowThread(Operation operation) const -> decltype(operation()) {
  if (QThread::currentThread() == thread()) return operation();
  auto* self = const_cast<ProgrammerWindow*>(this);
  if constexpr (std::is_void_v<decltype(operation())>) {
    QMetaObject::invokeMethod(self, operation, Qt::BlockingQueuedConnection);
  } else {
    decltype(operation()) result{};
    QMetaObject::invokeMethod(
        self, [&result, &operation] { result = operation(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

}  // namespace tarvo::ui
