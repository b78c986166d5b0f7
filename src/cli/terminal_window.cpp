#include "cli/terminal_window.h"

#include <cctype>
#include <iostream>

#include "log/format_text.h"
#include "platform/terminal.h"

namespace tarvo::cli {

namespace {

constexpr int kBarWidth = 30;
// Moves to the start of the line and clears it.
constexpr const char* kClearLine = "\r\033[K";
// Moves to the start of the line above and clears it.
constexpr const char* kLineUp = "\033[A\r\033[K";

// The engine tells a bar's state by its colours, as the window paints it.
constexpr ProgressColour kRunningBar{0, 0, 255};
constexpr ProgressColour kDoneBar{0, 255, 0};
constexpr ProgressColour kFailedBar{255, 0, 0};

std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    line += c == '\n' ? ' ' : c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

std::string WithoutDigits(const std::string& text) {
  std::string shape;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) shape += c;
  }
  return shape;
}

bool IsYes(std::string answer) {
  for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.back()))) {
    answer.pop_back();
  }
  return answer == "y" || answer == "yes";
}

}  // namespace

TerminalOptions TerminalOptionsForProcess(bool answerYes, bool jsonOnStdout) {
  TerminalOptions options;
  options.answerYes = answerYes;
  const bool errorIsTerminal = platform::IsTerminal(platform::StandardStream::kError);
  options.askQuestions = errorIsTerminal && platform::IsTerminal(platform::StandardStream::kInput);
  options.drawProgress = errorIsTerminal;
  if (jsonOnStdout) options.results = stderr;
  return options;
}

std::string ResultBoxLine(const std::string& text) {
  return "Operation Status: " + OneLine(text);
}

TerminalWindow::TerminalWindow(TerminalOptions options) : options_(options) {}

void TerminalWindow::SetStatusText(const std::string& text) {
  status_ = text;
  if (!printStatus_) return;
  const std::string line = OneLine(text);
  ClearBar();
  // A countdown on a terminal counts down in one line: a status line that differs from the one
  // just printed only in its numbers replaces it.
  const std::string shape = WithoutDigits(line);
  if (options_.drawProgress && shape == lastStatusShape_) std::fputs(kLineUp, options_.status);
  std::fprintf(options_.status, "%s\n", line.c_str());
  lastStatusShape_ = shape;
  DrawBar();
  std::fflush(options_.status);
}

void TerminalWindow::SetCameraVersionText(DeviceIndex device, const std::string& text) {
  rows_[device].camera = text;
}

void TerminalWindow::SetPacketVersionText(DeviceIndex device, const std::string& text) {
  rows_[device].packet = text;
}

void TerminalWindow::SetDeviceChecked(DeviceIndex device, bool checked) {
  rows_[device].checked = checked;
}

void TerminalWindow::EnableDevice(DeviceIndex device, bool enabled) {
  rows_[device].enabled = enabled;
}

bool TerminalWindow::IsControlEnabled(CommandControl control) const {
  return controls_[static_cast<unsigned>(control)].enabled;
}

void TerminalWindow::EnableControl(CommandControl control, bool enabled) {
  controls_[static_cast<unsigned>(control)].enabled = enabled;
}

void TerminalWindow::ShowControl(CommandControl control, bool visible) {
  controls_[static_cast<unsigned>(control)].visible = visible;
}

bool TerminalWindow::IsControlChecked(CommandControl control) const {
  return controls_[static_cast<unsigned>(control)].checked;
}

// The three interface buttons form one group: checking one clears the others.
void TerminalWindow::SetControlChecked(CommandControl control, bool checked) {
  const bool radio = control == CommandControl::kUsb2 || control == CommandControl::kUsb3 ||
                     control == CommandControl::kGige;
  if (radio && checked) {
    for (CommandControl other :
         {CommandControl::kUsb2, CommandControl::kUsb3, CommandControl::kGige}) {
      controls_[static_cast<unsigned>(other)].checked = false;
    }
  }
  controls_[static_cast<unsigned>(control)].checked = checked;
}

void TerminalWindow::ShowDeviceProgress(DeviceIndex device, bool visible) {
  Row& row = rows_[device];
  if (!visible) {
    if (barDevice_ == static_cast<int>(device)) EndBar();
    row.progress = Progress::kHidden;
  } else if (row.progress == Progress::kHidden) {
    row.progress = Progress::kQueued;
  }
}

// A running device gets the bar line; when it ends, done or failed, the bar is taken away and
// the status line that follows tells the outcome.
void TerminalWindow::SetDeviceProgressColours(DeviceIndex device, ProgressColour bar,
                                              ProgressColour) {
  Row& row = rows_[device];
  if (bar == kRunningBar) {
    row.progress = Progress::kRunning;
    row.position = 0;
    EndBar();
    barDevice_ = static_cast<int>(device);
    DrawBar();
    return;
  }
  row.progress = bar == kDoneBar     ? Progress::kDone
                 : bar == kFailedBar ? Progress::kFailed
                                     : Progress::kQueued;
  if (barDevice_ == static_cast<int>(device)) EndBar();
}

void TerminalWindow::SetDeviceProgressPosition(DeviceIndex device, int percent) {
  Row& row = rows_[device];
  const bool changed = row.position != percent;
  row.position = percent;
  if (changed && barDevice_ == static_cast<int>(device)) DrawBar();
}

void TerminalWindow::ShowMessageBox(const std::string& text, const std::string&, MessageIcon icon) {
  resultBoxes_.push_back({text, icon});
  lastStatusShape_.clear();
  ClearBar();
  std::fflush(options_.status);
  std::fprintf(options_.results, "%s\n", ResultBoxLine(text).c_str());
  std::fflush(options_.results);
  DrawBar();
}

bool TerminalWindow::AskYesNo(const std::string& text) {
  lastStatusShape_.clear();
  ClearBar();
  const std::string question = OneLine(text);
  bool answer = false;
  if (options_.answerYes) {
    std::fprintf(options_.status, "%s yes (--yes)\n", question.c_str());
    answer = true;
  } else if (options_.askQuestions) {
    std::fprintf(options_.status, "%s [y/N] ", question.c_str());
    std::fflush(options_.status);
    std::istream& in = options_.answers != nullptr ? *options_.answers : std::cin;
    std::string line;
    answer = static_cast<bool>(std::getline(in, line)) && IsYes(line);
  } else {
    std::fprintf(options_.status, "%s no (not asked without a terminal; --yes answers yes)\n",
                 question.c_str());
  }
  DrawBar();
  std::fflush(options_.status);
  return answer;
}

std::optional<std::string> TerminalWindow::OpenFileDialog(const std::string&, const std::string&) {
  return std::nullopt;
}

std::optional<std::string> TerminalWindow::SaveFileDialog(const std::string&, const std::string&) {
  return std::nullopt;
}

void TerminalWindow::DrawBar() {
  if (!options_.drawProgress || barDevice_ < 0) return;
  const Row& row = rows_[static_cast<DeviceIndex>(barDevice_)];
  const int percent = row.position < 0 ? 0 : row.position > 100 ? 100 : row.position;
  const int filled = percent * kBarWidth / 100;
  const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                          std::string(static_cast<std::size_t>(kBarWidth - filled), '.');
  std::fprintf(options_.status, "%s%-10s [%s] %3d%%", kClearLine,
               DeviceDisplayName(static_cast<DeviceIndex>(barDevice_)), bar.c_str(), percent);
  std::fflush(options_.status);
}

// Takes the bar off its line, so that the next text starts on a clean line. The bar's device
// stays: DrawBar puts the bar back under that text.
void TerminalWindow::ClearBar() {
  if (!options_.drawProgress || barDevice_ < 0) return;
  std::fputs(kClearLine, options_.status);
}

// The bar's device is done with: the bar goes for good.
void TerminalWindow::EndBar() {
  ClearBar();
  std::fflush(options_.status);
  barDevice_ = -1;
}

}  // namespace tarvo::cli
