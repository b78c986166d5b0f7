// Sending the support mail through Simple MAPI, the mail service of Windows desktops: the
// library is loaded at run time, the user logs on (a refused logon is repeated once without
// dialog), one message per recipient is handed to the mail program's send window, and MAPI's
// result codes are shown by name. The flow is plain code over a table of the three entry points
// it calls, so it runs the same against the real library and against a test's fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/dynamic_library.h"

namespace tarvo::platform {

// Simple MAPI's types and records (32-bit ULONG, pointer-sized handles).
using MapiUlong = std::uint32_t;
using MapiHandle = std::uintptr_t;

struct MapiRecipDesc {
  MapiUlong ulReserved;
  MapiUlong ulRecipClass;  // 1: "To"
  char* lpszName;
  char* lpszAddress;
  MapiUlong ulEIDSize;
  void* lpEntryID;
};

struct MapiFileDesc {
  MapiUlong ulReserved;
  MapiUlong flFlags;
  MapiUlong nPosition;
  char* lpszPathName;
  char* lpszFileName;
  void* lpFileType;
};

struct MapiMessage {
  MapiUlong ulReserved;
  char* lpszSubject;
  char* lpszNoteText;
  char* lpszMessageType;
  char* lpszDateReceived;
  char* lpszConversationID;
  MapiUlong flFlags;
  MapiRecipDesc* lpOriginator;
  MapiUlong nRecipCount;
  MapiRecipDesc* lpRecips;
  MapiUlong nFileCount;
  MapiFileDesc* lpFiles;
};

#if defined(_WIN32) && !defined(_WIN64)
#define TARVO_MAPI_CALL __stdcall
#else
#define TARVO_MAPI_CALL
#endif

extern "C" {
using MapiLogonFunction = MapiUlong(TARVO_MAPI_CALL*)(MapiHandle uiParam, char* profileName,
                                                      char* password, MapiUlong flags,
                                                      MapiUlong reserved, MapiHandle* session);
using MapiSendMailFunction = MapiUlong(TARVO_MAPI_CALL*)(MapiHandle session, MapiHandle uiParam,
                                                         MapiMessage* message, MapiUlong flags,
                                                         MapiUlong reserved);
using MapiLogoffFunction = MapiUlong(TARVO_MAPI_CALL*)(MapiHandle session, MapiHandle uiParam,
                                                       MapiUlong flags, MapiUlong reserved);
}

inline constexpr MapiUlong MAPI_USER_ABORT = 1;
inline constexpr MapiUlong MAPI_LOGON_UI = 0x1;
inline constexpr MapiUlong MAPI_DIALOG = 0x8;
inline constexpr MapiUlong MAPI_TO = 1;

// The entry points the flow calls; all three must be there for the library to count as loaded.
struct SimpleMapiFunctions {
  MapiLogonFunction logon = nullptr;
  MapiSendMailFunction sendMail = nullptr;
  MapiLogoffFunction logoff = nullptr;
  bool Complete() const { return logon != nullptr && sendMail != nullptr && logoff != nullptr; }
};

// Name of a MAPI result code 0..26 ("MAPI_E_LOGON_FAILURE", ...), nullptr for other codes.
const char* MapiErrorName(MapiUlong code);

// "MAPI32.DLL", loaded for the time of one mail and unloaded when the object ends. Where the
// library is missing, or lacks one of the three entry points, Functions() is nullptr.
class MapiLibrary {
 public:
  MapiLibrary();
  ~MapiLibrary();
  MapiLibrary(const MapiLibrary&) = delete;
  MapiLibrary& operator=(const MapiLibrary&) = delete;
  const SimpleMapiFunctions* Functions() const {
    return functions_.Complete() ? &functions_ : nullptr;
  }

 private:
  LibraryHandle library_ = nullptr;
  SimpleMapiFunctions functions_;
};

struct SupportMail {
  std::vector<std::string> attachments;  // full paths
  std::string recipients;                // one mail per ";"-separated part
  std::string subject;
  std::string body;
};

// The whole hand-off: logon, one message per recipient, logoff. `functions` is nullptr when the
// library could not be loaded. Every message box text goes to showMessage, in order:
// "Can not load MAPI32.DLL", "Can not LOGON to MAPI", "Mapi error: <name>",
// "Unknown Mapi error <code>.". parentWindow is handed to MAPI as the parent of its dialogs.
void SendMailThroughMapi(const SimpleMapiFunctions* functions, MapiHandle parentWindow,
                         const SupportMail& mail,
                         const std::function<void(const std::string&)>& showMessage);

}  // namespace tarvo::platform
