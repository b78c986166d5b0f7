#include "engine_fixture.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "firmware/firmware_packet.h"
#include "sim/core/factory_images.h"

namespace tarvo::test {

PacketImage RecognisedImage(DeviceIndex device, std::uint16_t variant, std::uint8_t major,
                            std::uint8_t minor) {
  sim::FactoryImage image = sim::BuildFactoryImage(device, variant, major, minor);
  return PacketImage{device, image.start, std::move(image.bytes),
                     sim::MakeImageVersion(variant, major, minor)};
}

PacketImage PlainImage(DeviceIndex device, std::uint32_t start, std::uint32_t size,
                       std::uint32_t seed) {
  PacketImage image{device, start, std::vector<std::uint8_t>(size), sim::MakeImageVersion(1, 2, 0)};
  sim::FillSynthetic(image.bytes.data(), size, seed);
  return image;
}

EngineFixture::EngineFixture()
    : dataHome_("TARVO_DATA_DIR", temp_.File("data")),
      simFolder_("QLM_SIM_DIR", temp_.File("camera")),
      timeScale_("TARVO_TIME_SCALE", std::nullopt),
      programFolder_(temp_.File("program")) {
  std::filesystem::create_directories(programFolder_);
  std::string error;
  if (!camera_.Open(temp_.File("camera"), &error)) ADD_FAILURE() << error;
}

EngineFixture::~EngineFixture() {
  dlg_.reset();
  camera_.Close();
}

std::string EngineFixture::WritePacket(const std::string& path,
                                       const std::vector<PacketImage>& images,
                                       const OrderSteps& steps) {
  CFirmwarePacket packet;
  EXPECT_TRUE(packet.CreatePacket());
  for (const PacketImage& image : images) {
    EXPECT_TRUE(packet.AddImage(static_cast<std::uint16_t>(image.device), image.start,
                                static_cast<std::uint32_t>(image.bytes.size()), image.bytes.data(),
                                image.version))
        << packet.LastError();
  }
  if (steps) {
    ProgramOrder order;
    order.fill(ORDER_END);
    std::copy(steps->begin(), steps->end(), order.begin());
    EXPECT_TRUE(packet.SetOrder(order));
  }
  EXPECT_TRUE(packet.SealPacket() && packet.SavePacket(path)) << packet.LastError();
  return path;
}

std::vector<std::string> EngineFixture::TracedCodes(const std::function<void()>& action) {
  const std::string path = temp_.File("trace.txt");
  std::remove(path.c_str());
  {
    ScopedEnvironment trace("QLM_SIM_TRACE", path);
    action();
  }
  std::vector<std::string> codes;
  std::istringstream lines(ReadFileText(path));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find("code=");
    if (at == std::string::npos) continue;
    std::string summary = line.substr(at + 5, 4);
    if (const std::size_t start = line.find(" start="); start != std::string::npos) {
      summary += "@" + line.substr(start + 7, 8);
    }
    codes.push_back(summary);
  }
  return codes;
}

}  // namespace tarvo::test
