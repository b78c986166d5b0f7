#include "cli/output_file.h"

#include "cli/terminal_report.h"
#include "log/format_text.h"
#include "platform/folders.h"
#include "platform/same_file.h"

namespace tarvo::cli {

bool OutputAllowed(const std::string& output, const std::vector<std::string>& inputs, bool force) {
  for (const std::string& input : inputs) {
    if (platform::IsSameFile(output, input)) {
      PrintError(FormatText("%s is the input file %s: a command never writes over its own input.",
                            output.c_str(), input.c_str()));
      return false;
    }
  }
  if (!force && platform::PathExists(output)) {
    PrintError(FormatText("%s exists already: give --force to replace it.", output.c_str()));
    return false;
  }
  return true;
}

bool WriteOutputFile(const std::string& path, const void* bytes, std::size_t size, bool force) {
  platform::AtomicFile file(path);
  if (file.Create() && file.Write(bytes, size) && file.Commit(ReplaceModeFor(force))) return true;
  PrintError(FormatText("Writing file %s failed: %s.", path.c_str(), file.Error().c_str()));
  return false;
}

}  // namespace tarvo::cli
