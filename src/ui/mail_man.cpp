#include "ui/mail_man.h"

#include "log/format_text.h"
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

std::string MailFailureText(const platform::MailResult& result) {
  switch (result.outcome) {
    case platform::MailOutcome::kHandedOver:
      return {};
    case platform::MailOutcome::kNoMailProgram:
      return "Can not hand the mail to the mail program:\n"
             "the program \"xdg-email\" was not found.\n\n"
             "Please install xdg-utils, or send the log file by hand.";
    case platform::MailOutcome::kMailProgramFailed:
      return FormatText(
          "The mail program could not prepare the mail\n"
          "(xdg-email ended with code %d: %s).\n\n"
          "Please send the log file by hand.",
          result.exitStatus, platform::MailHandOffErrorName(result.exitStatus));
    case platform::MailOutcome::kNotStarted:
      break;
  }
  return FormatText(
      "Can not start the mail program (system error %d).\n\nPlease send the log file by hand.",
      result.systemError);
}

}  // namespace tarvo::ui
