// Verifying single devices of the simulated camera against the loaded packet: the difference
// listing and its limit, the power microcontroller's first-difference stop and the HD-SDI
// board's read address scale. Failing reads are pinned with the failing program telegrams.
#include <gmock/gmock.h>

#include "engine_fixture.h"
#include "log/format_text.h"

namespace tarvo::test {
namespace {

class VerifyDevice : public EngineFixture {};

// Up to the limit every block is read, so the listing shows the whole damage and the address
// line names where the loop stopped, past the image. One byte more and the block that crosses
// the limit is the last one read, all of its lines before the stop line. Power uP stops at its
// first differing page. HD-SDI boards that read their flash in 16-bit steps are found by the
// probe; the listing still names byte offsets.
TEST_F(VerifyDevice, DifferenceListingStopsAtItsLimitOrAtPowerUpsFirstPage) {
  PacketImage hdsdi = PlainImage(DEVICE_HDSDI_FPGA, 0, 4096, 13);
  hdsdi.bytes[2] = 0x00;  // the older board's image
  hdsdi.bytes[3] = 0x09;
  const struct {
    PacketImage image;
    std::uint32_t readScale, corruptAt, count;
    const char* stopAddress;
  } cases[] = {{PlainImage(DEVICE_MAIN_FPGA, 0, 8192, 31), 1, 0, 1000, "00002000"},
               {PlainImage(DEVICE_MAIN_FPGA, 0, 8192, 31), 1, 0, 1001, "00000300"},
               {PlainImage(DEVICE_POWER_UP, 0x100, 300, 31), 1, 130, 1, "00000180"},
               {hdsdi, 2, 0x300, 1, "00001000"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    const DeviceIndex device = c.image.device;
    ChangeCamera([&](sim::CameraState& state) {
      state.settings.hdsdiReadScale = static_cast<std::uint8_t>(c.readScale);
    });
    LoadPacket({c.image});
    PacketImage damaged = c.image;
    for (std::uint32_t i = c.corruptAt; i < c.corruptAt + c.count; ++i) damaged.bytes[i] ^= 0x5A;
    FactoryWrite(damaged);
    EXPECT_EQ(Dlg().VerifyDevice(device), 0);
    const char* name = DeviceDisplayName(device);
    std::vector<std::string> expected = {FormatText("Verify device %s ...", name)};
    for (std::uint32_t i = c.corruptAt; i < c.corruptAt + c.count; ++i) {
      const std::uint8_t wanted = c.image.bytes[i];
      expected.push_back(FormatText("diff at %08x: %02x %02x", c.image.start + i, wanted,
                                    static_cast<std::uint8_t>(wanted ^ 0x5A)));
    }
    if (c.count > 1000) expected.push_back("Verify stopped: Too much errors!");
    expected.push_back(FormatText("ERROR: Verify device %s failed!", name));
    expected.push_back("  - function return 10000300.");
    expected.push_back(FormatText("  - failed at addr. %s,", c.stopAddress));
    expected.push_back(FormatText("Error programming device %s: Verify failed! ", name));
    EXPECT_EQ(NewLogLines(), expected);
    EXPECT_EQ(window_.StatusText(), FormatText("ERROR: Verify device %s failed!", name));
    EXPECT_EQ(window_.Row(device).progressBar, kRed);
  }
}

}  // namespace
}  // namespace tarvo::test
