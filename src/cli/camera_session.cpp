#include "cli/camera_session.h"

#include "cli/terminal_report.h"

namespace tarvo::cli {

CommandControl InterfaceButton(const std::string& interfaceName) {
  if (interfaceName == "usb3") return CommandControl::kUsb3;
  if (interfaceName == "gige") return CommandControl::kGige;
  return CommandControl::kUsb2;
}

const char* InterfaceDisplayName(const std::string& interfaceName) {
  if (interfaceName == "usb3") return "USB 3.0";
  if (interfaceName == "gige") return "GigE";
  return "USB 2.0";
}

// The command line names every file, so the packet search of the program folder is left out:
// an empty program folder holds no packet.
CameraSession::CameraSession(const GlobalOptions& global, const TerminalOptions& options,
                             CameraUse use)
    : window_(options),
      history_(DefaultLogFolder()),
      dlg_(window_, platform::ProgramClock(), std::string()) {
  dlg_.SetServiceHistory(&history_, std::string("tarvo-cli ") + TARVO_VERSION_TEXT);
  LogFile& log = dlg_.Log();
  // The log lock tells that another instance runs; two runs on one camera would both fail and
  // could leave devices erased.
  if (!log.IsOpen() && log.HeldByOther() && use == CameraUse::kChanges) {
    refused_ = true;
    PrintError("Another instance of the programmer is running (it holds " + log.Path() +
               "): only one may work on the camera at a time. Nothing was done; run the "
               "command again when the other one has ended.");
    return;
  }
  if (!log.IsOpen()) PrintLogFailure(log.Failure());
  log.SetFailureHandler(&PrintLogFailure);
  dlg_.SetModes(global.emergency, false);
  window_.PrintStatusLines(false);
  dlg_.StartWindow();
  window_.PrintStatusLines(true);
  window_.SetControlChecked(InterfaceButton(global.interfaceName), true);
}

CameraSession::~CameraSession() {
  if (refused_) return;
  dlg_.CloseLog();
  const LogFile& log = dlg_.Log();
  if (log.Sealed()) {
    PrintError("Log file: " + log.Path());
  } else {
    PrintError("No complete log of this run: " + log.Failure() + ".");
  }
}

bool CameraSession::Connect() {
  dlg_.OnConnect();
  return dlg_.Camera().connected;
}

// The result box tells the packet's fixed failure text; the terminal also learns why.
bool CameraSession::LoadPacket(const std::string& path) {
  if (dlg_.LoadPacketFile(path) == 1) return true;
  if (!dlg_.Packet().LastErrorDetail().empty()) PrintError(dlg_.Packet().LastErrorDetail());
  return false;
}

}  // namespace tarvo::cli
