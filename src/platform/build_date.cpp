// The date and time this program was compiled, as the compiler writes them ("Dec  7 2026",
// "13:05:09"); the window's start line names them.
#include "platform/local_time.h"

namespace tarvo::platform {

const char* BuildDateText() {
  return __DATE__;
}
const char* BuildTimeText() {
  return __TIME__;
}

}  // namespace tarvo::platform
