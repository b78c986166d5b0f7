#include <windows.h>

#include "platform/durable_append.h"
#include "platform/system_error.h"

namespace tarvo::platform {

namespace {

bool Fail(HANDLE file, std::string* error) {
  *error = LastSystemErrorText();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return false;
}

}  // namespace

bool AppendLineDurably(const std::string& path, const std::string& line, std::string* error) {
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end, also when another
  // process appends at the same time.
  HANDLE file =
      CreateFileA(path.c_str(), FILE_APPEND_DATA | GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail(file, error);
  std::string record;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
    OVERLAPPED last{};
    last.Offset = static_cast<DWORD>(size.QuadPart - 1);
    last.OffsetHigh = static_cast<DWORD>((size.QuadPart - 1) >> 32);
    char byte = '\n';
    DWORD got = 0;
    if (ReadFile(file, &byte, 1, &got, &last) && got == 1 && byte != '\n') record += '\n';
  }
  record += line;
  record += '\n';
  DWORD written = 0;
  if (!WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr) ||
      written != record.size() || !FlushFileBuffers(file)) {
    return Fail(file, error);
  }
  CloseHandle(file);
  return true;
}

}  // namespace tarvo::platform
