#include <windows.h>

#include <cstring>

#include "sim/core/sim_file.h"

namespace tarvo::sim {

namespace {

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

}  // namespace

bool SimFile::Open(const std::string& path) {
  Close();
  // Shared for reading, writing and deleting: every process that simulates the camera opens
  // the same files; the lock file orders their access.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

void SimFile::Close() {
  Unmap();
  if (IsOpen()) CloseHandle(Handle(handle_));
  handle_ = kNoHandle;
}

bool SimFile::Size(std::uint64_t* size) const {
  LARGE_INTEGER length;
  if (!IsOpen() || !GetFileSizeEx(Handle(handle_), &length)) return false;
  *size = static_cast<std::uint64_t>(length.QuadPart);
  return true;
}

bool SimFile::Resize(std::uint64_t size) {
  if (!IsOpen()) return false;
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(Handle(handle_), position, nullptr, FILE_BEGIN) &&
         SetEndOfFile(Handle(handle_));
}

bool SimFile::ReadAt(std::uint64_t offset, std::uint8_t* bytes, std::uint32_t length) const {
  if (!IsOpen()) return false;
  std::uint32_t done = 0;
  while (done < length) {
    OVERLAPPED position = At(offset + done);
    DWORD got = 0;
    if (!ReadFile(Handle(handle_), bytes + done, length - done, &got, &position)) {
      if (GetLastError() != ERROR_HANDLE_EOF) return false;
      got = 0;
    }
    if (got == 0) {  // beyond the file's end
      std::memset(bytes + done, 0, length - done);
      return true;
    }
    done += got;
  }
  return true;
}

bool SimFile::WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::uint32_t length) {
  if (!IsOpen()) return false;
  std::uint32_t done = 0;
  while (done < length) {
    OVERLAPPED position = At(offset + done);
    DWORD put = 0;
    if (!WriteFile(Handle(handle_), bytes + done, length - done, &put, &position) || put == 0) {
      return false;
    }
    done += put;
  }
  return true;
}

void SimFile::Lock() {
  OVERLAPPED whole{};
  LockFileEx(Handle(handle_), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
}

void SimFile::Unlock() {
  OVERLAPPED whole{};
  UnlockFileEx(Handle(handle_), 0, MAXDWORD, MAXDWORD, &whole);
}

void* SimFile::MapShared(std::size_t size) {
  Unmap();
  HANDLE mapping = CreateFileMappingA(Handle(handle_), nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(size), nullptr);
  if (mapping == nullptr) return nullptr;
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size);
  if (view == nullptr) {
    CloseHandle(mapping);
    return nullptr;
  }
  mapping_ = reinterpret_cast<std::intptr_t>(mapping);
  view_ = view;
  viewSize_ = size;
  return view_;
}

void SimFile::Unmap() {
  if (view_ != nullptr) UnmapViewOfFile(view_);
  if (mapping_ != kNoHandle) CloseHandle(Handle(mapping_));
  view_ = nullptr;
  viewSize_ = 0;
  mapping_ = kNoHandle;
}

void PauseMilliseconds(std::uint32_t milliseconds) {
  Sleep(milliseconds);
}

}  // namespace tarvo::sim
