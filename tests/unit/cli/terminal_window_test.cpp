// The terminal as the engine's window: what lands on which stream, how progress and countdowns
// are shown on a terminal and elsewhere, and how questions are answered.
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

// A program step, a reboot and a wait of the order, with no waiting and no bytes to move, so
// that the times read 0:00.
std::vector<ProgressStep> ThreeSteps() {
  return {{{"program", 2, 2, 0, 1000, "Erase and program Main FPGA, then pause 1 s"}, 0, 0},
          {{"reboot", -1, 0x4000, 30000, 0, "Reboot the camera and wait 30 s for it"}, 0, 0},
          {{"wait", -1, 0x2005, 5000, 0, "Wait 5 s"}, 0, 0}};
}

// What a program run shows: the engine's status lines, a reboot recorded in the run report.
void RunThreeSteps(TerminalWindow& window, RunReport& report) {
  window.FollowRun(ThreeSteps(), 0, report);
  window.SetDeviceProgressColours(2, kRunning, kBackground);
  window.SetStatusText("Erase device Main FPGA ...");
  window.SetDeviceProgressPosition(2, 50);
  window.SetDeviceProgressColours(2, kDone, kBackground);
  report.reboots.emplace_back();
  window.SetStatusText("Rebooting camera. Please wait ...");
  for (int left = 30; left >= 1; --left) {
    window.SetStatusText("Waiting for camera to reconnect. Waiting " + std::to_string(left) +
                         " s.");
  }
  window.SetStatusText("Reconnected to Camera SN 4711");
  window.SetStatusText("Waiting 5 seconds ...");
}

// Without a terminal each step gets a line, and a countdown one line per ten seconds; no bar
// and no control sequence is drawn. --quiet shows none of it, but the result box.
TEST_F(TerminalWindowTest, WithoutATerminalEachStepHasALineAndCountdownsAreThinned) {
  RunReport report;
  TerminalWindow window(Options(false));
  RunThreeSteps(window, report);
  EXPECT_EQ(status_.Text(),
            "Step 1 of 3 (0:00 so far, about 0:00 left): Erase and program Main FPGA, then "
            "pause 1 s\n"
            "Erase device Main FPGA ...\n"
            "Step 2 of 3 (0:00 so far, about 0:00 left): Reboot the camera and wait 30 s for it\n"
            "Rebooting camera. Please wait ...\n"
            "Waiting for camera to reconnect. Waiting 30 s.\n"
            "Waiting for camera to reconnect. Waiting 20 s.\n"
            "Waiting for camera to reconnect. Waiting 10 s.\n"
            "Reconnected to Camera SN 4711\n"
            "Step 3 of 3 (0:00 so far, about 0:00 left): Wait 5 s\n"
            "Waiting 5 seconds ...\n");
  EXPECT_EQ(window.StatusText(), "Waiting 5 seconds ...");

  CapturedStream quiet;
  TerminalOptions options = Options(true);
  options.quiet = true;
  options.status = quiet.File();
  options.answerYes = true;
  TerminalWindow quietWindow(options);
  RunReport quietReport;
  RunThreeSteps(quietWindow, quietReport);
  EXPECT_TRUE(quietWindow.AskYesNo("Program anyway?"));
  quietWindow.ShowMessageBox("Done", "Operation Status:", MessageIcon::kInformation);
  EXPECT_EQ(quiet.Text(), "");
  EXPECT_EQ(results_.Text(), "Operation Status: Done\n");
}

// On a terminal a bar per device of the run and the overall line stand under the status lines:
// taken away before a status line and drawn again under it.
TEST_F(TerminalWindowTest, OnATerminalBarsAndTheOverallLineStandUnderTheStatusLines) {
  RunReport report;
  TerminalWindow window(Options(true));
  window.FollowRun(ThreeSteps(), 0, report);
  window.ShowDeviceProgress(0, true);
  window.SetDeviceProgressColours(0, kFailed, kBackground);
  window.SetDeviceProgressPosition(0, 100);
  window.SetDeviceProgressColours(2, kRunning, kBackground);
  window.SetDeviceProgressPosition(2, 50);
  const std::string before = status_.Text();
  window.SetStatusText("Program device Main FPGA ...");
  const std::string failed = "Boot uP    [##############################] 100% FAILED";
  const std::string half = "Main FPGA  [###############...............]  50%";
  // Cut to the terminal's width: a line that wrapped could not be taken away again.
  const std::string overall =
      "Step 1 of 3 (0:00 so far, about 0:00 left): Erase and program Main FPGA, then p";
  EXPECT_EQ(before.substr(before.rfind(failed)), failed + "\n" + half + "\n" + overall);
  EXPECT_EQ(
      status_.Text().substr(before.size()),
      "\033[A\033[A\r\033[JProgram device Main FPGA ...\n" + failed + "\n" + half + "\n" + overall);
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
