#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/system_error.h"

namespace tarvo::platform {

namespace {

// The errors a file operation meets most, in the C library's words, so that a message reads
// the same on every system ("No space left on device").
constexpr struct {
  DWORD code;
  int errnoValue;
} kFileErrors[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_NAME, ENOENT},      {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_SHARING_VIOLATION, EACCES}, {ERROR_LOCK_VIOLATION, EACCES},
    {ERROR_FILE_EXISTS, EEXIST},       {ERROR_ALREADY_EXISTS, EEXIST},
    {ERROR_DISK_FULL, ENOSPC},         {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_DIRECTORY, ENOTDIR},        {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},
};

}  // namespace

std::string LastSystemErrorText() {
  const DWORD error = GetLastError();
  if (error == ERROR_SUCCESS) return std::strerror(errno);  // the C library failed by itself
  for (const auto& known : kFileErrors) {
    if (known.code == error) return std::strerror(known.errnoValue);
  }
  char text[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                        text[length - 1] == '.' || text[length - 1] == ' ')) {
    --length;
  }
  if (length == 0) return "Windows error " + std::to_string(error);
  return std::string(text, length);
}

}  // namespace tarvo::platform
