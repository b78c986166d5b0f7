// The engine's three ways to speak: log lines, the status line and result boxes.
#include <cstdarg>

#include "engine/programmer_dlg.h"

namespace tarvo {

void CProgrammerDlg::WriteLog(const char* format, ...) {
  if (!log_.IsOpen()) return;
  std::va_list arguments;
  va_start(arguments, format);
  const std::string text = FormatTextV(format, arguments);
  va_end(arguments);
  log_.WriteLine(text);
}

// The status line is painted at once: the window's events are dispatched right after it.
void CProgrammerDlg::ShowStatus(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  const std::string text = FormatTextV(format, arguments);
  va_end(arguments);
  window_.SetStatusText(text);
  log_.WriteLine(text);
  window_.PumpMessages();
}

// A failure goes to the log with "ERROR: " in front; the box shows the bare text.
void CProgrammerDlg::ShowResult(bool success, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  const std::string text = FormatTextV(format, arguments);
  va_end(arguments);
  log_.WriteLine(success ? text : "ERROR: " + text);
  window_.ShowMessageBox(text, kResultBoxTitle,
                         success ? MessageIcon::kInformation : MessageIcon::kError);
}

void CProgrammerDlg::LogFileError(const std::string& fileName, std::uint32_t code) {
  log_.LogFileError(fileName, code);
}

void CProgrammerDlg::LogDeviceError(const std::string& deviceName, std::uint32_t code) {
  log_.LogDeviceError(deviceName, code);
}

}  // namespace tarvo
