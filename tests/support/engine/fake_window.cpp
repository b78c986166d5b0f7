#include "support/engine/fake_window.h"

#include <fstream>

#include "log/format_text.h"

namespace tarvo::test {

namespace {

constexpr const char* kControlNames[kCommandControlCount] = {
    "Connect", "Load File", "Backup",  "Program", "Verify", "Packet",
    "Support", "Quit",      "USB 2.0", "USB 3.0", "GigE",   "Skip Backup",
};

unsigned Index(CommandControl control) {
  return static_cast<unsigned>(control);
}

bool IsRadioButton(CommandControl control) {
  return control == CommandControl::kUsb2 || control == CommandControl::kUsb3 ||
         control == CommandControl::kGige;
}

std::string Colour(ProgressColour colour) {
  return FormatText("(%d,%d,%d)", colour.red, colour.green, colour.blue);
}

}  // namespace

const char* CommandControlName(CommandControl control) {
  return kControlNames[Index(control)];
}

void FakeWindow::Record(std::string call) {
  calls_.push_back(std::move(call));
}

// A click dispatched from the queue runs inside the pump, but not inside itself again.
void FakeWindow::PumpMessages() {
  ++pumpCount_;
  Record("PumpMessages");
  if (onPump_ && !inPump_) {
    inPump_ = true;
    onPump_();
    inPump_ = false;
  }
}

void FakeWindow::SetWindowTitle(const std::string& title) {
  title_ = title;
  Record("SetWindowTitle: " + title);
}

void FakeWindow::SetStatusText(const std::string& text) {
  status_ = text;
  statusLines_.push_back(text);
  Record("SetStatusText: " + text);
}

void FakeWindow::SetCameraVersionText(DeviceIndex device, const std::string& text) {
  rows_[device].cameraText = text;
  Record(FormatText("SetCameraVersionText %u: %s", device, text.c_str()));
}

void FakeWindow::SetPacketVersionText(DeviceIndex device, const std::string& text) {
  rows_[device].packetText = text;
  Record(FormatText("SetPacketVersionText %u: %s", device, text.c_str()));
}

void FakeWindow::SetDeviceChecked(DeviceIndex device, bool checked) {
  rows_[device].checked = checked;
  Record(FormatText("SetDeviceChecked %u: %d", device, checked));
}

void FakeWindow::EnableDevice(DeviceIndex device, bool enabled) {
  rows_[device].enabled = enabled;
  Record(FormatText("EnableDevice %u: %d", device, enabled));
}

bool FakeWindow::IsControlEnabled(CommandControl control) const {
  return controls_[Index(control)].enabled;
}

void FakeWindow::EnableControl(CommandControl control, bool enabled) {
  controls_[Index(control)].enabled = enabled;
  Record(FormatText("EnableControl %s: %d", CommandControlName(control), enabled));
}

void FakeWindow::ShowControl(CommandControl control, bool visible) {
  controls_[Index(control)].visible = visible;
  Record(FormatText("ShowControl %s: %d", CommandControlName(control), visible));
}

bool FakeWindow::IsControlChecked(CommandControl control) const {
  return controls_[Index(control)].checked;
}

void FakeWindow::SetControlChecked(CommandControl control, bool checked) {
  if (IsRadioButton(control) && checked) {
    for (CommandControl radio :
         {CommandControl::kUsb2, CommandControl::kUsb3, CommandControl::kGige}) {
      controls_[Index(radio)].checked = false;
    }
  }
  controls_[Index(control)].checked = checked;
  Record(FormatText("SetControlChecked %s: %d", CommandControlName(control), checked));
}

void FakeWindow::ShowDeviceProgress(DeviceIndex device, bool visible) {
  rows_[device].progressVisible = visible;
  Record(FormatText("ShowDeviceProgress %u: %d", device, visible));
}

void FakeWindow::SetDeviceProgressColours(DeviceIndex device, ProgressColour bar,
                                          ProgressColour background) {
  rows_[device].progressBar = bar;
  rows_[device].progressBackground = background;
  Record(FormatText("SetDeviceProgressColours %u: %s %s", device, Colour(bar).c_str(),
                    Colour(background).c_str()));
}

void FakeWindow::SetDeviceProgressPosition(DeviceIndex device, int percent) {
  rows_[device].progressPosition = percent;
  positions_[device].push_back(percent);
  Record(FormatText("SetDeviceProgressPosition %u: %d", device, percent));
}

void FakeWindow::ShowMessageBox(const std::string& text, const std::string& title,
                                MessageIcon icon) {
  messageBoxes_.push_back({text, title, icon});
  Record(FormatText("ShowMessageBox %s: %s", icon == MessageIcon::kError ? "error" : "information",
                    text.c_str()));
}

bool FakeWindow::AskYesNo(const std::string& text) {
  questions_.push_back(text);
  bool answer = false;
  if (!yesNoAnswers_.empty()) {
    answer = yesNoAnswers_.front();
    yesNoAnswers_.pop_front();
  }
  Record(FormatText("AskYesNo: %s -> %s", text.c_str(), answer ? "yes" : "no"));
  return answer;
}

std::optional<std::string> FakeWindow::OpenFileDialog(const std::string& title,
                                                      const std::string& filter) {
  dialogFilters_.push_back(filter);
  std::optional<std::string> answer;
  if (!openAnswers_.empty()) {
    answer = openAnswers_.front();
    openAnswers_.pop_front();
  }
  Record("OpenFileDialog " + title + ": " + filter + " -> " + answer.value_or("(cancel)"));
  return answer;
}

std::optional<std::string> FakeWindow::SaveFileDialog(const std::string& title,
                                                      const std::string& filter) {
  dialogFilters_.push_back(filter);
  std::optional<std::string> answer;
  if (!saveAnswers_.empty()) {
    answer = saveAnswers_.front();
    saveAnswers_.pop_front();
  }
  Record("SaveFileDialog " + title + ": " + filter + " -> " + answer.value_or("(cancel)"));
  return answer;
}

const ControlState& FakeWindow::Control(CommandControl control) const {
  return controls_[Index(control)];
}

std::vector<std::string> FakeWindow::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> matching;
  for (const std::string& call : calls_) {
    if (call.rfind(prefix, 0) == 0) matching.push_back(call);
  }
  return matching;
}

std::vector<int> FakeWindow::ProgressPositions(DeviceIndex device) const {
  return positions_[device];
}

void FakeWindow::ClearRecords() {
  calls_.clear();
  statusLines_.clear();
  messageBoxes_.clear();
  questions_.clear();
  dialogFilters_.clear();
  for (auto& positions : positions_) positions.clear();
  pumpCount_ = 0;
}

// A line is "hh:mm:ss.mmm " + text + CR LF; the seal after the last line has no line end.
std::vector<std::string> LogLineTexts(const std::string& logPath) {
  std::ifstream in(logPath, std::ios::binary);
  std::vector<std::string> texts;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line.back() != '\r') continue;  // the seal
    line.pop_back();
    constexpr std::size_t kStampLength = 13;
    texts.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : line);
  }
  return texts;
}

}  // namespace tarvo::test
