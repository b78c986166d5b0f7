#include "ui/start_switches.h"

#include <gtest/gtest.h>

namespace tarvo::ui {
namespace {

TEST(SwitchTextFromCommandLine, QuotedProgramPathAloneHasNoSwitches) {
  EXPECT_EQ(SwitchTextFromCommandLine("\"C:\\Program Files\\ORVA\\TARVO_PROG.exe\""), "");
  // A trailing blank is all there is: no letter, no mode.
  EXPECT_EQ(SwitchTextFromCommandLine("\"C:\\Program Files\\ORVA\\TARVO_PROG.exe\" "), " ");
}

TEST(SwitchTextFromCommandLine, TextStartsBehindExtensionAndOneCharacter) {
  EXPECT_EQ(SwitchTextFromCommandLine("\"C:\\x\\TARVO_PROG.exe\" -e"), " -e");
  EXPECT_EQ(SwitchTextFromCommandLine("C:\\x\\TARVO_PROG.exe -p"), "-p");
}

TEST(SwitchTextFromCommandLine, UpperCaseCountsLikeLowerCase) {
  EXPECT_EQ(SwitchTextFromCommandLine("C:\\X\\TARVO_PROG.EXE -E /P"), "-e /p");
}

TEST(SwitchTextFromCommandLine, FolderNamedLikeProgramMovesTheSwitchText) {
  EXPECT_EQ(SwitchTextFromCommandLine("C:\\tools.exe\\TARVO_PROG.exe"), "tarvo_prog.exe");
}

TEST(SwitchTextFromCommandLine, WithoutExtensionThereIsNoSwitchText) {
  EXPECT_EQ(SwitchTextFromCommandLine("/opt/orva/tarvo_prog -e"), "");
}

TEST(SwitchTextFromArguments, LinuxArgumentsAfterProgramPathJoinedByBlanks) {
  EXPECT_EQ(SwitchTextFromArguments({"/opt/orva/tarvo_prog"}), "");
  EXPECT_EQ(SwitchTextFromArguments({"/opt/orva/tarvo_prog", "-E"}), "-e");
  EXPECT_EQ(SwitchTextFromArguments({"/opt/orva/tarvo_prog", "-x", "/P"}), "-x /p");
  EXPECT_EQ(SwitchTextFromArguments({}), "");
}

TEST(SwitchTextFromArguments, ExtensionAnywhereFollowsTheCommandLineRule) {
  EXPECT_EQ(SwitchTextFromArguments({"C:\\x\\TARVO_PROG.EXE", "-p"}), "-p");
  EXPECT_EQ(SwitchTextFromArguments({"/srv/old.exe/tarvo_prog", "-x"}), "tarvo_prog -x");
}

TEST(ModesFromSwitchText, LettersAnywhereSwitchModesOn) {
  const StartModes none = ModesFromSwitchText("");
  EXPECT_FALSE(none.emergency);
  EXPECT_FALSE(none.packetGeneration);

  const StartModes emergency = ModesFromSwitchText("-e");
  EXPECT_TRUE(emergency.emergency);
  EXPECT_FALSE(emergency.packetGeneration);

  const StartModes packet = ModesFromSwitchText("-p");
  EXPECT_FALSE(packet.emergency);
  EXPECT_TRUE(packet.packetGeneration);

  // "/help" holds both letters.
  const StartModes help = ModesFromSwitchText(SwitchTextFromArguments({"tarvo_prog", "/HELP"}));
  EXPECT_TRUE(help.emergency);
  EXPECT_TRUE(help.packetGeneration);

  const StartModes other = ModesFromSwitchText("-x /q 17");
  EXPECT_FALSE(other.emergency);
  EXPECT_FALSE(other.packetGeneration);
}

}  // namespace
}  // namespace tarvo::ui
