// Small helpers the tests share: a temporary folder removed at the end, environment variables
// set for one scope, whole-file reads and writes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // A path inside the folder, in the platform's form; name may hold '/' between folders.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

class ScopedEnvironment {
 public:
  ScopedEnvironment(const std::string& name, const std::optional<std::string>& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
std::string ReadFileText(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteFileText(const std::string& path, const std::string& text);
void CreateFolderForTest(const std::string& path);

// Runs body in a child process on a "full disk": no file of the child may grow beyond
// limitBytes (writes past it fail with EFBIG). Returns body's result, or -1 when the child did
// not exit normally. Linux only (the file size limit of a process); -1 on Windows.
int RunOnFullDisk(std::uint64_t limitBytes, const std::function<int()>& body);

// Makes `link` a symbolic link to `target` (on Windows also without administrator rights, where
// the system allows it); false when it cannot.
bool MakeSymbolicLink(const std::string& target, const std::string& link);

// Names of the entries of a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& path);

}  // namespace tarvo::test
