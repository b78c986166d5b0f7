// The parts of a file written whole or not at all that are the same on every system; the
// temporary's creation, writing and renaming are in atomic_file_posix.cpp and
// atomic_file_win32.cpp.
#include "platform/atomic_file.h"

#include <utility>

#include "platform/system_error.h"

namespace tarvo::platform {

AtomicFile::AtomicFile(std::string targetPath) : target_(std::move(targetPath)) {}

AtomicFile::~AtomicFile() {
  Discard();
}

bool AtomicFile::Fail() {
  error_ = LastSystemErrorText();
  Discard();
  return false;
}

}  // namespace tarvo::platform
