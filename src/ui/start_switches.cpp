#include "ui/start_switches.h"

#include <algorithm>
#include <cctype>

#include "platform/command_line.h"

namespace tarvo::ui {
namespace {

constexpr std::string_view kProgramExtension = ".exe";
// ".exe" and the one character that separates the path from the arguments.
constexpr std::size_t kSwitchTextSkip = kProgramExtension.size() + 1;

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

}  // namespace

std::string SwitchTextFromCommandLine(std::string_view commandLine) {
  const std::string lower = LowerCase(commandLine);
  const std::size_t extension = lower.find(kProgramExtension);
  if (extension == std::string::npos) return {};
  const std::size_t start = extension + kSwitchTextSkip;
  if (start >= lower.size()) return {};
  return lower.substr(start);
}

std::string SwitchTextFromArguments(const std::vector<std::string>& arguments) {
  std::string commandLine;
  std::string afterProgram;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) commandLine += ' ';
    commandLine += arguments[i];
    if (i > 1) afterProgram += ' ';
    if (i > 0) afterProgram += arguments[i];
  }
  if (LowerCase(commandLine).find(kProgramExtension) != std::string::npos) {
    return SwitchTextFromCommandLine(commandLine);
  }
  return LowerCase(afterProgram);
}

std::vector<std::string> StartArgumentsOfProcess(int argc, const char* const* argv) {
  const std::string commandLine = platform::ProcessCommandLine();
  if (!commandLine.empty()) return {commandLine};
  return std::vector<std::string>(argv, argv + argc);
}

StartModes ModesFromSwitchText(std::string_view switchText) {
  StartModes modes;
  for (const char c : switchText) {
    const int lower = std::tolower(static_cast<unsigned char>(c));
    if (lower == 'e') modes.emergency = true;
    if (lower == 'p') modes.packetGeneration = true;
  }
  return modes;
}

}  // namespace tarvo::ui
