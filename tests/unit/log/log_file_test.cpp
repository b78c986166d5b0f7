#include <gtest/gtest.h>

#include <string>

#include "log/log_file.h"
#include "log/log_seal.h"
#include "platform/folders.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

platform::CalendarTime FixedTime() {
  return {2026, 12, 7, 9, 5, 3, 42};
}

const std::string kStamp = "09:05:03.042 ";
const std::string kBanner =
    kStamp + "==============================\r\n" + kStamp + "Programmer started 2026.12.07.\r\n";
const std::string kClosing = kStamp + "Programmer closed.\r\n" + kStamp + "==================\r\n";

class LogFileTest : public ::testing::Test {
 protected:
  std::string Folder() const { return temp_.File("orva"); }
  std::string LogPath() const { return platform::JoinPath(Folder(), "TARVO_PROG.log"); }
  std::string Content() const { return test::ReadFileText(LogPath()); }

  // One whole run writing the given lines.
  void Run(std::initializer_list<std::string> lines) {
    LogFile log(&FixedTime);
    ASSERT_TRUE(log.Open(Folder()));
    for (const std::string& line : lines) log.WriteLine(line);
    log.Close();
  }

  test::TempFolder temp_;
};

// Each run writes banner, lines (CRs dropped, LFs as blanks), closing lines and a seal over the
// file; a run that ended without one (crashed, maybe inside hex-like text) keeps every byte.
TEST_F(LogFileTest, EachRunReplacesTheSealOfTheRunBeforeAndKeepsEveryOtherByte) {
  test::CreateFolderForTest(Folder());
  for (const std::string old :
       {"09:00:00.000 last line\r\n", "09:00:00.000 checksum 0badcafe", "abc1234"}) {
    test::WriteFileText(LogPath(), old);
    Run({});
    EXPECT_EQ(Content().substr(0, old.size() + kBanner.size()), old + kBanner);
  }
  const std::string before = Content().substr(0, Content().size() - 8);
  Run({"one\r\ntwo", "Text\n"});
  Run({"second"});
  EXPECT_EQ(Content().substr(0, Content().size() - 8),
            before + kBanner + kStamp + "one two\r\n" + kStamp + "Text \r\n" + kClosing + kBanner +
                kStamp + "second\r\n" + kClosing);
  EXPECT_EQ(CheckLogSealFile(LogPath()).result, LogSealCheck::kValid);
}

TEST_F(LogFileTest, WriteErrorStopsLoggingKeepsWhatTheFileHeldAndSaysWhy) {
  Run({"before"});
  const std::string before = Content();
  // The disk fills up a little after the banner.
  const int status = test::RunOnFullDisk(before.size() + 150, [&] {
    LogFile log(&FixedTime);
    int told = 0;
    log.SetFailureHandler([&](const std::string&) { ++told; });
    if (!log.Open(Folder())) return 2;
    for (int i = 0; i < 100 && log.IsOpen(); ++i)
      log.WriteLog("line %d of a run on a full disk", i);
    log.Close();
    const bool said = log.WriteFailure() == "writing " + LogPath() + " failed: File too large";
    return !log.IsOpen() && !log.Sealed() && said && told == 1 ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  const std::string after = Content();
  const std::size_t kept = before.size() - 8;
  EXPECT_EQ(after.substr(0, kept), before.substr(0, kept));
  EXPECT_LE(after.size(), before.size() + 150);
}

TEST_F(LogFileTest, AFolderThatCannotBeMadeLeavesTheRunWithoutALogAndSaysWhy) {
  test::WriteFileText(temp_.File("file"), "");
  LogFile log(&FixedTime);
  EXPECT_FALSE(log.Open(temp_.File("file/orva")));
#ifdef _WIN32
  const char* const reason = "No such file or directory";  // Windows: path not found
#else
  const char* const reason = "Not a directory";
#endif
  EXPECT_EQ(log.OpenFailure(),
            temp_.File("file/orva/TARVO_PROG.log") + " cannot be opened for writing: " + reason);
  EXPECT_FALSE(log.HeldByOther());
  EXPECT_FALSE(log.Open(""));
  EXPECT_EQ(log.OpenFailure(), "no data folder could be determined");
}

}  // namespace
}  // namespace tarvo
