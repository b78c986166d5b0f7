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
CameraSession::CameraSession(const GlobalOptions& global, const TerminalOptions& options)
    : window_(options),
      history_(DefaultLogFolder()),
      dlg_(window_, platform::ProgramClock(), std::string()) {
  dlg_.SetServiceHistory(&history_, std::string("tarvo-cli ") + TARVO_VERSION_TEXT);
  if (!dlg_.Log().IsOpen()) {
    PrintError("The log is not written in this run: " + (dlg_.Log().OpenFailure().empty()
                                                             ? std::string("no log folder")
                                                             : dlg_.Log().OpenFailure()));
  }
  dlg_.SetModes(global.emergency, false);
  window_.PrintStatusLines(false);
  dlg_.StartWindow();
  window_.PrintStatusLines(true);
  window_.SetControlChecked(InterfaceButton(global.interfaceName), true);
}

bool CameraSession::Connect() {
  dlg_.OnConnect();
  return dlg_.Camera().connected;
}

bool CameraSession::LoadPacket(const std::string& path) {
  return dlg_.LoadPacketFile(path) == 1;
}

}  // namespace tarvo::cli
