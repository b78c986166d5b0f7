// The terminal as the engine's window: what lands on which stream, how bars and countdowns are
// drawn on a terminal and not elsewhere, and how questions are answered.
#include "cli/terminal_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace tarvo::cli {
namespace {

// A stream the window writes to, read back as text.
class CapturedStream {
 public:
  CapturedStream() : file_(std::tmpfile()) {}
  ~CapturedStream() { std::fclose(file_); }
  CapturedStream(const CapturedStream&) = delete;
  CapturedStream& operator=(const CapturedStream&) = delete;

  std::FILE* File() const { return file_; }
  std::string Text() const {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file_)) > 0) text.append(buffer, got);
    std::fseek(file_, 0, SEEK_END);
    return text;
  }

 private:
  std::FILE* file_;
};

constexpr ProgressColour kQueued{160, 160, 160};
constexpr ProgressColour kRunning{0, 0, 255};
constexpr ProgressColour kDone{0, 255, 0};
constexpr ProgressColour kFailed{255, 0, 0};
constexpr ProgressColour kBackground{248, 248, 248};

class TerminalWindowTest : public ::testing::Test {
 protected:
  TerminalOptions Options(bool terminal) {
    TerminalOptions options;
    options.results = results_.File();
    options.status = status_.File();
    options.drawProgress = terminal;
    options.askQuestions = terminal;
    options.answers = &answers_;
    return options;
  }

  CapturedStream results_;
  CapturedStream status_;
  std::istringstream answers_;
};

TEST_F(TerminalWindowTest, ResultBoxIsOneLineOnTheResultStreamAndIsRecorded) {
  TerminalWindow window(Options(false));
  window.ShowMessageBox("Updating firmware\nin camera SN 4711\nFAILED!",
                        "Operation Status:", MessageIcon::kError);
  window.ShowMessageBox("Version check\r\n", "Operation Status:", MessageIcon::kInformation);
  EXPECT_EQ(results_.Text(),
            "Operation Status: Updating firmware in camera SN 4711 FAILED!\n"
            "Operation Status: Version check\n");
  EXPECT_EQ(status_.Text(), "");
  ASSERT_EQ(window.ResultBoxes().size(), 2u);
  EXPECT_EQ(window.ResultBoxes()[0].text, "Updating firmware\nin camera SN 4711\nFAILED!");
  EXPECT_EQ(window.ResultBoxes()[0].icon, MessageIcon::kError);
  EXPECT_EQ(window.ResultBoxes()[1].icon, MessageIcon::kInformation);
}

TEST_F(TerminalWindowTest, WithoutATerminalEveryStatusLineStandsAndNoBarIsDrawn) {
  TerminalWindow window(Options(false));
  window.SetStatusText("Program device Main FPGA ...");
  window.SetDeviceProgressColours(2, kRunning, kBackground);
  window.SetDeviceProgressPosition(2, 40);
  window.SetStatusText("Waiting for camera to reconnect. Waiting 2 s.");
  window.SetStatusText("Waiting for camera to reconnect. Waiting 1 s.");
  EXPECT_EQ(status_.Text(),
            "Program device Main FPGA ...\n"
            "Waiting for camera to reconnect. Waiting 2 s.\n"
            "Waiting for camera to reconnect. Waiting 1 s.\n");
  EXPECT_EQ(window.StatusText(), "Waiting for camera to reconnect. Waiting 1 s.");
}

TEST_F(TerminalWindowTest, OnATerminalTheRunningDeviceHasABarUntilItEnds) {
  TerminalWindow window(Options(true));
  window.SetDeviceProgressColours(2, kRunning, kBackground);
  window.SetDeviceProgressPosition(2, 50);
  window.SetDeviceProgressPosition(2, 50);  // no change, no redraw
  window.SetStatusText("Program device Main FPGA ...");
  window.SetDeviceProgressColours(2, kDone, kBackground);
  window.SetDeviceProgressPosition(2, 100);  // the bar has gone; nothing is drawn
  const std::string empty(30, '.');
  const std::string half = std::string(15, '#') + std::string(15, '.');
  EXPECT_EQ(status_.Text(),
            "\r\033[KMain FPGA  [" + empty + "]   0%" +                  // running
                "\r\033[KMain FPGA  [" + half + "]  50%" +               // 50 %
                "\r\033[KProgram device Main FPGA ...\n" +               // status above
                "\r\033[KMain FPGA  [" + half + "]  50%" + "\r\033[K");  // bar gone
}

TEST_F(TerminalWindowTest, OnATerminalACountdownStaysInOneLine) {
  TerminalWindow window(Options(true));
  window.SetStatusText("Rebooting camera. Please wait ...");
  window.SetStatusText("Waiting for camera to reconnect. Waiting 30 s.");
  window.SetStatusText("Waiting for camera to reconnect. Waiting 29 s.");
  window.ShowMessageBox("Note", "Operation Status:", MessageIcon::kInformation);
  window.SetStatusText("Waiting for camera to reconnect. Waiting 28 s.");
  EXPECT_EQ(status_.Text(),
            "Rebooting camera. Please wait ...\n"
            "Waiting for camera to reconnect. Waiting 30 s.\n"
            "\033[A\r\033[KWaiting for camera to reconnect. Waiting 29 s.\n"
            // after other output the line above is not the countdown any more
            "Waiting for camera to reconnect. Waiting 28 s.\n");
}

TEST_F(TerminalWindowTest, AFailedDeviceEndsItsBarAndTheNextDeviceGetsItsOwn) {
  TerminalWindow window(Options(true));
  window.SetDeviceProgressColours(0, kRunning, kBackground);
  window.SetDeviceProgressColours(0, kFailed, kBackground);
  window.SetDeviceProgressColours(1, kQueued, kQueued);
  window.SetStatusText("ERROR: Programming device Boot uP failed!");
  const std::string text = status_.Text();
  EXPECT_EQ(text.find("Boot FPGA"), std::string::npos);
  const std::string last = "\r\033[KERROR: Programming device Boot uP failed!\n";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

TEST_F(TerminalWindowTest, QuestionsAreAnsweredByYesAskedOnATerminalOrElseAnsweredNo) {
  const std::string question =
      "Creating backup file failed!\nDo you still want to proceed\n"
      "updating the camera?";
  {
    TerminalOptions options = Options(false);
    options.answerYes = true;
    TerminalWindow window(options);
    EXPECT_TRUE(window.AskYesNo(question));
  }
  {
    TerminalWindow window(Options(false));
    answers_.str("y\n");
    EXPECT_FALSE(window.AskYesNo(question));  // no terminal: not asked, not read
  }
  EXPECT_EQ(status_.Text(),
            "Creating backup file failed! Do you still want to proceed updating the camera? "
            "yes (--yes)\n"
            "Creating backup file failed! Do you still want to proceed updating the camera? "
            "no (not asked without a terminal; --yes answers yes)\n");

  TerminalWindow asking(Options(true));
  answers_.clear();
  answers_.str("Yes\nn\nmaybe\n");
  EXPECT_TRUE(asking.AskYesNo(question));
  EXPECT_FALSE(asking.AskYesNo(question));
  EXPECT_FALSE(asking.AskYesNo(question));
  EXPECT_FALSE(asking.AskYesNo(question));  // end of input
  EXPECT_NE(status_.Text().find("updating the camera? [y/N] "), std::string::npos);
}

TEST_F(TerminalWindowTest, KeepsTheWindowStateTheEngineReadsBack) {
  TerminalWindow window(Options(false));
  window.SetControlChecked(CommandControl::kUsb2, true);
  window.SetControlChecked(CommandControl::kGige, true);
  EXPECT_FALSE(window.IsControlChecked(CommandControl::kUsb2));
  EXPECT_TRUE(window.IsControlChecked(CommandControl::kGige));
  window.SetControlChecked(CommandControl::kSkipBackup, true);
  EXPECT_TRUE(window.IsControlChecked(CommandControl::kGige));  // not part of the radio group

  window.EnableDevice(3, true);
  window.SetDeviceChecked(3, true);
  window.SetCameraVersionText(3, "001 V01.00");
  EXPECT_TRUE(window.IsDeviceEnabled(3));
  EXPECT_TRUE(window.IsDeviceChecked(3));
  EXPECT_FALSE(window.IsDeviceChecked(4));
  EXPECT_EQ(window.CameraVersionText(3), "001 V01.00");

  window.PrintStatusLines(false);
  window.SetStatusText("No camera connected.");
  EXPECT_EQ(window.StatusText(), "No camera connected.");
  EXPECT_EQ(status_.Text(), "");
  EXPECT_FALSE(window.OpenFileDialog("Load firmware packet", "*.tvf"));
}

}  // namespace
}  // namespace tarvo::cli
