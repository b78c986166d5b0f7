// Every fixed text of the system is a printf format; this is the one checked way to fill one.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

namespace tarvo {

#if defined(__MINGW32__)
// mingw-w64's own C99 printf (__USE_MINGW_ANSI_STDIO) fills the texts on Windows, so they come
// out as on Linux (%zu, %lld, two-digit exponents); its formats are checked as GNU formats.
#define TARVO_PRINTF_FORMAT(formatIndex, firstArgument) \
  __attribute__((format(gnu_printf, formatIndex, firstArgument)))
#elif defined(__GNUC__) || defined(__clang__)
#define TARVO_PRINTF_FORMAT(formatIndex, firstArgument) \
  __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define TARVO_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

std::string FormatText(const char* format, ...) TARVO_PRINTF_FORMAT(1, 2);
std::string FormatTextV(const char* format, std::va_list arguments);

// The parts with the separator between them: "Main FPGA, Power uP".
std::string JoinTexts(const std::vector<std::string>& parts, const char* separator);

}  // namespace tarvo
