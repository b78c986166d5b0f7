// The service switches of the command line. The program knows two modes besides the normal
// one: emergency mode (the letter e) and packet generation mode (the letter p). The letters
// are looked for anywhere in the switch text, case-insensitively, with no dash or slash needed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo::ui {

struct StartModes {
  bool emergency = false;
  bool packetGeneration = false;
};

// The switch text of a command line given as one text (program path and arguments as the
// platform passes them), lower-cased: what follows ".exe" and the one character behind it
// (the closing quote of a quoted path, or the blank before the arguments). Empty when the
// command line holds no ".exe" or nothing stands behind it.
std::string SwitchTextFromCommandLine(std::string_view commandLine);

// The switch text of a program started with an argument vector (program path first). The
// vector is joined into one command line; where it holds ".exe" the rule above applies,
// otherwise the switch text is every argument after the program path, joined by blanks and
// lower-cased.
std::string SwitchTextFromArguments(const std::vector<std::string>& arguments);

// The start arguments of this process, as CTARVO_PROG takes them: on Windows the command line
// as the one text it was typed as (its switch text follows the ".exe" rule above), elsewhere
// the argument vector.
std::vector<std::string> StartArgumentsOfProcess(int argc, const char* const* argv);

StartModes ModesFromSwitchText(std::string_view switchText);

}  // namespace tarvo::ui
