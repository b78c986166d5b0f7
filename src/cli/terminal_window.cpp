#include "cli/terminal_window.h"

#include <cctype>
#include <iostream>

#include "log/format_text.h"
#include "platform/terminal.h"

namespace tarvo::cli {

namespace {

constexpr int kBarWidth = 30;
// Moves to the start of the line above and clears it.
constexpr const char* kLineUp = "\033[A\r\033[K";
// Moves up one line; clears from the cursor to the end of the screen.
constexpr const char* kUp = "\033[A";
constexpr const char* kClearToEnd = "\r\033[J";
// A footer line longer than the terminal would wrap, and the footer could not be cleared.
constexpr std::size_t kFooterWidth = 79;
// Without a terminal, a countdown prints one of this many of its lines (one per ten seconds).
constexpr int kCountdownLinesPerPrint = 10;
// On a terminal, the overall line's times are brought up to date this often during a wait.
constexpr auto kFooterRefresh = std::chrono::milliseconds(500);

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

TerminalOptions TerminalOptionsForProcess(bool answerYes, bool jsonOnStdout, bool quiet) {
  TerminalOptions options;
  options.answerYes = answerYes;
  options.quiet = quiet;
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
  if (!printStatus_ || options_.quiet) return;
  const Clock::time_point now = Clock::now();
  if (report_ != nullptr && report_->reboots.size() > rebootsSeen_) {
    rebootsSeen_ = report_->reboots.size();
    StepBegan(progress_.RebootStarted(report_->reboots.back().purpose, now));
  }
  StepBegan(progress_.StatusLine(text, now));
  const std::string line = OneLine(text);
  // A countdown on a terminal counts down in one line: a status line that differs from the one
  // just printed only in its numbers replaces it. Elsewhere only every tenth of its lines (one
  // per ten seconds) is printed.
  const std::string shape = WithoutDigits(line);
  const bool repeated = shape == lastStatusShape_;
  lastStatusShape_ = shape;
  if (repeated && !options_.drawProgress && ++unprintedRepeats_ < kCountdownLinesPerPrint) return;
  unprintedRepeats_ = 0;
  ClearFooter();
  if (repeated && options_.drawProgress) std::fputs(kLineUp, options_.status);
  std::fprintf(options_.status, "%s\n", line.c_str());
  DrawFooter();
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
    row.progress = Progress::kHidden;
  } else if (row.progress == Progress::kHidden) {
    row.progress = Progress::kQueued;
  }
}

// The engine tells a bar's state by its colours, as the window paints it.
void TerminalWindow::SetDeviceProgressColours(DeviceIndex device, ProgressColour bar,
                                              ProgressColour) {
  Row& row = rows_[device];
  const Progress before = row.progress;
  row.progress = bar == kRunningBar  ? Progress::kRunning
                 : bar == kDoneBar   ? Progress::kDone
                 : bar == kFailedBar ? Progress::kFailed
                                     : Progress::kQueued;
  if (row.progress == before || options_.quiet) return;
  const Clock::time_point now = Clock::now();
  if (row.progress == Progress::kRunning) {
    row.position = 0;
    StepBegan(progress_.DeviceStarted(device, ReadForBackup(device), now));
  } else if (before == Progress::kRunning) {
    progress_.DeviceEnded(device, now);
  }
  RedrawFooter();
}

void TerminalWindow::SetDeviceProgressPosition(DeviceIndex device, int percent) {
  Row& row = rows_[device];
  const bool changed = row.position != percent;
  row.position = percent;
  if (changed && row.progress == Progress::kRunning) {
    RedrawFooter();
  }
}

void TerminalWindow::ShowMessageBox(const std::string& text, const std::string&, MessageIcon icon) {
  resultBoxes_.push_back({text, icon});
  lastStatusShape_.clear();
  ClearFooter();
  std::fflush(options_.status);
  std::fprintf(options_.results, "%s\n", ResultBoxLine(text).c_str());
  std::fflush(options_.results);
  DrawFooter();
}

bool TerminalWindow::AskYesNo(const std::string& text) {
  lastStatusShape_.clear();
  ClearFooter();
  const std::string question = OneLine(text);
  bool answer = false;
  if (options_.answerYes) {
    if (!options_.quiet) std::fprintf(options_.status, "%s yes (--yes)\n", question.c_str());
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
  DrawFooter();
  std::fflush(options_.status);
  return answer;
}

std::optional<std::string> TerminalWindow::OpenFileDialog(const std::string&, const std::string&) {
  return std::nullopt;
}

std::optional<std::string> TerminalWindow::SaveFileDialog(const std::string&, const std::string&) {
  return std::nullopt;
}

void TerminalWindow::PumpMessages() {
  if (footerLines_ == 0 || Clock::now() - footerDrawn_ < kFooterRefresh) return;
  RedrawFooter();
}

void TerminalWindow::FollowRun(std::vector<ProgressStep> steps, double timeScale,
                               const RunReport& report) {
  report_ = &report;
  rebootsSeen_ = 0;
  progress_.Plan(std::move(steps), timeScale, Clock::now());
}

// The backup lists its devices before it reads them; one not read yet is the one it reads now.
bool TerminalWindow::ReadForBackup(DeviceIndex device) const {
  if (report_ == nullptr) return false;
  for (const DeviceRecord& record : report_->backup.devices) {
    if (record.device == device && record.outcome == DeviceOutcome::kPending) return true;
  }
  return false;
}

void TerminalWindow::StepBegan(bool began) {
  if (!began || options_.drawProgress || options_.quiet) return;
  lastStatusShape_.clear();
  std::fprintf(options_.status, "%s\n", progress_.Line(Clock::now()).c_str());
}

void TerminalWindow::DrawFooter() {
  if (!options_.drawProgress || options_.quiet) return;
  std::vector<std::string> lines;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    const Row& row = rows_[device];
    if (row.progress == Progress::kHidden) continue;
    const int percent = row.position < 0 ? 0 : row.position > 100 ? 100 : row.position;
    const int filled = row.progress == Progress::kQueued ? 0 : percent * kBarWidth / 100;
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kBarWidth - filled), '.');
    const char* state = row.progress == Progress::kQueued   ? "queued"
                        : row.progress == Progress::kDone   ? "done"
                        : row.progress == Progress::kFailed ? "FAILED"
                                                            : "";
    lines.push_back(FormatText("%-10s [%s] %3d%% %s", DeviceDisplayName(device), bar.c_str(),
                               row.progress == Progress::kQueued ? 0 : percent, state));
  }
  const Clock::time_point now = Clock::now();
  if (const std::string overall = progress_.Line(now); !overall.empty()) lines.push_back(overall);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i].substr(0, kFooterWidth);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::fprintf(options_.status, "%s%s", i == 0 ? "" : "\n", line.c_str());
  }
  footerLines_ = static_cast<int>(lines.size());
  footerDrawn_ = now;
  std::fflush(options_.status);
}

void TerminalWindow::RedrawFooter() {
  ClearFooter();
  DrawFooter();
}

// Takes the footer away, so that the next text starts on a clean line where the footer began;
// DrawFooter puts it back under that text.
void TerminalWindow::ClearFooter() {
  if (footerLines_ == 0) return;
  for (int line = 1; line < footerLines_; ++line) std::fputs(kUp, options_.status);
  std::fputs(kClearToEnd, options_.status);
  footerLines_ = 0;
}

}  // namespace tarvo::cli
