// The files tarvo-cli writes: never over one of the command's own inputs, however the paths are
// spelled, and over an existing file only when the user gave --force.
#pragma once

#include <string>
#include <vector>

#include "cli/command_output.h"
#include "cli/command_table.h"
#include "platform/atomic_file.h"

namespace tarvo::cli {

// Whether the command may write its output file; when not, the command's failure says why
// (same-file, file-exists).
bool OutputAllowed(const std::string& output, const std::vector<std::string>& inputs, bool force,
                   CommandOutput& out);

inline platform::ReplaceMode ReplaceModeFor(bool force) {
  return force ? platform::ReplaceMode::kReplace : platform::ReplaceMode::kKeepExisting;
}

// Writes the bytes to the file whole, or leaves no file and the old one as it was; the
// command's failure (write-failed) names the path and the system's reason.
bool WriteOutputFile(const std::string& path, const void* bytes, std::size_t size, bool force,
                     CommandOutput& out);

}  // namespace tarvo::cli
