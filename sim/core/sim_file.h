// A file of the camera folder, as the simulated camera uses its files on every system: read and
// written at offsets, resized, locked against other processes, and mapped shared so that every
// process and every load of an interface library sees the same bytes. POSIX and Win32
// implementations (sim_file_posix.cpp, sim_file_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvo::sim {

class SimFile {
 public:
  SimFile() = default;
  ~SimFile();
  SimFile(const SimFile&) = delete;
  SimFile& operator=(const SimFile&) = delete;

  // Opens the file for reading and writing, creating it when missing; false when it cannot be
  // opened. The handle is not passed on to child processes.
  [[nodiscard]] bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return handle_ != kNoHandle; }

  [[nodiscard]] bool Size(std::uint64_t* size) const;
  // Cuts or extends the file; extended bytes read as zero (and take no disk space where the
  // file system keeps holes).
  [[nodiscard]] bool Resize(std::uint64_t size);
  // Reads the range; bytes beyond the end of the file read as zero.
  [[nodiscard]] bool ReadAt(std::uint64_t offset, std::uint8_t* bytes, std::uint32_t length) const;
  [[nodiscard]] bool WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::uint32_t length);

  // Exclusive lock between processes (and between opens of the file in one process); Lock
  // waits for it.
  void Lock();
  void Unlock();

  // Maps the first `size` bytes shared; nullptr on failure. One mapping per file at a time.
  void* MapShared(std::size_t size);
  void Unmap();

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;   // file descriptor or HANDLE
  std::intptr_t mapping_ = kNoHandle;  // Windows: the file mapping object
  void* view_ = nullptr;
  std::size_t viewSize_ = 0;
};

}  // namespace tarvo::sim
