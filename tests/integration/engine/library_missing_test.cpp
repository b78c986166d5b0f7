// This executable lives in a folder without the camera's interface libraries: every operation
// finds no library to bind and reports the link's own code.
#include <gmock/gmock.h>

#include "engine_fixture.h"
#include "link/link.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

class LibraryMissing : public EngineFixture {
 protected:
  void SetUp() override { LoadPacket({PlainImage(DEVICE_MAIN_FPGA, 0, 512, 1)}); }
};

TEST_F(LibraryMissing, ProgrammingReportsTheLinkCodeWithoutAddress) {
  EXPECT_EQ(Dlg().ProgramDevice(DEVICE_MAIN_FPGA), 0);
  EXPECT_THAT(NewLogLines(), ElementsAre("ERROR: Programming device Main FPGA failed!",
                                         "  - function return 10000006.",
                                         StartsWith("Error programming device Main FPGA: ")));
  EXPECT_EQ(window_.StatusText(), "ERROR: Programming device Main FPGA failed!");
  EXPECT_EQ(window_.Row(DEVICE_MAIN_FPGA).progressBar, (ProgressColour{255, 0, 0}));
  EXPECT_EQ(CurrentLinkState().library, nullptr);
}

TEST_F(LibraryMissing, VerifyingReportsTheLinkCodeWithoutAddress) {
  EXPECT_EQ(Dlg().VerifyDevice(DEVICE_MAIN_FPGA), 0);
  EXPECT_THAT(NewLogLines(),
              ElementsAre("Verify device Main FPGA ...", "ERROR: Verify device Main FPGA failed!",
                          "  - function return 10000006.",
                          StartsWith("Error programming device Main FPGA: ")));
}

TEST_F(LibraryMissing, ConnectReportsTheLinkCode) {
  EXPECT_EQ(Dlg().ConnectCamera(), 0);
  EXPECT_THAT(NewLogLines(),
              ElementsAre("ERROR: Connecting to camera failed!", "  - function return 10000006."));
}

}  // namespace
}  // namespace tarvo::test
