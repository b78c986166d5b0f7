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

class CameraSession {
 public:
  CameraSession(const GlobalOptions& global, const TerminalOptions& options);

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
};

}  // namespace tarvo::cli
