#include "platform/durable_append.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarvo::platform {

namespace {

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool AppendLineDurably(const std::string& path, const std::string& line, std::string* error) {
  const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = std::strerror(errno);
    return false;
  }
  std::string record;
  struct stat info {};
  char last = '\n';
  if (fstat(fd, &info) == 0 && info.st_size > 0 && pread(fd, &last, 1, info.st_size - 1) == 1 &&
      last != '\n') {
    record += '\n';
  }
  record += line;
  record += '\n';
  const bool ok = WriteAll(fd, record) && fsync(fd) == 0;
  if (!ok) *error = std::strerror(errno);
  close(fd);
  return ok;
}

}  // namespace tarvo::platform
