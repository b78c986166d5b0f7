// The terminal as the engine's window, where the end-to-end runs cannot see it: progress and
// countdowns on a terminal and the exact lines elsewhere, and questions asked at a terminal.
#include "cli/terminal_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace tarvo::cli {
namespace {

// A stream the window writes to, read back as text.
struct CapturedStream {
  std::FILE* file = std::tmpfile();
  ~CapturedStream() { std::fclose(file); }
  std::string Text() const {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
    return text;
  }
};

constexpr ProgressColour kRunning{0, 0, 255}, kBackground{248, 248, 248};

class TerminalWindowTest : public ::testing::Test {
 protected:
  TerminalOptions Options(bool terminal) {
    TerminalOptions options;
    options.results = results_.file;
    options.status = status_.file;
    options.drawProgress = options.askQuestions = terminal;
    options.answers = &answers_;
    return options;
  }

  // A program step, a reboot and a wait of the order, with no waiting and no bytes to move.
  void FollowThreeSteps(TerminalWindow& window) {
    window.FollowRun(
        {{{"program", 2, 2, 0, 1000, "Erase and program Main FPGA, then pause 1 s"}, 0, 0},
         {{"reboot", -1, 0x4000, 30000, 0, "Reboot the camera and wait 30 s for it"}, 0, 0},
         {{"wait", -1, 0x2005, 5000, 0, "Wait 5 s"}, 0, 0}},
        0, report_);
  }

  CapturedStream results_, status_;
  std::istringstream answers_;
  RunReport report_;
};

// Without a terminal each step gets a line, and a countdown one line per ten seconds.
TEST_F(TerminalWindowTest, WithoutATerminalEachStepHasALineAndCountdownsAreThinned) {
  TerminalWindow window(Options(false));
  FollowThreeSteps(window);
  window.SetDeviceProgressColours(2, kRunning, kBackground);  // the device's step begins
  window.SetStatusText("Erase device Main FPGA ...");
  report_.reboots.emplace_back();
  for (int left = 30; left >= 1; --left) {
    window.SetStatusText("Waiting for camera to reconnect. Waiting " + std::to_string(left) +
                         " s.");
  }
  window.SetStatusText("Waiting 5 seconds ...");
  EXPECT_EQ(status_.Text(),
            "Step 1 of 3 (0:00 so far, about 0:00 left): Erase and program Main FPGA, then "
            "pause 1 s\n"
            "Erase device Main FPGA ...\n"
            "Step 2 of 3 (0:00 so far, about 0:00 left): Reboot the camera and wait 30 s for it\n"
            "Waiting for camera to reconnect. Waiting 30 s.\n"
            "Waiting for camera to reconnect. Waiting 20 s.\n"
            "Waiting for camera to reconnect. Waiting 10 s.\n"
            "Step 3 of 3 (0:00 so far, about 0:00 left): Wait 5 s\n"
            "Waiting 5 seconds ...\n");
}

// On a terminal the bars and the overall line stand under the status lines: taken away before
// a status line and drawn again under it, cut to the width; a countdown stays in one line.
TEST_F(TerminalWindowTest, OnATerminalBarsStandUnderTheStatusLinesAndCountdownsInOne) {
  TerminalWindow window(Options(true));
  FollowThreeSteps(window);
  window.SetDeviceProgressColours(2, kRunning, kBackground);
  window.SetDeviceProgressPosition(2, 50);
  const std::string before = status_.Text();
  window.SetStatusText("Waiting for camera to reconnect. Waiting 30 s.");
  window.SetStatusText("Waiting for camera to reconnect. Waiting 29 s.");
  const std::string bars =
      "Main FPGA  [###############...............]  50%\n"
      "Step 1 of 3 (0:00 so far, about 0:00 left): Erase and program Main FPGA, then p";
  EXPECT_EQ(before.substr(before.size() - bars.size()), bars);
  EXPECT_EQ(status_.Text().substr(before.size()),
            "\033[A\r\033[JWaiting for camera to reconnect. Waiting 30 s.\n" + bars +
                "\033[A\r\033[J\033[A\r\033[KWaiting for camera to reconnect. Waiting 29 s.\n" +
                bars);
}

TEST_F(TerminalWindowTest, OnATerminalQuestionsAreAskedAndOnlyYesSaysYes) {
  const std::string question = "Creating backup file failed!\nDo you still want to proceed?";
  TerminalWindow asking(Options(true));
  answers_.str("Yes\nmaybe\n");
  EXPECT_TRUE(asking.AskYesNo(question));
  EXPECT_FALSE(asking.AskYesNo(question));
  EXPECT_FALSE(asking.AskYesNo(question));  // end of input
  EXPECT_NE(status_.Text().find("failed! Do you still want to proceed? [y/N] "), std::string::npos);
  TerminalWindow elsewhere(Options(false));
  answers_.clear();
  answers_.str("y\n");
  EXPECT_FALSE(elsewhere.AskYesNo(question));  // no terminal: not asked, not read
  EXPECT_NE(status_.Text().find("no (not asked without a terminal; --yes answers yes)\n"),
            std::string::npos);
}

}  // namespace
}  // namespace tarvo::cli
