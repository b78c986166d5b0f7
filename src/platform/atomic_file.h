// A file that appears whole or not at all. It is written under a temporary name beside its
// target and renamed into place only when complete and on disk, so a full disk, an I/O error
// or a check of the written bytes that fails leaves the target as it was (an older file of
// that name keeps every byte) and no temporary behind.
#pragma once

#include <cstddef>
#include <string>

namespace tarvo::platform {

enum class ReplaceMode {
  kReplace,       // an existing file of the target's name is replaced
  kKeepExisting,  // an existing file of the target's name makes Commit fail
};

class AtomicFile {
 public:
  explicit AtomicFile(std::string targetPath);
  // Removes the temporary unless it was committed.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary in the target's folder. Its name never ends in the target's
  // extension, so searches for packet files do not see it.
  [[nodiscard]] bool Create();
  [[nodiscard]] bool Write(const void* data, std::size_t size);
  // Flushes the bytes to disk and closes the temporary; TemporaryPath() can then be read back.
  [[nodiscard]] bool Finish();
  // Finishes when not done yet, then puts the temporary in the target's place.
  [[nodiscard]] bool Commit(ReplaceMode mode);
  // Removes the temporary (also done by the destructor).
  void Discard();

  const std::string& TargetPath() const { return target_; }
  const std::string& TemporaryPath() const { return temporary_; }
  // The system's reason for the last failure ("No space left on device").
  const std::string& Error() const { return error_; }

 private:
  bool Fail();

  std::string target_;
  std::string temporary_;
  std::string error_;
  int handle_ = -1;
  bool finished_ = false;
  bool committed_ = false;
};

}  // namespace tarvo::platform
