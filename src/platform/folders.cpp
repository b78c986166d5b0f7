#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/folders.h"
#include "platform/system_folders.h"

namespace tarvo::platform {

namespace {

// TARVO_DATA_DIR takes the place of the data folders on every system, so that tests and
// trials keep their logs, backups and simulated camera in a folder of their own.
std::string DataFolderOverride() {
  const char* folder = std::getenv("TARVO_DATA_DIR");
  return folder != nullptr ? folder : "";
}

}  // namespace

std::string CommonDataFolder() {
  const std::string folder = DataFolderOverride();
  return folder.empty() ? SystemCommonDataFolder() : folder;
}

std::string UserDataFolder() {
  const std::string folder = DataFolderOverride();
  return folder.empty() ? SystemUserDataFolder() : folder;
}

bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (IsPathSeparator(folder.back())) return folder + name;
  return folder + kPathSeparator + name;
}

std::string FileNameOf(const std::string& path) {
  const auto cut = std::find_if(path.rbegin(), path.rend(), IsPathSeparator);
  return std::string(cut.base(), path.end());
}

bool CreateFolders(const std::string& path) {
  if (path.empty()) return false;
  // Every parent below the root first. A parent that cannot be made (a Windows drive "C:" or
  // network share) is passed over: only the whole path decides.
  for (std::size_t pos = 1; pos < path.size(); ++pos) {
    if (IsPathSeparator(path[pos]) && !IsPathSeparator(path[pos - 1])) {
      CreateFolder(path.substr(0, pos));
    }
  }
  return CreateFolder(path);
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

}  // namespace tarvo::platform
