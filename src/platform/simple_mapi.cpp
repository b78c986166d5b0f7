#include "platform/simple_mapi.h"

#include <cstdio>

namespace tarvo::platform {

namespace {

constexpr const char* kMapiErrorNames[] = {
    "NO_ERROR",
    "MAPI_USER_ABORT",
    "MAPI_E_FAILURE",
    "MAPI_E_LOGON_FAILURE",
    "MAPI_E_DISK_FULL",
    "MAPI_E_INSUFFICIENT_MEMORY",
    "MAPI_E_ACCESS_DENIED",
    "Error not defined",
    "MAPI_E_TOO_MANY_SESSIONS",
    "MAPI_E_TOO_MANY_FILES",
    "MAPI_E_TOO_MANY_RECIPIENTS",
    "MAPI_E_ATTACHMENT_NOT_FOUND",
    "MAPI_E_ATTACHMENT_OPEN_FAILURE",
    "MAPI_E_ATTACHMENT_WRITE_FAILURE",
    "MAPI_E_UNKNOWN_RECIPIENT",
    "MAPI_E_BAD_RECIPTYPE",
    "MAPI_E_NO_MESSAGES",
    "MAPI_E_INVALID_MESSAGE",
    "MAPI_E_TEXT_TOO_LARGE",
    "MAPI_E_INVALID_SESSION",
    "MAPI_E_TYPE_NOT_SUPPORTED",
    "MAPI_E_AMBIGUOUS_RECIPIENT",
    "MAPI_E_MESSAGE_IN_USE",
    "MAPI_E_NETWORK_FAILURE",
    "MAPI_E_INVALID_EDITFIELDS",
    "MAPI_E_INVALID_RECIPS",
    "MAPI_E_NOT_SUPPORTED",
};

using ShowMessage = std::function<void(const std::string&)>;

// Codes 0 (success) and 1 (the user cancelled) show nothing.
void ShowMapiError(MapiUlong code, const ShowMessage& showMessage) {
  if (code <= MAPI_USER_ABORT) return;
  if (const char* name = MapiErrorName(code)) {
    showMessage(std::string("Mapi error: ") + name);
  } else {
    char text[48];
    std::snprintf(text, sizeof text, "Unknown Mapi error %u.", static_cast<unsigned>(code));
    showMessage(text);
  }
}

// 0 logged on, 1 failed or cancelled. A refused logon is tried once more without a dialog and
// without profile; a cancelled one is not.
int Logon(const SimpleMapiFunctions& mapi, MapiHandle parent, MapiHandle* session,
          const ShowMessage& showMessage) {
  char empty[] = "";
  MapiUlong result = mapi.logon(parent, empty, empty, MAPI_LOGON_UI, 0, session);
  if (result == 0) return 0;
  if (result == MAPI_USER_ABORT) return 1;
  result = mapi.logon(parent, nullptr, nullptr, 0, 0, session);
  if (result == 0) return 0;
  ShowMapiError(result, showMessage);
  return 1;
}

std::vector<std::string> SplitRecipients(const std::string& recipients) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = recipients.find(';'); at != std::string::npos;
       at = recipients.find(';', start)) {
    parts.push_back(recipients.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(recipients.substr(start));
  return parts;
}

void SendMessages(const SimpleMapiFunctions& mapi, MapiHandle session, MapiHandle parent,
                  const SupportMail& mail, const ShowMessage& showMessage) {
  std::vector<std::string> paths = mail.attachments;
  std::vector<MapiFileDesc> files;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    files.push_back(
        MapiFileDesc{0, 0, static_cast<MapiUlong>(i), paths[i].data(), nullptr, nullptr});
  }
  std::string subject = mail.subject;
  std::string body = mail.body;
  for (std::string name : SplitRecipients(mail.recipients)) {
    // The recipient is given by name only; the mail program resolves it.
    MapiRecipDesc recipient{0, MAPI_TO, name.data(), nullptr, 0, nullptr};
    MapiMessage message{0,
                        subject.data(),
                        body.data(),
                        nullptr,
                        nullptr,
                        nullptr,
                        0,
                        nullptr,
                        1,
                        &recipient,
                        static_cast<MapiUlong>(files.size()),
                        files.empty() ? nullptr : files.data()};
    const MapiUlong result =
        mapi.sendMail(session, parent, &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
    ShowMapiError(result, showMessage);
  }
}

}  // namespace

MapiLibrary::MapiLibrary() : library_(LoadSharedLibrary("MAPI32.DLL")) {
  if (library_ == nullptr) return;
  functions_.logon = reinterpret_cast<MapiLogonFunction>(ResolveEntryPoint(library_, "MAPILogon"));
  functions_.sendMail =
      reinterpret_cast<MapiSendMailFunction>(ResolveEntryPoint(library_, "MAPISendMail"));
  functions_.logoff =
      reinterpret_cast<MapiLogoffFunction>(ResolveEntryPoint(library_, "MAPILogoff"));
}

MapiLibrary::~MapiLibrary() {
  UnloadSharedLibrary(library_);
}

const char* MapiErrorName(MapiUlong code) {
  constexpr MapiUlong count = sizeof kMapiErrorNames / sizeof kMapiErrorNames[0];
  return code < count ? kMapiErrorNames[code] : nullptr;
}

void SendMailThroughMapi(const SimpleMapiFunctions* functions, MapiHandle parentWindow,
                         const SupportMail& mail, const ShowMessage& showMessage) {
  if (functions == nullptr || !functions->Complete()) {
    showMessage("Can not load MAPI32.DLL");
    return;
  }
  MapiHandle session = 0;
  if (Logon(*functions, parentWindow, &session, showMessage) != 0) {
    showMessage("Can not LOGON to MAPI");
    return;
  }
  SendMessages(*functions, session, parentWindow, mail, showMessage);
  functions->logoff(session, 0, 0, 0);
}

}  // namespace tarvo::platform
