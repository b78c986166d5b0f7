#include <gtest/gtest.h>

#include <string>

#include "log/log_file.h"
#include "log/log_seal.h"
#include "log/result_codes.h"
#include "platform/folders.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

platform::CalendarTime FixedTime() {
  platform::CalendarTime time;
  time.year = 2026;
  time.month = 12;
  time.day = 7;
  time.hour = 9;
  time.minute = 5;
  time.second = 3;
  time.millisecond = 42;
  return time;
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
    EXPECT_TRUE(log.Sealed());
  }

  test::TempFolder temp_;
};

TEST_F(LogFileTest, FirstRunWritesBannerLinesClosingLinesAndSeal) {
  Run({"hello"});
  const std::string body = kBanner + kStamp + "hello\r\n" + kClosing;
  const std::string content = Content();
  ASSERT_EQ(content.size(), body.size() + 8);
  EXPECT_EQ(content.substr(0, body.size()), body);
  EXPECT_TRUE(IsLogSealText(content.data() + body.size()));
  EXPECT_EQ(CheckLogSealFile(LogPath()).result, LogSealCheck::kValid);
}

TEST_F(LogFileTest, SecondRunStartsWhereTheFirstSealWasAndTheNewSealCoversBoth) {
  Run({"first"});
  const std::string first = Content();
  Run({"second"});
  const std::string both = Content();
  const std::size_t sealAt = first.size() - 8;
  EXPECT_EQ(both.substr(0, sealAt), first.substr(0, sealAt));
  EXPECT_EQ(both.substr(sealAt, kBanner.size()), kBanner);
  EXPECT_EQ(CheckLogSealFile(LogPath()).result, LogSealCheck::kValid);
}

TEST_F(LogFileTest, UnsealedPreviousRunKeepsEveryByte) {
  test::CreateFolderForTest(Folder());
  // A crashed run: its last line is whole, or cut off inside hexadecimal-looking text.
  for (const std::string& old :
       {std::string("09:00:00.000 last line\r\n"), std::string("09:00:00.000 checksum 0badcafe")}) {
    test::WriteFileText(LogPath(), old);
    Run({"next"});
    const std::string content = Content();
    EXPECT_EQ(content.substr(0, old.size()), old);
    EXPECT_EQ(content.substr(old.size(), kBanner.size()), kBanner);
    EXPECT_EQ(CheckLogSealFile(LogPath()).result, LogSealCheck::kValid);
  }
}

TEST_F(LogFileTest, FileShorterThanASealIsContinuedAtItsEnd) {
  test::CreateFolderForTest(Folder());
  test::WriteFileText(LogPath(), "abc1234");
  Run({});
  EXPECT_EQ(Content().substr(0, 7 + kBanner.size()), "abc1234" + kBanner);
}

TEST_F(LogFileTest, LineBreaksInsideTextsBecomeBlanks) {
  LogFile log(&FixedTime);
  ASSERT_TRUE(log.Open(Folder()));
  log.WriteLog("one\r\ntwo");
  log.WriteLog("Text\n");
  log.WriteLog("%s=%d", "value", 7);
  log.Close();
  EXPECT_NE(Content().find(kStamp + "one two\r\n" + kStamp + "Text \r\n" + kStamp + "value=7\r\n"),
            std::string::npos);
}

TEST_F(LogFileTest, FileAndDeviceErrorLines) {
  LogFile log(&FixedTime);
  ASSERT_TRUE(log.Open(Folder()));
  log.LogFileError("img.rom", ERR_FILE_NAME);
  log.LogDeviceError("Main FPGA", ERR_VERIFY_FAILED);
  log.LogDeviceError("Boot uP", 0x10000006);
  log.Close();
  const std::string content = Content();
  EXPECT_NE(content.find(kStamp + "File error: 'img.rom' not a valid filename or extension! \r\n"),
            std::string::npos);
  EXPECT_NE(content.find(kStamp + "Error programming device Main FPGA: Verify failed! \r\n"),
            std::string::npos);
  EXPECT_NE(content.find(kStamp + "Error programming device Boot uP: Undefined layer error "
                                  "10000006 at device 'Unknown device': No error text available! "
                                  "\r\n"),
            std::string::npos);
}

TEST_F(LogFileTest, SecondInstanceRunsWithoutALog) {
  LogFile first(&FixedTime);
  ASSERT_TRUE(first.Open(Folder()));

  LogFile second(&FixedTime);
  std::vector<std::string> told;
  second.SetFailureHandler([&](const std::string& failure) { told.push_back(failure); });
  EXPECT_FALSE(second.Open(Folder()));
  EXPECT_FALSE(second.IsOpen());
  EXPECT_TRUE(second.HeldByOther());
  EXPECT_EQ(told, std::vector<std::string>{LogPath() + " is held by another running instance"});
  EXPECT_EQ(second.OpenFailure(), told[0]);
  second.WriteLog("dropped");
  second.Close();

  // (Another process is refused the same way: the CLI end-to-end tests.)
  first.WriteLog("kept");
  first.Close();
  EXPECT_EQ(Content().find("dropped"), std::string::npos);
  EXPECT_NE(Content().find("kept"), std::string::npos);
  EXPECT_EQ(CheckLogSealFile(LogPath()).result, LogSealCheck::kValid);

  LogFile third(&FixedTime);
  EXPECT_TRUE(third.Open(Folder()));
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
}

TEST_F(LogFileTest, WithoutAFolderTheRunHasNoLog) {
  LogFile log(&FixedTime);
  EXPECT_FALSE(log.Open(""));
  log.WriteLog("nothing");
  log.Close();
  EXPECT_FALSE(log.IsOpen());
}

}  // namespace
}  // namespace tarvo
