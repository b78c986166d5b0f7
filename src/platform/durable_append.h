// Appending a record to a file so that it is on disk when the call returns: a program killed or
// a machine losing power right afterwards still finds it. A record never continues a torn line
// that an earlier crash left at the end of the file: it starts on a line of its own.
#pragma once

#include <string>

namespace tarvo::platform {

// Appends the line and a line end, creating the file when missing, and syncs it to disk.
// false with the system's reason in `error` when any step fails.
[[nodiscard]] bool AppendLineDurably(const std::string& path, const std::string& line,
                                     std::string* error);

}  // namespace tarvo::platform
