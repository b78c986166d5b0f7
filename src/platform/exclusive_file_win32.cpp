#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/exclusive_file.h"

namespace tarvo::platform {

std::FILE* OpenExclusiveForWriting(const std::string& path, ExclusiveOpenResult* result) {
  // Reading stays shared (a mail program attaches the log while the program runs); writing is
  // denied to every other open, in this process and in others, for as long as the file is open.
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    *result = GetLastError() == ERROR_SHARING_VIOLATION ? ExclusiveOpenResult::kHeldByOther
                                                        : ExclusiveOpenResult::kFailed;
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    *result = ExclusiveOpenResult::kFailed;
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "r+b");
  if (file == nullptr) {
    _close(fd);
    *result = ExclusiveOpenResult::kFailed;
    return nullptr;
  }
  *result = ExclusiveOpenResult::kOpened;
  return file;
}

}  // namespace tarvo::platform
