#include "support/engine/fake_window.h"

#include <fstream>

namespace tarvo::test {

namespace {

template <typename Answer>
Answer NextAnswer(std::deque<Answer>& script, Answer unscripted) {
  if (script.empty()) return unscripted;
  Answer answer = script.front();
  script.pop_front();
  return answer;
}

}  // namespace

// A click dispatched from the queue runs inside the pump, but not inside itself again.
void FakeWindow::PumpMessages() {
  ++pumpCount_;
  if (onPump_ && !inPump_) {
    inPump_ = true;
    onPump_();
    inPump_ = false;
  }
}

void FakeWindow::SetStatusText(const std::string& text) {
  status_ = text;
  statusLines_.push_back(text);
}

// Checking one of the interface radio buttons clears the other two.
void FakeWindow::SetControlChecked(CommandControl control, bool checked) {
  const bool radio = control == CommandControl::kUsb2 || control == CommandControl::kUsb3 ||
                     control == CommandControl::kGige;
  if (radio && checked) {
    for (CommandControl other :
         {CommandControl::kUsb2, CommandControl::kUsb3, CommandControl::kGige}) {
      controls_[Index(other)].checked = false;
    }
  }
  controls_[Index(control)].checked = checked;
}

void FakeWindow::SetDeviceProgressPosition(DeviceIndex device, int percent) {
  positions_[device].push_back(percent);
}

bool FakeWindow::AskYesNo(const std::string& text) {
  questions_.push_back(text);
  return NextAnswer(yesNoAnswers_, false);
}

std::optional<std::string> FakeWindow::OpenFileDialog(const std::string&,
                                                      const std::string& filter) {
  dialogFilters_.push_back(filter);
  return NextAnswer<std::optional<std::string>>(openAnswers_, std::nullopt);
}

std::optional<std::string> FakeWindow::SaveFileDialog(const std::string&,
                                                      const std::string& filter) {
  dialogFilters_.push_back(filter);
  return NextAnswer<std::optional<std::string>>(saveAnswers_, std::nullopt);
}

std::vector<std::string> FakeWindow::BoxTexts() const {
  std::vector<std::string> texts;
  for (const ShownMessageBox& box : messageBoxes_) texts.push_back(box.text);
  return texts;
}

std::vector<std::string> FakeWindow::StatusLinesStartingWith(const std::string& prefix) const {
  std::vector<std::string> lines;
  for (const std::string& line : statusLines_) {
    if (line.starts_with(prefix)) lines.push_back(line);
  }
  return lines;
}

void FakeWindow::ClearRecords() {
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
