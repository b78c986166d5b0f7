#include "sim/core/flash_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace tarvo::sim {

namespace {

bool ReadFully(int fd, std::uint8_t* bytes, std::uint32_t length, off_t offset) {
  std::uint32_t done = 0;
  while (done < length) {
    ssize_t got = pread(fd, bytes + done, length - done, offset + done);
    if (got < 0) return false;
    if (got == 0) {  // beyond the file's end: never written, so erased
      for (std::uint32_t i = done; i < length; ++i) bytes[i] = 0;
      return true;
    }
    done += static_cast<std::uint32_t>(got);
  }
  return true;
}

bool WriteFully(int fd, const std::uint8_t* bytes, std::uint32_t length, off_t offset) {
  std::uint32_t done = 0;
  while (done < length) {
    ssize_t put = pwrite(fd, bytes + done, length - done, offset + done);
    if (put <= 0) return false;
    done += static_cast<std::uint32_t>(put);
  }
  return true;
}

}  // namespace

FlashDevice::~FlashDevice() {
  Close();
}

bool FlashDevice::Open(const std::string& path, std::uint32_t capacity) {
  Close();
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat info {};
  if (fstat(fd, &info) != 0 ||
      (info.st_size != static_cast<off_t>(capacity) && ftruncate(fd, capacity) != 0)) {
    close(fd);
    return false;
  }
  fd_ = fd;
  capacity_ = capacity;
  return true;
}

void FlashDevice::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  capacity_ = 0;
}

bool FlashDevice::Erase() {
  return fd_ >= 0 && ftruncate(fd_, 0) == 0 && ftruncate(fd_, capacity_) == 0;
}

bool FlashDevice::Read(std::uint32_t address, std::uint8_t* bytes, std::uint32_t length) const {
  if (fd_ < 0 || !Contains(address, length)) return false;
  if (!ReadFully(fd_, bytes, length, address)) return false;
  for (std::uint32_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(~bytes[i]);
  return true;
}

bool FlashDevice::IsErased(std::uint32_t address, std::uint32_t length) const {
  if (fd_ < 0 || !Contains(address, length)) return false;
  std::uint8_t stored[256];
  while (length > 0) {
    std::uint32_t chunk = length < sizeof(stored) ? length : sizeof(stored);
    if (!ReadFully(fd_, stored, chunk, address)) return false;
    for (std::uint32_t i = 0; i < chunk; ++i) {
      if (stored[i] != 0) return false;
    }
    address += chunk;
    length -= chunk;
  }
  return true;
}

bool FlashDevice::Program(std::uint32_t address, const std::uint8_t* bytes, std::uint32_t length) {
  if (fd_ < 0 || !Contains(address, length)) return false;
  std::uint8_t stored[256];
  while (length > 0) {
    std::uint32_t chunk = length < sizeof(stored) ? length : sizeof(stored);
    for (std::uint32_t i = 0; i < chunk; ++i) stored[i] = static_cast<std::uint8_t>(~bytes[i]);
    if (!WriteFully(fd_, stored, chunk, address)) return false;
    address += chunk;
    bytes += chunk;
    length -= chunk;
  }
  return true;
}

}  // namespace tarvo::sim
