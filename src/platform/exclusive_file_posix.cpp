#include "platform/exclusive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tarvo::platform {

std::FILE* OpenExclusiveForWriting(const std::string& path, ExclusiveOpenResult* result) {
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    *result = ExclusiveOpenResult::kFailed;
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    *result = held ? ExclusiveOpenResult::kHeldByOther : ExclusiveOpenResult::kFailed;
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "r+b");
  if (file == nullptr) {
    close(fd);
    *result = ExclusiveOpenResult::kFailed;
    return nullptr;
  }
  *result = ExclusiveOpenResult::kOpened;
  return file;
}

}  // namespace tarvo::platform
