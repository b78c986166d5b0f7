// What only Windows has: the common application data folder, the command line as one text,
// and Simple MAPI as the system provides it (wine's MAPI32.DLL here, run without wine's hand-off
// to the mail program of the machine underneath: a desktop with no mail program).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "log/log_file.h"
#include "platform/folders.h"
#include "platform/simple_mapi.h"
#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tarvo::platform {
namespace {

TEST(WindowsDataFolder, TheLogGoesToOrvaInProgramDataWhichIsCreatedWhenMissing) {
  test::ScopedEnvironment data("TARVO_DATA_DIR", std::nullopt);
  const std::string folder = DefaultLogFolder();
  EXPECT_EQ(folder, std::string(std::getenv("ProgramData")) + "\\orva");
  const bool existed = PathExists(folder);
  {
    LogFile log;
    ASSERT_TRUE(log.Open(folder)) << log.OpenFailure();
    EXPECT_TRUE(PathExists(JoinPath(folder, "TARVO_PROG.log")));
  }
  // A fresh machine (and wine prefix) has no orva folder yet: leave it as it was found.
  if (!existed) std::filesystem::remove_all(folder);
}

TEST(WindowsCommandLine, SwitchTextFollowsTheFirstExeAsTyped) {
  test::TempFolder temp;
  const auto probe = [&temp](const std::string& relativePath, const std::string& arguments) {
    const std::filesystem::path path = temp.File(relativePath);
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::copy_file(TARVO_SWITCH_PROBE_PATH, path,
                               std::filesystem::copy_options::overwrite_existing);
    const test::ProgramRun run = test::RunProgram(path.string(), arguments, temp.Path());
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
  };
  // A path with a blank is quoted: the closing quote is the one character skipped.
  EXPECT_EQ(probe("Program Files/ORVA/TARVO_PROG.exe", "-e"), "[ -e] e=1 p=0\n");
  EXPECT_EQ(probe("Program Files/ORVA/TARVO_PROG.exe", ""), "[] e=0 p=0\n");
  // Unquoted, upper case: the blank before the arguments is skipped; letters in any case.
  EXPECT_EQ(probe("ORVA/TARVO_PROG.EXE", "/P"), "[/p] e=0 p=1\n");
  // A folder named like a program moves the switch text there: "tools.exe\tarvo_prog.exe -x"
  // holds both letters.
  EXPECT_EQ(probe("tools.exe/tarvo_prog.exe", "-x"), "[tarvo_prog.exe -x] e=1 p=1\n");
}

TEST(WindowsSimpleMapi, SystemLibraryIsWiredAndNoMailProgramIsReportedClearly) {
  const MapiLibrary mapi;
  ASSERT_NE(mapi.Functions(), nullptr);
  std::vector<std::string> shown;
  test::TempFolder temp;
  test::WriteFileText(temp.File("TARVO_PROG.log"), "log");
  SendMailThroughMapi(mapi.Functions(), 0,
                      {{temp.File("TARVO_PROG.log")}, "support@orva.example", "subject", "body"},
                      [&shown](const std::string& text) { shown.push_back(text); });
  EXPECT_THAT(shown, ::testing::ElementsAre("Mapi error: MAPI_E_NOT_SUPPORTED"));
}

}  // namespace
}  // namespace tarvo::platform
