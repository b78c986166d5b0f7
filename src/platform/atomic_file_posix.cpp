#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/system_error.h"

namespace tarvo::platform {

namespace {

std::atomic<unsigned> temporaryCounter{0};

std::string FolderOf(const std::string& path) {
  const std::size_t cut = path.rfind('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

// A renamed file is only durable once its folder's entry is on disk as well; a folder that
// cannot be synced (some file systems refuse it) loses nothing of the file itself.
void SyncFolder(const std::string& folder) {
  const int handle = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return;
  (void)fsync(handle);
  close(handle);
}

// Puts the temporary in place unless the target exists: a hard link fails when the name is
// taken, atomically; where the file system has no hard links, the name is tested first.
bool RenameKeepingExisting(const std::string& from, const std::string& to) {
  if (link(from.c_str(), to.c_str()) == 0) {
    unlink(from.c_str());
    return true;
  }
  if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return false;
  if (access(to.c_str(), F_OK) == 0) {
    errno = EEXIST;
    return false;
  }
  return errno == ENOENT && rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

bool AtomicFile::Create() {
  Discard();
  committed_ = finished_ = false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = target_ + ".tmp" + std::to_string(getpid()) + "-" +
                       std::to_string(temporaryCounter.fetch_add(1));
    handle_ = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (handle_ >= 0) {
      temporary_ = std::move(name);
      return true;
    }
    if (errno != EEXIST) break;
  }
  return Fail();
}

bool AtomicFile::Write(const void* data, std::size_t size) {
  if (handle_ < 0) {
    errno = EBADF;
    return Fail();
  }
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(handle_, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return Fail();
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool AtomicFile::Finish() {
  if (finished_) return true;
  if (handle_ < 0) {
    errno = EBADF;
    return Fail();
  }
  const bool synced = fsync(handle_) == 0;
  if (!synced) return Fail();
  const int handle = std::exchange(handle_, -1);
  if (close(handle) != 0) return Fail();
  finished_ = true;
  return true;
}

bool AtomicFile::Commit(ReplaceMode mode) {
  if (!Finish()) return false;
  const bool renamed = mode == ReplaceMode::kReplace
                           ? rename(temporary_.c_str(), target_.c_str()) == 0
                           : RenameKeepingExisting(temporary_, target_);
  if (!renamed) return Fail();
  committed_ = true;
  temporary_.clear();
  SyncFolder(FolderOf(target_));
  return true;
}

void AtomicFile::Discard() {
  const int savedErrno = errno;
  if (handle_ >= 0) close(std::exchange(handle_, -1));
  if (!committed_ && !temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  finished_ = false;
  errno = savedErrno;
}

}  // namespace tarvo::platform
