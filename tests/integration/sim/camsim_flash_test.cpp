// tarvo-camsim flash writes a packet into the camera, which then reports the packet's
// versions; with make-firmware and the packet builder this is a camera update done at the
// factory, end to end.
#include "firmware/firmware_packet.h"
#include "firmware/packet_builder.h"
#include "platform/folders.h"
#include "sim/core/factory_images.h"
#include "sim/core/raw_image_files.h"
#include "sim_fixture.h"
#include "tool_runner.h"

namespace tarvo::simtest {
namespace {

class NullReport final : public ImageLoadReport {
 public:
  void WriteLog(const std::string& text) override { log += text; }
  void ShowResult(bool, const std::string& text) override { log += text; }
  void LogFileError(const std::string& fileName, std::uint32_t code) override {
    log += fileName + " " + std::to_string(code) + "\n";
  }
  void ShowDeviceFailed(DeviceIndex) override {}
  std::string log;
};

using CamsimFlash = SimCameraTest;

TEST_F(CamsimFlash, WritesEveryImageOfAPacket) {
  CFirmwarePacket packet;
  ASSERT_TRUE(packet.CreatePacket());
  std::vector<sim::FactoryImage> images;
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    images.push_back(sim::BuildFactoryImage(index, 1, 5, 2));
    std::vector<std::uint8_t>& bytes = images.back().bytes;
    bytes.resize((bytes.size() + 3) / 4 * 4, 0xFF);
    ASSERT_TRUE(packet.AddImage(static_cast<std::uint16_t>(index), images.back().start,
                                static_cast<std::uint32_t>(bytes.size()), bytes.data(),
                                sim::MakeImageVersion(1, 5, 2)))
        << packet.LastError();
  }
  ASSERT_TRUE(packet.SealPacket());
  std::string path = folder_.File("camera.tvf");
  ASSERT_TRUE(packet.SavePacket(path)) << packet.LastError();
  ASSERT_EQ(RunTool("init --blank").status, 0);
  ToolRun run = RunTool("flash " + path);
  ASSERT_EQ(run.status, 0) << run.out;
  auto client = Connect();
  std::vector<ReportedEntry> versions = Entries(client->VersionsPage(0));
  ASSERT_EQ(versions.size(), 9u);
  for (const ReportedEntry& entry : versions)
    EXPECT_EQ(entry.Version(), "001 V05.02") << entry.name;
  ASSERT_EQ(client->SelectDevice(DEVICE_MAIN_FPGA), 0u);
  EXPECT_EQ(client->ReadRange(0, 4096),
            std::vector<std::uint8_t>(images[2].bytes.begin(), images[2].bytes.begin() + 4096));
}

TEST_F(CamsimFlash, RefusesAFileThatIsNoPacket) {
  test::WriteFileText(folder_.File("bad.tvf"), "not a packet");
  EXPECT_EQ(RunTool("flash " + folder_.File("bad.tvf")).status, 2);
}

TEST_F(CamsimFlash, RawImagesOfMakeFirmwareBecomeTheCamerasVersions) {
  std::string raw = folder_.File("raw");
  ASSERT_EQ(
      RunTool("make-firmware " + raw + " --variant 1 --hdsdi-variant 11 --version 4.11").status, 0);
  ProgramOrder order{};
  order.fill(ORDER_END);
  std::vector<PacketImageSource> sources;
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    sim::RawImageRequest request{1, 11, 4, 11};
    sources.push_back({index, platform::JoinPath(raw, sim::RawImageFileName(index, request))});
    order[index] = static_cast<std::uint16_t>(index);
  }
  std::vector<std::uint8_t> buffer(IMAGE_BUFFER_SIZE);
  NullReport report;
  std::string path = folder_.File("update.tvf");
  ASSERT_EQ(BuildPacketFile(order, sources, path, buffer.data(), report),
            PacketBuildResult::kWritten)
      << report.log;
  EXPECT_EQ(report.log.find("Warning"), std::string::npos) << report.log;
  ASSERT_EQ(RunTool("init --hdsdi-board newer").status, 0);
  ASSERT_EQ(RunTool("flash " + path).status, 0);
  auto client = Connect();
  std::vector<ReportedEntry> versions = Entries(client->VersionsPage(0));
  ASSERT_EQ(versions.size(), 9u);
  for (const ReportedEntry& entry : versions) {
    const bool hdsdi = DeviceIndexFromCameraName(entry.name) == DEVICE_HDSDI_FPGA;
    EXPECT_EQ(entry.Version(), hdsdi ? "011 V04.11" : "001 V04.11") << entry.name;
  }
}

}  // namespace
}  // namespace tarvo::simtest
