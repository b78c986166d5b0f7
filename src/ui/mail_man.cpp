#include "ui/mail_man.h"

#include "ui/support_texts.h"

namespace tarvo::ui {

std::vector<platform::MailResult> CMailMan::SendMail(const std::vector<std::string>& attachments,
                                                     const std::string& recipients,
                                                     const std::string& subject,
                                                     const std::string& body) {
  std::vector<platform::MailResult> results;
  for (const std::string& recipient : SplitRecipients(recipients)) {
    const platform::MailMessage message{recipient, subject, body, attachments};
    results.push_back(platform::HandMailToDesktop(message, whileWaiting_));
    if (results.back().outcome == platform::MailOutcome::kNoMailProgram) break;
  }
  return results;
}

}  // namespace tarvo::ui
