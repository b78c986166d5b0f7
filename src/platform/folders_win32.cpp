#include <windows.h>
// shlobj.h needs the types of windows.h.
#include <shlobj.h>

#include <algorithm>

#include "platform/folders.h"
#include "platform/system_folders.h"

namespace tarvo::platform {

namespace {

std::string ShellFolder(int folderId) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
  return path;
}

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA* data) {
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, data) != 0;
}

}  // namespace

std::string ProgramFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return ".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t cut = path.rfind('\\');
  return cut == std::string::npos ? path : path.substr(0, cut);
}

std::string SystemCommonDataFolder() {
  return ShellFolder(CSIDL_COMMON_APPDATA);
}

const char* NoDataFolderReason() {
  return "Windows names no common application data folder";
}

std::string SystemUserDataFolder() {
  return ShellFolder(CSIDL_LOCAL_APPDATA);
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CreateFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> FindFilesWithExtension(const std::string& folder,
                                                const std::string& extension) {
  std::vector<std::string> found;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(JoinPath(folder, "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::string name = entry.cFileName;
    // The name's own end decides: "*.tvf" would also match the short 8.3 names of longer
    // extensions such as ".tvf1".
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        EndsWithIgnoringCase(name, extension)) {
      found.push_back(JoinPath(folder, name));
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  std::sort(found.begin(), found.end());
  return found;
}

long long FileLength(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!Attributes(path, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace tarvo::platform
