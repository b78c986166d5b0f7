#include "run_fixture.h"

#include <cstring>
#include <sstream>

#include "sim/core/factory_images.h"

namespace tarvo::test {

PacketImage SmallRecognisedImage(DeviceIndex device, std::uint8_t major, std::uint8_t minor) {
  const ImageVersion version = sim::MakeImageVersion(1, major, minor);
  std::uint8_t record[kImageVersionSize];
  ImageVersionToBytes(version, record);
  const std::uint32_t seed = 0x500 + device * 16 + minor;
  if (device == DEVICE_BOOT_UP) {
    PacketImage image = PlainImage(device, 0xD0000, 1024, seed, 1, major, minor);
    std::memcpy(image.bytes.data() + 8, "APP_INFO", 8);
    std::memcpy(image.bytes.data() + 0x12, record, kImageVersionSize);
    return image;
  }
  if (device == DEVICE_POWER_UP) {
    PacketImage image = PlainImage(device, 0x3500, 0x100, seed, 1, major, minor);
    std::uint8_t* info = image.bytes.data() + 0xC0;
    sim::PutLe16(info, 0xB00B);
    std::memcpy(info + 4, "Tarvo Power uP", 15);
    info[0x14] = minor;
    info[0x15] = major;
    sim::PutLe16(info + 0x16, 1);
    return image;
  }
  const std::uint32_t length = 700 + 100 * device;
  PacketImage image = PlainImage(device, 0, 32 + length, seed, 1, major, minor);
  std::memcpy(image.bytes.data(), record, kImageVersionSize);
  std::memcpy(image.bytes.data() + 20, "AGPF", 4);
  sim::PutLe32(image.bytes.data() + 28, length);
  if (device == DEVICE_HDSDI_FPGA) {
    // Stored as 16-bit words high byte first, ending on a 512-byte boundary.
    image.bytes.resize((image.bytes.size() + 511) / 512 * 512, 0xFF);
    for (std::size_t i = 0; i + 1 < image.bytes.size(); i += 2) {
      std::swap(image.bytes[i], image.bytes[i + 1]);
    }
  }
  return image;
}

std::vector<PacketImage> RunFixture::NineDevicePacket() {
  std::vector<PacketImage> images;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    images.push_back(RecognisedImage(device, 1, kPacketMajor, kPacketMinor));
  }
  return images;
}

void RunFixture::CheckOnly(const std::vector<DeviceIndex>& devices) {
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) window_.ClickDevice(device, false);
  for (DeviceIndex device : devices) window_.ClickDevice(device, true);
}

bool RunFixture::FlashHolds(const PacketImage& image) {
  return ReadFlash(image.device, image.start, static_cast<std::uint32_t>(image.bytes.size())) ==
         image.bytes;
}

std::vector<std::string> RunFixture::TracedCodes(const std::function<void()>& action) {
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

std::vector<std::string> RunFixture::StatusLinesStartingWith(const std::string& prefix) const {
  std::vector<std::string> lines;
  for (const std::string& line : window_.StatusLines()) {
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  }
  return lines;
}

}  // namespace tarvo::test
