// Rebooting the simulated camera and waiting for it: what a failed reboot or reconnect logs, and
// the checks that the camera that answers afterwards is the same one. The countdown of a good
// reboot is pinned by the update runs.
#include <gmock/gmock.h>

#include "engine_fixture.h"
#include "link/link.h"

namespace tarvo::test {
namespace {

class RebootAndReconnect : public EngineFixture {};

// A refused request still counts as sent; without a camera the wait still runs out. Another
// camera answering afterwards is refused with a box, and the run keeps its camera.
TEST_F(RebootAndReconnect, FailuresAreLoggedApartAndAnotherCameraIsRefused) {
  using Fault = void (*)(sim::CameraState&);
  const struct {
    Fault fault;
    int result;
    const char* request;
    const char* last;  // the last log line, "ERROR: " and the box text when there is a box
  } cases[] = {
      // clang-format off
      {[](sim::CameraState& s) { s.faults.noCamera = 1; }, 0,
       "Reboot request send failed, but waiting not skipped! ",
       "Error reconnecting to camera: 80312001. "},
      {[](sim::CameraState& s) { s.faults.notBackAfterReboot = 1; }, 0,
       "Reboot request send successful. ", "Error reconnecting to camera: 80312001. "},
      {[](sim::CameraState& s) { s.faults.failTelegram = {1, {0}, 0x1704, 1, 0, 0x80031006}; }, 1,
       "Reboot request send successful. ", "Reconnected to Camera SN 4711"},
      {[](sim::CameraState& s) { s.faults.newSerialAfterReboot = 1; }, 0,
       "Reboot request send successful. ", "ERROR: Camera found has not the same SN!"},
      {[](sim::CameraState& s) { s.faults.wrongCameraType = 0x2000; }, 0,
       "Reboot request send successful. ", "ERROR: Camera found is not a orva.tarvo!"}};
  // clang-format on
  ConnectFresh();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.last);
    ResetCamera(true);
    ChangeCamera(c.fault);
    window_.ClearRecords();
    EXPECT_EQ(Dlg().RebootAndReconnect(), c.result);
    EXPECT_EQ(StatusLinesStartingWith("Waiting for camera to reconnect.").size(), 30u);
    const std::vector<std::string> lines = NewLogLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], c.request);
    EXPECT_EQ(lines.back(), c.last);
    if (lines.back().starts_with("ERROR: Camera")) {
      EXPECT_THAT(BoxTexts(), testing::ElementsAre(lines.back().substr(7)));
    }
    EXPECT_EQ(Dlg().Camera().serialNumber, 4711);
    EXPECT_EQ(CurrentLinkState().library, nullptr);
  }
}

}  // namespace
}  // namespace tarvo::test
