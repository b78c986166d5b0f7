// The support mail sender of Linux desktops: hands one prepared mail per recipient to the
// desktop's mail program through xdg-email, where the user reviews and sends it. (Windows
// desktops take the mail through Simple MAPI, platform/simple_mapi.h.)
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/mail.h"

namespace tarvo::ui {

class CMailMan {
 public:
  explicit CMailMan(std::function<void()> whileWaiting = {})
      : whileWaiting_(std::move(whileWaiting)) {}

  // One mail per ";"-separated part of the recipient text, each with every attachment. A
  // failed hand-off does not stop the next one, except a missing mail program, which ends
  // the sending. Returns the results of the hand-offs made.
  std::vector<platform::MailResult> SendMail(const std::vector<std::string>& attachments,
                                             const std::string& recipients,
                                             const std::string& subject, const std::string& body);

 private:
  std::function<void()> whileWaiting_;
};

// The message box text for a mail hand-off that did not reach the mail program; empty when
// the mail program took the message.
std::string MailFailureText(const platform::MailResult& result);

}  // namespace tarvo::ui
