// The system's own words for why a file operation failed ("No space left on device"), so that
// a message can name the reason as well as the file.
#pragma once

#include <string>

namespace tarvo::platform {

// The reason of the last failed file operation of this thread (errno on POSIX; the last error
// of the file functions on Windows). Take it right after the failure: later calls replace it.
std::string LastSystemErrorText();

}  // namespace tarvo::platform
