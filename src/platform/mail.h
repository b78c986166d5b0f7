// Handing a prepared mail to the desktop's mail program, which shows it to the user for
// sending. This is the Linux desktops' hand-off: xdg-email, found on PATH and run without a
// shell. Windows desktops take the mail through Simple MAPI instead (platform/simple_mapi.h), so
// this has no Windows implementation.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tarvo::platform {

struct MailMessage {
  std::string recipient;
  std::string subject;
  std::string body;
  std::vector<std::string> attachments;  // full paths
};

enum class MailOutcome {
  kHandedOver,         // the mail program took the message
  kNoMailProgram,      // the hand-off program is not installed
  kNotStarted,         // it exists but could not be started (systemError says why)
  kMailProgramFailed,  // it ran and reported a failure (exitStatus)
};

struct MailResult {
  MailOutcome outcome = MailOutcome::kNotStarted;
  int exitStatus = 0;   // exit status of the hand-off program; 128 + signal when killed
  int systemError = 0;  // errno of a failed start
};

// Runs the hand-off and waits for it to end, calling whileWaiting (when given) every few
// milliseconds meanwhile so that a window can stay painted.
[[nodiscard]] MailResult HandMailToDesktop(const MailMessage& message,
                                           const std::function<void()>& whileWaiting = {});

// Short description of a hand-off exit status ("the action failed", ...).
const char* MailHandOffErrorName(int exitStatus);

}  // namespace tarvo::platform
