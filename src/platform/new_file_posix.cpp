#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/new_file.h"

namespace tarvo::platform {

NewFileResult CreateNewFile(const std::string& path) {
  const int handle = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (handle < 0) return errno == EEXIST ? NewFileResult::kExists : NewFileResult::kFailed;
  close(handle);
  return NewFileResult::kCreated;
}

bool RemoveFile(const std::string& path) {
  return unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace tarvo::platform
