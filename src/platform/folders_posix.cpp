#include "platform/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/system_folders.h"

namespace tarvo::platform {

std::string ProgramFolder() {
  std::string path(4096, '\0');
  ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return ".";
  path.resize(static_cast<std::size_t>(length));
  std::size_t cut = path.rfind('/');
  if (cut == std::string::npos) return path;
  if (cut == 0) return "/";
  return path.substr(0, cut);
}

std::string SystemCommonDataFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') return dataHome;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return "";
  return JoinPath(JoinPath(home, ".local"), "share");
}

const char* NoDataFolderReason() {
  return "neither XDG_DATA_HOME nor HOME is set";
}

std::string SystemUserDataFolder() {
  return SystemCommonDataFolder();
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

bool CreateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0755) == 0) return true;
  struct stat info {};
  return errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> FindFilesWithExtension(const std::string& folder,
                                                const std::string& extension) {
  std::vector<std::string> found;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return found;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (!EndsWithIgnoringCase(name, extension)) continue;
    std::string path = JoinPath(folder, name);
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) found.push_back(path);
  }
  closedir(dir);
  std::sort(found.begin(), found.end());
  return found;
}

long long FileLength(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return -1;
  return static_cast<long long>(info.st_size);
}

}  // namespace tarvo::platform
