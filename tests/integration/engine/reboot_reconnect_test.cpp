// Rebooting the simulated camera and waiting for it: the countdown per interface, and the
// checks that the camera that answers afterwards is the same one.
#include <gmock/gmock.h>

#include "run_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class RebootAndReconnect : public RunFixture {
 protected:
  void SetUp() override {
    Start();
    ASSERT_EQ(Dlg().ConnectCamera(), 1);
    window_.ClearRecords();
    clock_.Reset();
    NewLogLines();
  }
  std::vector<std::string> Countdown() const {
    return StatusLinesStartingWith("Waiting for camera to reconnect.");
  }
};

TEST_F(RebootAndReconnect, Usb2CountsDownThirtySecondsAndFindsTheCameraAgain) {
  const auto telegrams = TracedCodes([&] { EXPECT_EQ(Dlg().RebootAndReconnect(), 1); });
  EXPECT_THAT(telegrams, ElementsAre("1704", "0110"));
  const std::vector<std::string> countdown = Countdown();
  ASSERT_EQ(countdown.size(), 30u);
  EXPECT_EQ(countdown.front(), "Waiting for camera to reconnect. Waiting 30 s.");
  EXPECT_EQ(countdown.back(), "Waiting for camera to reconnect. Waiting 1 s.");
  EXPECT_EQ(clock_.TotalMilliseconds(), 2000u + 30000u);
  const std::vector<std::string> lines = NewLogLines();
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines[0], "Rebooting camera. Please wait ...");
  EXPECT_EQ(lines[1], "Reboot request send successful. ");
  EXPECT_EQ(lines[32], "Reconnected to Camera SN 4711");
  EXPECT_TRUE(window_.MessageBoxes().empty());
}

TEST_F(RebootAndReconnect, Usb3AndGigeWaitEightySeconds) {
  for (CommandControl radio : {CommandControl::kUsb3, CommandControl::kGige}) {
    window_.SelectInterface(radio);
    window_.ClearRecords();
    clock_.Reset();
    EXPECT_EQ(Dlg().RebootAndReconnect(), 1);
    EXPECT_EQ(Countdown().size(), 80u);
    EXPECT_EQ(Countdown().front(), "Waiting for camera to reconnect. Waiting 80 s.");
    EXPECT_EQ(clock_.TotalMilliseconds(), 2000u + 80000u);
  }
}

TEST_F(RebootAndReconnect, WithoutACameraTheWaitStillRunsAndTheReconnectFails) {
  ChangeCamera([](sim::CameraState& state) { state.faults.noCamera = 1; });
  EXPECT_EQ(Dlg().RebootAndReconnect(), 0);
  EXPECT_EQ(Countdown().size(), 30u);
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_EQ(lines[1], "Reboot request send failed, but waiting not skipped! ");
  EXPECT_EQ(lines.back(), "Error reconnecting to camera: 80312001. ");
  EXPECT_TRUE(window_.MessageBoxes().empty());
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

TEST_F(RebootAndReconnect, CameraNotBackAfterTheRebootFails) {
  ChangeCamera([](sim::CameraState& state) { state.faults.notBackAfterReboot = 1; });
  EXPECT_EQ(Dlg().RebootAndReconnect(), 0);
  const std::vector<std::string> lines = NewLogLines();
  EXPECT_EQ(lines[1], "Reboot request send successful. ");
  EXPECT_EQ(lines.back(), "Error reconnecting to camera: 80312001. ");
}

TEST_F(RebootAndReconnect, ARefusedRequestStillCountsAsSent) {
  FailTelegram(0x1704, 1, 0x80031006);
  EXPECT_EQ(Dlg().RebootAndReconnect(), 1);
  EXPECT_EQ(NewLogLines()[1], "Reboot request send successful. ");
}

TEST_F(RebootAndReconnect, AnotherCameraOfTheSameModelIsRefused) {
  ChangeCamera([](sim::CameraState& state) {
    state.faults.newSerialAfterReboot = 1;
    state.faults.serialAfterReboot = 815;
  });
  EXPECT_EQ(Dlg().RebootAndReconnect(), 0);
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
  EXPECT_EQ(window_.MessageBoxes()[0].text, "Camera found has not the same SN!");
  EXPECT_EQ(window_.MessageBoxes()[0].icon, MessageIcon::kError);
  EXPECT_EQ(Dlg().Camera().serialNumber, 4711);
}

TEST_F(RebootAndReconnect, AnotherModelIsRefused) {
  ChangeCamera([](sim::CameraState& state) { state.faults.wrongCameraType = 0x2000; });
  EXPECT_EQ(Dlg().RebootAndReconnect(), 0);
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
  EXPECT_EQ(window_.MessageBoxes()[0].text, "Camera found is not a orva.tarvo!");
}

}  // namespace
}  // namespace tarvo::test
