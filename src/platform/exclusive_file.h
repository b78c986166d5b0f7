// The log file is written by one process at a time: it is opened with writing denied to
// every other process (flock on Linux, share mode on Windows); readers stay allowed.
#pragma once

#include <cstdio>
#include <string>

namespace tarvo::platform {

enum class ExclusiveOpenResult { kOpened, kHeldByOther, kFailed };

// Opens a file in binary mode for reading and writing, creating it when missing and keeping
// its content. Returns nullptr with kHeldByOther when another process (or another open of the
// same file in this process) holds it, or kFailed when it cannot be opened at all.
std::FILE* OpenExclusiveForWriting(const std::string& path, ExclusiveOpenResult* result);

}  // namespace tarvo::platform
