// The programmer's main window. It draws the device rows, buttons and status line and hands
// every button to the window object CProgrammerDlg, which holds the state and the engine
// operations and drives this window back through WindowPort.
//
// Everything runs on one thread: a long operation runs inside its button handler and keeps
// the window painted by dispatching events whenever the engine pumps them. A close request
// (Escape, the window manager's close) that arrives meanwhile does not cut the operation
// short; the window closes when the operation has returned.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

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
  void Attach(CProgrammerDlg& programmer) { programmer_ = &programmer; }

  // WindowPort.
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
  // True while a button's operation runs.
  bool Busy() const { return busy_ > 0; }

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
  void ConnectButtons();

  // Runs one button's operation; a close request made meanwhile takes effect afterwards.
  void RunAction(const std::function<void()>& action);
  void OnPacket();
  void OnSupport();
  void OnQuit();

  CProgrammerDlg* programmer_ = nullptr;
  std::array<DeviceRow, kDeviceCount> rows_{};
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
  int busy_ = 0;
  bool closeRequested_ = false;
};

}  // namespace tarvo::ui
