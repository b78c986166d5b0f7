// Rebooting the simulated camera and waiting for it: the countdown per interface, and the
// checks that the camera that answers afterwards is the same one.
#include <gmock/gmock.h>

#include <functional>

#include "run_fixture.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

class RebootAndReconnect : public RunFixture {
 protected:
  void SetUp() override { ConnectFresh(); }
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

// A refused request still counts as sent; without a camera the wait still runs out.
TEST_F(RebootAndReconnect, RequestAndReconnectFailuresAreLoggedApart) {
  const struct {
    const char* name;
    std::function<void(sim::CameraState&)> fault;
    int result;
    const char* request;
  } cases[] = {{"no camera", [](sim::CameraState& state) { state.faults.noCamera = 1; }, 0,
                "Reboot request send failed, but waiting not skipped! "},
               {"not back", [](sim::CameraState& state) { state.faults.notBackAfterReboot = 1; }, 0,
                "Reboot request send successful. "},
               {"refused request",
                [](sim::CameraState& state) {
                  state.faults.failTelegram = sim::TelegramFault{1, {0}, 0x1704, 1, 0, 0x80031006};
                },
                1, "Reboot request send successful. "}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetCamera(true);
    ChangeCamera(c.fault);
    window_.ClearRecords();
    EXPECT_EQ(Dlg().RebootAndReconnect(), c.result);
    EXPECT_EQ(Countdown().size(), 30u);
    const std::vector<std::string> lines = NewLogLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], c.request);
    if (c.result == 0) {
      EXPECT_EQ(lines.back(), "Error reconnecting to camera: 80312001. ");
    }
    EXPECT_TRUE(window_.MessageBoxes().empty());
    EXPECT_EQ(CurrentLinkState().library, nullptr);
  }
}

TEST_F(RebootAndReconnect, AnotherCameraAnsweringAfterwardsIsRefused) {
  const struct {
    std::function<void(sim::CameraState&)> fault;
    const char* text;
  } cases[] = {{[](sim::CameraState& state) {
                  state.faults.newSerialAfterReboot = 1;
                  state.faults.serialAfterReboot = 815;
                },
                "Camera found has not the same SN!"},
               {[](sim::CameraState& state) { state.faults.wrongCameraType = 0x2000; },
                "Camera found is not a orva.tarvo!"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ResetCamera(true);
    ChangeCamera(c.fault);
    window_.ClearRecords();
    EXPECT_EQ(Dlg().RebootAndReconnect(), 0);
    ASSERT_EQ(window_.MessageBoxes().size(), 1u);
    EXPECT_EQ(window_.MessageBoxes()[0].text, c.text);
    EXPECT_EQ(window_.MessageBoxes()[0].icon, MessageIcon::kError);
    EXPECT_EQ(Dlg().Camera().serialNumber, 4711);
  }
}

}  // namespace
}  // namespace tarvo::test
