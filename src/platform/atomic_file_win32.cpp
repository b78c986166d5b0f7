#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/system_error.h"

namespace tarvo::platform {

namespace {

std::atomic<unsigned> temporaryCounter{0};

}  // namespace

bool AtomicFile::Create() {
  Discard();
  committed_ = finished_ = false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = target_ + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(temporaryCounter.fetch_add(1));
    // Nobody else writes or removes the temporary while it is being filled.
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
      temporary_ = std::move(name);
      if (handle_ < 0) {
        CloseHandle(file);
        return Fail();
      }
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return Fail();
}

bool AtomicFile::Write(const void* data, std::size_t size) {
  if (handle_ < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return Fail();
  }
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
    const int written = _write(handle_, bytes, chunk);
    if (written <= 0) return Fail();
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool AtomicFile::Finish() {
  if (finished_) return true;
  if (handle_ < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return Fail();
  }
  if (!FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(handle_)))) return Fail();
  if (_close(std::exchange(handle_, -1)) != 0) return Fail();
  finished_ = true;
  return true;
}

bool AtomicFile::Commit(ReplaceMode mode) {
  if (!Finish()) return false;
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken, atomically.
  DWORD flags = MOVEFILE_WRITE_THROUGH;
  if (mode == ReplaceMode::kReplace) flags |= MOVEFILE_REPLACE_EXISTING;
  if (!MoveFileExA(temporary_.c_str(), target_.c_str(), flags)) return Fail();
  committed_ = true;
  temporary_.clear();
  return true;
}

void AtomicFile::Discard() {
  const DWORD savedError = GetLastError();
  if (handle_ >= 0) _close(std::exchange(handle_, -1));
  if (!committed_ && !temporary_.empty()) DeleteFileA(temporary_.c_str());
  temporary_.clear();
  finished_ = false;
  SetLastError(savedError);
}

}  // namespace tarvo::platform
