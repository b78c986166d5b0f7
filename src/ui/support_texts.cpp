#include "ui/support_texts.h"

#include "log/format_text.h"

namespace tarvo::ui {

std::vector<std::string> SupportTextPieces(const std::string& address,
                                           const std::string& logFolder) {
  return {
      "In case of problems, please send an email with a description\n",
      "of the problem to the support department of ORVA at:\n\n",
      "    " + address + "\n\n",
      "and attach the programming log file\n\n",
      "    TARVO_PROG.log\n\n",
      "which is located in the directory:\n\n",
      "    ",
      logFolder,
      "\n\n",
      std::string("The service history of the cameras, ") + kHistoryFileName + ", is in\n",
      "the same folder.\n\n",
      "You may also use the button below to send an email with the\n",
      "log file (and the service history) attached!",
  };
}

std::string SupportSubject(std::int32_t serialNumber) {
  return FormatText("Support request: Firmware update of orva.tarvo SN %d failed!", serialNumber);
}

std::string SupportBody(std::int32_t serialNumber) {
  std::string body = FormatText(
      "Dear Support,\n\nwe've got problems with the firmware update of the orva.tarvo SN %d.\n\n",
      serialNumber);
  body += "Here is the description:\n\n";
  body += "**********Please describe the error here**********\r\n\r\n";
  body += std::string("The programming log and the service history (") + kHistoryFileName +
          ") are attached.\r\n\r\n";
  body += "Regards,\n\n";
  body += "**********Please set your name and address here***";
  return body;
}

std::vector<std::string> SplitRecipients(const std::string& recipients) {
  std::vector<std::string> parts;
  std::size_t begin = 0;
  for (std::size_t end = recipients.find(';'); end != std::string::npos;
       end = recipients.find(';', begin)) {
    parts.push_back(recipients.substr(begin, end - begin));
    begin = end + 1;
  }
  parts.push_back(recipients.substr(begin));
  return parts;
}

}  // namespace tarvo::ui
