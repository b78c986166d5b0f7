#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "sim/core/sim_file.h"

namespace tarvo::sim {

namespace {

int Fd(std::intptr_t handle) {
  return static_cast<int>(handle);
}

}  // namespace

bool SimFile::Open(const std::string& path) {
  Close();
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

void SimFile::Close() {
  Unmap();
  if (IsOpen()) close(Fd(handle_));
  handle_ = kNoHandle;
}

bool SimFile::Size(std::uint64_t* size) const {
  struct stat info {};
  if (!IsOpen() || fstat(Fd(handle_), &info) != 0) return false;
  *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool SimFile::Resize(std::uint64_t size) {
  return IsOpen() && ftruncate(Fd(handle_), static_cast<off_t>(size)) == 0;
}

bool SimFile::ReadAt(std::uint64_t offset, std::uint8_t* bytes, std::uint32_t length) const {
  if (!IsOpen()) return false;
  std::uint32_t done = 0;
  while (done < length) {
    const ssize_t got =
        pread(Fd(handle_), bytes + done, length - done, static_cast<off_t>(offset + done));
    if (got < 0) return false;
    if (got == 0) {  // beyond the file's end
      std::memset(bytes + done, 0, length - done);
      return true;
    }
    done += static_cast<std::uint32_t>(got);
  }
  return true;
}

bool SimFile::WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::uint32_t length) {
  if (!IsOpen()) return false;
  std::uint32_t done = 0;
  while (done < length) {
    const ssize_t put =
        pwrite(Fd(handle_), bytes + done, length - done, static_cast<off_t>(offset + done));
    if (put <= 0) return false;
    done += static_cast<std::uint32_t>(put);
  }
  return true;
}

void SimFile::Lock() {
  while (flock(Fd(handle_), LOCK_EX) != 0 && errno == EINTR) {
  }
}

void SimFile::Unlock() {
  flock(Fd(handle_), LOCK_UN);
}

void* SimFile::MapShared(std::size_t size) {
  Unmap();
  void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, Fd(handle_), 0);
  if (view == MAP_FAILED) return nullptr;
  view_ = view;
  viewSize_ = size;
  return view_;
}

void SimFile::Unmap() {
  if (view_ != nullptr) munmap(view_, viewSize_);
  view_ = nullptr;
  viewSize_ = 0;
}

void PauseMilliseconds(std::uint32_t milliseconds) {
  timespec pause{static_cast<time_t>(milliseconds / 1000),
                 static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
}

}  // namespace tarvo::sim
