// The main window as a terminal shows it. CProgrammerDlg drives it like any window: status
// lines go to stderr, result boxes are printed as "Operation Status: <text>", and yes/no
// questions are answered by --yes, asked on a terminal, or else answered no. Progress suits
// where stderr goes: on a terminal a bar per device and an overall line (step, time so far,
// time left) stand under the status lines, and a countdown counts in one line; elsewhere each
// step gets one line, and a countdown one line per ten seconds. --quiet shows none of it. The
// controls, check boxes and labels are kept as state, so the commands read back what the
// engine chose.
#pragma once

#include <array>
#include <cstdio>
#include <istream>
#include <string>
#include <vector>

#include "cli/run_progress.h"
#include "engine/run_report.h"
#include "engine/window_port.h"

namespace tarvo::cli {

struct TerminalOptions {
  bool answerYes = false;           // --yes: every question is answered Yes
  bool askQuestions = false;        // stdin and stderr are terminals: questions are asked there
  bool drawProgress = false;        // stderr is a terminal: progress bars are drawn
  bool quiet = false;               // --quiet: no status lines, no progress
  std::FILE* results = stdout;      // result boxes (stderr when stdout carries JSON)
  std::FILE* status = stderr;       // status lines, progress bars, questions
  std::istream* answers = nullptr;  // where asked questions are answered; std::cin when null
};

// The options that fit the process's own streams.
TerminalOptions TerminalOptionsForProcess(bool answerYes, bool jsonOnStdout, bool quiet);

// "Operation Status: <text>": the text's line breaks become blanks, a break at the end is
// dropped, so one box is one line that scripts can read.
std::string ResultBoxLine(const std::string& text);

struct RecordedResultBox {
  std::string text;
  MessageIcon icon = MessageIcon::kInformation;
};

class TerminalWindow final : public WindowPort {
 public:
  explicit TerminalWindow(TerminalOptions options);

  // WindowPort.
  void PumpMessages() override;
  void SetWindowTitle(const std::string& title) override { title_ = title; }
  void SetStatusText(const std::string& text) override;
  void SetCameraVersionText(DeviceIndex device, const std::string& text) override;
  void SetPacketVersionText(DeviceIndex device, const std::string& text) override;
  bool IsDeviceChecked(DeviceIndex device) const override { return rows_[device].checked; }
  void SetDeviceChecked(DeviceIndex device, bool checked) override;
  bool IsDeviceEnabled(DeviceIndex device) const override { return rows_[device].enabled; }
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
  // The commands take every path from the command line; a dialog is never answered here.
  std::optional<std::string> OpenFileDialog(const std::string& title,
                                            const std::string& filter) override;
  std::optional<std::string> SaveFileDialog(const std::string& title,
                                            const std::string& filter) override;

  // Whether status lines are printed (they are still kept). The window start sets the
  // window's first status text, which is no news on a terminal.
  void PrintStatusLines(bool on) { printStatus_ = on; }

  // The run whose steps the progress follows: its plan, and the report the engine keeps while
  // it runs (its reboots tell when one begins).
  void FollowRun(std::vector<ProgressStep> steps, double timeScale, const RunReport& report);
  // Another run of the same plan begins (verify after program): its report starts afresh.
  void NextRun() { rebootsSeen_ = 0; }
  // Takes the bars and the overall line off the terminal before text that does not go through
  // the window (a run's summary, the log file's name); the next event of a run draws them again.
  void ClearProgress() {
    ClearFooter();
    std::fflush(options_.status);
  }

  // What the window shows now.
  const std::string& Title() const { return title_; }
  const std::string& StatusText() const { return status_; }
  const std::string& CameraVersionText(DeviceIndex device) const { return rows_[device].camera; }
  const std::string& PacketVersionText(DeviceIndex device) const { return rows_[device].packet; }
  // Every result box shown so far, in order.
  const std::vector<RecordedResultBox>& ResultBoxes() const { return resultBoxes_; }

 private:
  enum class Progress { kHidden, kQueued, kRunning, kDone, kFailed };

  struct Row {
    std::string camera;
    std::string packet;
    bool checked = false;
    bool enabled = false;
    Progress progress = Progress::kHidden;
    int position = 0;
  };

  struct Control {
    bool enabled = true;
    bool visible = true;
    bool checked = false;
  };

  using Clock = RunProgress::Clock;

  // The lines under the status lines on a terminal: a bar per device of the run and the
  // overall line.
  void DrawFooter();
  void ClearFooter();
  void RedrawFooter();  // its times and bars brought up to date
  // A new step: a line of its own where no footer shows it.
  void StepBegan(bool began);
  bool ReadForBackup(DeviceIndex device) const;

  TerminalOptions options_;
  std::string title_;
  std::string status_;
  std::array<Row, kDeviceCount> rows_{};
  std::array<Control, kCommandControlCount> controls_{};
  std::vector<RecordedResultBox> resultBoxes_;
  bool printStatus_ = true;
  // The last status line printed, without its digits; empty after other output. Lines of the
  // same shape (a countdown) that were not printed since.
  std::string lastStatusShape_;
  int unprintedRepeats_ = 0;
  RunProgress progress_;
  const RunReport* report_ = nullptr;
  std::size_t rebootsSeen_ = 0;
  int footerLines_ = 0;
  Clock::time_point footerDrawn_{};
};

}  // namespace tarvo::cli
