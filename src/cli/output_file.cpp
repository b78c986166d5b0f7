#include "cli/output_file.h"

#include "log/format_text.h"
#include "platform/folders.h"
#include "platform/same_file.h"

namespace tarvo::cli {

bool OutputAllowed(const std::string& output, const std::vector<std::string>& inputs, bool force,
                   CommandOutput& out) {
  for (const std::string& input : inputs) {
    if (platform::IsSameFile(output, input)) {
      out.Fail(kExitFailed, "same-file",
               FormatText("%s is the input file %s: a command never writes over its own input.",
                          output.c_str(), input.c_str()));
      return false;
    }
  }
  if (!force && platform::PathExists(output)) {
    out.Fail(kExitFailed, "file-exists",
             FormatText("%s exists already: give --force to replace it.", output.c_str()));
    return false;
  }
  return true;
}

bool WriteOutputFile(const std::string& path, const void* bytes, std::size_t size, bool force,
                     CommandOutput& out) {
  platform::AtomicFile file(path);
  if (file.Create() && file.Write(bytes, size) && file.Commit(ReplaceModeFor(force))) return true;
  out.Fail(kExitFailed, "write-failed",
           FormatText("Writing file %s failed: %s.", path.c_str(), file.Error().c_str()));
  return false;
}

}  // namespace tarvo::cli
