// Between the shared folder code and each system's folder file: the data folders as the system
// names them, before the TARVO_DATA_DIR override, and the file-name test both searches use.
#pragma once

#include <string>

namespace tarvo::platform {

std::string SystemCommonDataFolder();
std::string SystemUserDataFolder();

// Whether the text ends in the tail, letters compared case-insensitively as Windows does.
bool EndsWithIgnoringCase(const std::string& text, const std::string& tail);

}  // namespace tarvo::platform
