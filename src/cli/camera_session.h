// One run of the main window object for a camera command: the terminal window, the
// CProgrammerDlg over it (which opens the log and writes the same lines the window does), the
// modes, the window start and the chosen interface.
#pragma once

#include <string>

#include "cli/command_table.h"
#include "cli/terminal_window.h"
#include "engine/programmer_dlg.h"
#include "history/history_file.h"

namespace tarvo::cli {

// The interface button of --interface: usb2, usb3 or gige.
CommandControl InterfaceButton(const std::string& interfaceName);
const char* InterfaceDisplayName(const std::string& interfaceName);

// Whether a command may change the camera (program, backup, verify with its reboots); such a
// command never runs beside another instance of the programmer.
enum class CameraUse { kReadsOnly, kChanges };

class CameraSession {
 public:
  CameraSession(const GlobalOptions& global, const TerminalOptions& options,
                CameraUse use = CameraUse::kReadsOnly);
  // Seals the log and names it on stderr, or says why no complete log of this run exists.
  ~CameraSession();
  CameraSession(const CameraSession&) = delete;
  CameraSession& operator=(const CameraSession&) = delete;

  // The command must not go on: it would change the camera while another instance of the
  // programmer (which holds the log) works on it. The message is printed.
  bool Refused() const { return refused_; }

  TerminalWindow& Window() { return window_; }
  CProgrammerDlg& Dlg() { return dlg_; }
  history::HistoryFile& History() { return history_; }

  // The Connect button; true when a camera of this model answered.
  bool Connect();
  // The packet of the command line, loaded as "Load File" would load it.
  bool LoadPacket(const std::string& path);

 private:
  TerminalWindow window_;
  history::HistoryFile history_;
  CProgrammerDlg dlg_;
  bool refused_ = false;
};

}  // namespace tarvo::cli
