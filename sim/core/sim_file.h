// What the simulated camera needs of the system: the files of its camera folder, read and
// written at offsets, resized, locked against other processes, and mapped shared so that every
// process and every load of an interface library sees the same bytes; and plain waits. POSIX and
// Win32 implementations (sim_file_posix.cpp, sim_file_win32.cpp).
//
// The interface libraries use the system's calls directly, not the C++ thread library: on
// Windows that library is linked into each DLL and takes a thread-local slot of the process at
// its first use that it never gives back, and a program loads the DLL anew for every camera
// operation, so a long session would run out of slots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvo::sim {

class SimFile {
 public:
  SimFile() = default;
  ~SimFile() { Close(); }
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

// Waits the given time (the camera's latency and its command timeout).
void PauseMilliseconds(std::uint32_t milliseconds);

}  // namespace tarvo::sim
