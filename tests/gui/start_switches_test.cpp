#include "ui/start_switches.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace tarvo::ui {
namespace {

TEST(SwitchTextFromCommandLine, TextStartsOneCharacterBehindTheExtension) {
  EXPECT_EQ(SwitchTextFromCommandLine("\"C:\\Program Files\\ORVA\\TARVO_PROG.exe\""), "");
  // A trailing blank is all there is: no letter, no mode.
  EXPECT_EQ(SwitchTextFromCommandLine("\"C:\\Program Files\\ORVA\\TARVO_PROG.exe\" "), " ");
  EXPECT_EQ(SwitchTextFromCommandLine("\"C:\\x\\TARVO_PROG.exe\" -e"), " -e");
  EXPECT_EQ(SwitchTextFromCommandLine("C:\\x\\TARVO_PROG.exe -p"), "-p");
  EXPECT_EQ(SwitchTextFromCommandLine("C:\\X\\TARVO_PROG.EXE -E /P"), "-e /p");
  // A folder named like a program moves the switch text.
  EXPECT_EQ(SwitchTextFromCommandLine("C:\\tools.exe\\TARVO_PROG.exe"), "tarvo_prog.exe");
  // Without an extension there is no switch text.
  EXPECT_EQ(SwitchTextFromCommandLine("/opt/orva/tarvo_prog -e"), "");
}

TEST(SwitchTextFromArguments, LinuxArgumentsAfterProgramPathJoinedByBlanks) {
  EXPECT_EQ(SwitchTextFromArguments({"/opt/orva/tarvo_prog"}), "");
  EXPECT_EQ(SwitchTextFromArguments({"/opt/orva/tarvo_prog", "-E"}), "-e");
  EXPECT_EQ(SwitchTextFromArguments({"/opt/orva/tarvo_prog", "-x", "/P"}), "-x /p");
  EXPECT_EQ(SwitchTextFromArguments({}), "");
  // An extension anywhere follows the command line rule.
  EXPECT_EQ(SwitchTextFromArguments({"C:\\x\\TARVO_PROG.EXE", "-p"}), "-p");
  EXPECT_EQ(SwitchTextFromArguments({"/srv/old.exe/tarvo_prog", "-x"}), "tarvo_prog -x");
}

TEST(ModesFromSwitchText, LettersAnywhereSwitchModesOn) {
  // {emergency, packet generation}
  const auto modes = [](const std::string& text) {
    const StartModes m = ModesFromSwitchText(text);
    return std::pair{m.emergency, m.packetGeneration};
  };
  EXPECT_EQ(modes(""), std::pair(false, false));
  EXPECT_EQ(modes("-e"), std::pair(true, false));
  EXPECT_EQ(modes("-p"), std::pair(false, true));
  // "/help" holds both letters.
  EXPECT_EQ(modes(SwitchTextFromArguments({"tarvo_prog", "/HELP"})), std::pair(true, true));
  EXPECT_EQ(modes("-x /q 17"), std::pair(false, false));
}

}  // namespace
}  // namespace tarvo::ui
