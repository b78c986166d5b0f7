// A scripted stand-in for the main window: it keeps the state a real window would show,
// records the status lines, boxes, questions and progress positions in order, and answers
// message boxes, questions and file dialogs from scripts that the test sets up beforehand.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/window_port.h"

namespace tarvo::test {

struct ShownMessageBox {
  std::string text;
  std::string title;
  MessageIcon icon;
};

struct DeviceRow {
  std::string cameraText;
  std::string packetText;
  bool checked = false;
  bool enabled = false;
  bool progressVisible = false;
  ProgressColour progressBar;
  ProgressColour progressBackground;
};

struct ControlState {
  bool enabled = true;
  bool visible = true;
  bool checked = false;
};

inline constexpr ProgressColour kRed{255, 0, 0};
inline constexpr ProgressColour kGreen{0, 255, 0};

class FakeWindow : public WindowPort {
 public:
  // WindowPort.
  void PumpMessages() override;
  void SetWindowTitle(const std::string& title) override { title_ = title; }
  void SetStatusText(const std::string& text) override;
  void SetCameraVersionText(DeviceIndex device, const std::string& text) override {
    rows_[device].cameraText = text;
  }
  void SetPacketVersionText(DeviceIndex device, const std::string& text) override {
    rows_[device].packetText = text;
  }
  bool IsDeviceChecked(DeviceIndex device) const override { return rows_[device].checked; }
  void SetDeviceChecked(DeviceIndex device, bool checked) override {
    rows_[device].checked = checked;
  }
  bool IsDeviceEnabled(DeviceIndex device) const override { return rows_[device].enabled; }
  void EnableDevice(DeviceIndex device, bool enabled) override { rows_[device].enabled = enabled; }
  bool IsControlEnabled(CommandControl control) const override { return Control(control).enabled; }
  void EnableControl(CommandControl control, bool enabled) override {
    controls_[Index(control)].enabled = enabled;
  }
  void ShowControl(CommandControl control, bool visible) override {
    controls_[Index(control)].visible = visible;
  }
  bool IsControlChecked(CommandControl control) const override { return Control(control).checked; }
  void SetControlChecked(CommandControl control, bool checked) override;
  void ShowDeviceProgress(DeviceIndex device, bool visible) override {
    rows_[device].progressVisible = visible;
  }
  void SetDeviceProgressColours(DeviceIndex device, ProgressColour bar,
                                ProgressColour background) override {
    rows_[device].progressBar = bar;
    rows_[device].progressBackground = background;
  }
  void SetDeviceProgressPosition(DeviceIndex device, int percent) override;
  void ShowMessageBox(const std::string& text, const std::string& title,
                      MessageIcon icon) override {
    messageBoxes_.push_back({text, title, icon});
  }
  bool AskYesNo(const std::string& text) override;
  std::optional<std::string> OpenFileDialog(const std::string& title,
                                            const std::string& filter) override;
  std::optional<std::string> SaveFileDialog(const std::string& title,
                                            const std::string& filter) override;

  // Scripts. Unscripted questions are answered No, unscripted dialogs cancelled.
  void ScriptYesNo(bool answer) { yesNoAnswers_.push_back(answer); }
  void ScriptOpenFile(std::optional<std::string> path) { openAnswers_.push_back(std::move(path)); }
  void ScriptSaveFile(std::optional<std::string> path) { saveAnswers_.push_back(std::move(path)); }
  // Runs at every PumpMessages, as a user's click dispatched from the event queue would.
  void OnPump(std::function<void()> action) { onPump_ = std::move(action); }

  // The user's own moves on the window.
  void SelectInterface(CommandControl radioButton) { SetControlChecked(radioButton, true); }
  void ClickDevice(DeviceIndex device, bool checked) { rows_[device].checked = checked; }

  // What the window shows now.
  const std::string& Title() const { return title_; }
  const std::string& StatusText() const { return status_; }
  const DeviceRow& Row(DeviceIndex device) const { return rows_[device]; }
  const ControlState& Control(CommandControl control) const { return controls_[Index(control)]; }

  // What happened, in order, since the last ClearRecords.
  const std::vector<std::string>& StatusLines() const { return statusLines_; }
  const std::vector<ShownMessageBox>& MessageBoxes() const { return messageBoxes_; }
  std::vector<std::string> BoxTexts() const;
  std::vector<std::string> StatusLinesStartingWith(const std::string& prefix) const;
  const std::vector<std::string>& Questions() const { return questions_; }
  const std::vector<std::string>& DialogFilters() const { return dialogFilters_; }
  int PumpCount() const { return pumpCount_; }
  // Progress positions a device's bar was set to, in order (0..100).
  const std::vector<int>& ProgressPositions(DeviceIndex device) const { return positions_[device]; }
  void ClearRecords();

 private:
  static unsigned Index(CommandControl control) { return static_cast<unsigned>(control); }

  std::string title_;
  std::string status_;
  std::array<DeviceRow, kDeviceCount> rows_{};
  std::array<ControlState, kCommandControlCount> controls_{};
  std::vector<std::string> statusLines_;
  std::vector<ShownMessageBox> messageBoxes_;
  std::vector<std::string> questions_;
  std::vector<std::string> dialogFilters_;
  std::array<std::vector<int>, kDeviceCount> positions_{};
  std::deque<bool> yesNoAnswers_;
  std::deque<std::optional<std::string>> openAnswers_;
  std::deque<std::optional<std::string>> saveAnswers_;
  std::function<void()> onPump_;
  bool inPump_ = false;
  int pumpCount_ = 0;
};

// The texts of a log file's lines without their time stamps and without the seal.
std::vector<std::string> LogLineTexts(const std::string& logPath);

}  // namespace tarvo::test
