#include <string.h>

#include <cerrno>

#include "platform/system_error.h"

namespace tarvo::platform {

namespace {

// strerror_r comes in two forms: the GNU one returns the text, the POSIX one fills the buffer.
[[maybe_unused]] const char* ErrorText(const char* text, const char*) {
  return text;
}
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
  return result == 0 ? buffer : "unknown error";
}

}  // namespace

std::string LastSystemErrorText() {
  const int error = errno;
  char buffer[256] = {};
  return ErrorText(strerror_r(error, buffer, sizeof buffer), buffer);
}

}  // namespace tarvo::platform
