// What the support dialog shows and the support mail carries: where the log lies, whom to
// write to, and the prepared subject and body.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "log/log_file.h"

namespace tarvo::ui {

inline constexpr const char* kSupportAddress = "support@orva.example";
inline constexpr const char* kSupportTitle = "How to get support in case of problems:";
inline constexpr const char* kSendMailCaption = "S&end email to support with log file attached!";
inline constexpr const char* kSupportDoneCaption = "&Done";
// Caption of the program's own message boxes.
inline constexpr const char* kApplicationTitle = "TARVO_PROG";

// The pieces of the dialog's list, in order. Pieces are plain text: a "%" in the log
// folder is shown as it is.
std::vector<std::string> SupportTextPieces(const std::string& address,
                                           const std::string& logFolder);

std::string SupportSubject(std::int32_t serialNumber);
std::string SupportBody(std::int32_t serialNumber);

// The recipient text may name several recipients separated by ";"; one mail goes to each.
std::vector<std::string> SplitRecipients(const std::string& recipients);

}  // namespace tarvo::ui
