#include <gtest/gtest.h>

#include <string>

#include "log/log_seal.h"
#include "log/result_codes.h"
#include "log_file_fixture.h"

namespace tarvo {
namespace {

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
  EXPECT_FALSE(second.Open(Folder()));
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.OpenFailure().empty());
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

TEST_F(LogFileTest, WithoutAFolderTheRunHasNoLog) {
  LogFile log(&FixedTime);
  EXPECT_FALSE(log.Open(""));
  log.WriteLog("nothing");
  log.Close();
  EXPECT_FALSE(log.IsOpen());
}

}  // namespace
}  // namespace tarvo
