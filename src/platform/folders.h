// Folders and paths: where the program lives, where machine-wide data goes, and the few
// file-system questions the program asks.
#pragma once

#include <string>
#include <vector>

namespace tarvo::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Folder of the running executable, without a trailing separator.
std::string ProgramFolder();

// The machine-wide application data folder: ${XDG_DATA_HOME:-$HOME/.local/share} on Linux,
// the common application data folder on Windows (%ProgramData%). TARVO_DATA_DIR, when set,
// takes its place on both systems. Empty when it cannot be determined.
std::string CommonDataFolder();

// Why CommonDataFolder() is empty, in the system's terms ("neither XDG_DATA_HOME nor HOME is set").
const char* NoDataFolderReason();

// The user's own application data folder: the same folder as above on Linux, the local
// application data folder on Windows (%LOCALAPPDATA%); TARVO_DATA_DIR takes its place too.
std::string UserDataFolder();

// '/' on Linux; '\\' and '/' on Windows.
bool IsPathSeparator(char c);

// folder + separator + name; name alone when folder is empty.
std::string JoinPath(const std::string& folder, const std::string& name);

// The last path component (text after the last separator).
std::string FileNameOf(const std::string& path);

bool PathExists(const std::string& path);

// Creates one folder level; true when it exists afterwards.
bool CreateFolder(const std::string& path);

// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolders(const std::string& path);

// Full paths of the regular files in a folder whose names end in the extension (with its dot),
// compared case-insensitively as Windows does, sorted by name.
std::vector<std::string> FindFilesWithExtension(const std::string& folder,
                                                const std::string& extension);

// Length of a file in bytes, or -1 when it cannot be determined.
long long FileLength(const std::string& path);

}  // namespace tarvo::platform
