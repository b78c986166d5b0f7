// The files tarvo-cli writes: never over one of the command's own inputs, however the paths are
// spelled, and over an existing file only when the user gave --force.
#pragma once

#include <string>
#include <vector>

#include "platform/atomic_file.h"

namespace tarvo::cli {

// Whether the command may write its output file; prints why not.
bool OutputAllowed(const std::string& output, const std::vector<std::string>& inputs, bool force);

inline platform::ReplaceMode ReplaceModeFor(bool force) {
  return force ? platform::ReplaceMode::kReplace : platform::ReplaceMode::kKeepExisting;
}

// Writes the bytes to the file whole, or leaves no file and the old one as it was; prints the
// path and the system's reason on failure.
bool WriteOutputFile(const std::string& path, const void* bytes, std::size_t size, bool force);

}  // namespace tarvo::cli
