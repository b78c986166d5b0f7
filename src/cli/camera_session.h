// One run of the main window object for a camera command: the terminal window, the
// CProgrammerDlg over it (which opens the log and writes the same lines the window does), the
// service history, the modes, the window start and the chosen interface. It ends by sealing
// the log, naming it, and telling the command's output where it is.
#pragma once

#include <string>

#include "cli/command_output.h"
#include "cli/command_table.h"
#include "cli/plan_steps.h"
#include "cli/terminal_window.h"
#include "engine/programmer_dlg.h"
#include "history/history_file.h"

namespace tarvo::cli {

// Whether a command may change the camera (program, backup, verify with its reboots); such a
// command never runs beside another instance of the programmer.
enum class CameraUse { kReadsOnly, kChanges };

class CameraSession {
 public:
  CameraSession(const GlobalOptions& global, CommandOutput& out, bool answerYes,
                CameraUse use = CameraUse::kReadsOnly);
  // Seals the log (when CloseLog has not done it).
  ~CameraSession();
  CameraSession(const CameraSession&) = delete;
  CameraSession& operator=(const CameraSession&) = delete;

  // The command must not go on: it would change the camera while another instance of the
  // programmer (which holds the log) works on it. The command's output has the failure.
  bool Refused() const { return refused_; }

  TerminalWindow& Window() { return window_; }
  CProgrammerDlg& Dlg() { return dlg_; }
  history::HistoryFile& History() { return history_; }

  // The Connect button; true when a camera of this model answered. Otherwise the command's
  // output has the failure: no camera answered, or one of another model.
  bool Connect();
  // The packet of the command line, loaded as "Load File" would load it; a packet that cannot
  // be used is the command's failure.
  bool LoadPacket(const std::string& path);

  // The progress of the run about to start follows these steps.
  void FollowRun(const std::vector<PlannedStep>& steps,
                 const std::vector<DeviceIndex>& backupDevices = {});

  // Writes the log's closing lines and its seal, names the log on stderr (or says why no
  // complete log of this run exists), and gives the command's output the log.
  void CloseLog();

 private:
  const GlobalOptions& global_;
  CommandOutput& out_;
  TerminalWindow window_;
  history::HistoryFile history_;
  CProgrammerDlg dlg_;
  bool refused_ = false;
  bool logClosed_ = false;
};

}  // namespace tarvo::cli
