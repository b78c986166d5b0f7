// The support mail sender: hands one prepared mail per recipient to the desktop's mail
// program, where the user reviews and sends it.
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

}  // namespace tarvo::ui
