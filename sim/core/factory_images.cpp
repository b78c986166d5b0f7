#include "sim/core/factory_images.h"

#include <algorithm>
#include <cstring>

#include "sim/core/device_layout.h"

namespace tarvo::sim {

namespace {

// Data lengths of the synthetic images: large enough to take many blocks, small enough that a
// fresh camera is made in a moment.
constexpr std::uint32_t kHeaderDataLength[kDeviceCount] = {0,     40000, 200000, 120000, 120000,
                                                           96000, 0,     150000, 24576};

std::vector<std::uint8_t> HeaderImage(DeviceIndex index, const ImageVersion& version) {
  std::uint32_t length = kHeaderDataLength[index];
  std::vector<std::uint8_t> image(kImageHeaderSize + length, 0xFF);
  ImageVersionToBytes(version, image.data());
  if (index == DEVICE_MAIN_UP) std::fill(image.begin() + 10, image.begin() + 20, 0);
  std::memcpy(image.data() + kHeaderMarkerOffset, kHeaderMarker, 4);
  FillSynthetic(image.data() + kImageHeaderSize, length, 0x1000 + index);
  std::uint32_t sum = 0;
  for (std::uint32_t i = 0; i + 1 < length; i += 2) sum += GetLe16(&image[kImageHeaderSize + i]);
  PutLe32(&image[kHeaderChecksumOffset], sum);
  PutLe32(&image[kHeaderLengthOffset], length);
  return image;
}

FactoryImage BootUpImage(const ImageVersion& version) {
  FactoryImage image;
  image.start = kBootLoaderStart;
  std::uint32_t end = version.major >= 1 ? kBootAppEnd : kBootLegacyEnd;
  image.bytes.assign(end - kBootLoaderStart + 1, 0xFF);
  auto at = [&](std::uint32_t address) { return image.bytes.data() + (address - image.start); };
  FillSynthetic(at(kBootLoaderStart), 0x8000, 0x2000);
  std::uint8_t record[kImageVersionSize];
  ImageVersionToBytes(version, record);
  if (version.major >= 1) {
    std::uint8_t* block = at(kBootAppInfoAddress);
    PutLe16(block + 0, 56);
    PutLe16(block + 2, 2);
    PutLe32(block + 4, 0x01200340);
    std::memcpy(block + 8, "APP_INFO", 8);
    block[16] = 0;
    std::memcpy(block + 18, record, kImageVersionSize);
    std::memcpy(block + 28, "Tarvo Boot uP", 14);
    PutLe32(block + 44, 0xFFFC);
    PutLe32(block + 48, 0xD0100);
    PutLe32(block + 52, 0xDFFFC);
    FillSynthetic(at(0xD0100), 0x6000, 0x2001);
    std::uint32_t sum = 0;
    for (std::uint32_t a = kBootAppInfoAddress; a <= 0xDFFFB; ++a) sum += *at(a);
    PutLe32(at(0xDFFFC), sum);
  } else {
    FillSynthetic(at(0xD0000), 0x6000, 0x2002);
    std::memcpy(at(kBootLegacyVersionAddress), record, kImageVersionSize);
    std::uint32_t sum = 0;
    for (std::uint32_t a = kBootLoaderStart; a <= 0xF7FEF; ++a) sum += *at(a);
    PutLe32(at(0xF7FF4), sum);
  }
  return image;
}

std::vector<std::uint8_t> PowerUpImage(const ImageVersion& version) {
  std::vector<std::uint8_t> image(kPowerImageEnd + 1, 0xFF);
  FillSynthetic(image.data(), kPowerInfoAddress, 0x3000);
  std::uint32_t sum = 0;
  for (std::uint32_t a = 0; a < kPowerInfoAddress; a += 2) sum += GetLe16(&image[a]);
  std::uint8_t* info = &image[kPowerInfoAddress];
  PutLe16(info, kPowerInfoMarker);
  PutLe16(info + 2, sum & 0xFFFF);
  std::memcpy(info + kPowerInfoNameOffset, "Tarvo Power uP", 15);
  info[kPowerInfoVersionOffset + 0] = version.minor;
  info[kPowerInfoVersionOffset + 1] = version.major;
  PutLe16(info + kPowerInfoVersionOffset + 2, version.variant);
  return image;
}

// The HD-SDI FPGA loads its configuration 16 bits at a time, high byte first: its image ends on
// a 512-byte boundary and the bytes of every word but the last 16 are exchanged.
std::vector<std::uint8_t> HdsdiImage(const ImageVersion& version) {
  std::vector<std::uint8_t> image = HeaderImage(DEVICE_HDSDI_FPGA, version);
  std::size_t padded = (image.size() + 511) / 512 * 512;
  image.resize(padded, 0xFF);
  for (std::size_t word = 0; word < padded / 2 - 16; ++word) {
    std::swap(image[2 * word], image[2 * word + 1]);
  }
  return image;
}

}  // namespace

void PutLe16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutLe32(std::uint8_t* at, std::uint32_t value) {
  PutLe16(at, value & 0xFFFF);
  PutLe16(at + 2, value >> 16);
}

std::uint32_t GetLe16(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8);
}

std::uint32_t GetLe32(const std::uint8_t* at) {
  return GetLe16(at) | (GetLe16(at + 2) << 16);
}

void FillSynthetic(std::uint8_t* bytes, std::size_t length, std::uint32_t seed) {
  std::uint32_t x = seed * 2654435761u + 0x9E3779B9u;
  for (std::size_t i = 0; i < length; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    // Runs of equal bytes and zeros occur in real configuration data; keep some.
    bytes[i] = (x & 0x700) == 0 ? 0x00 : static_cast<std::uint8_t>(x >> 24);
  }
}

ImageVersion MakeImageVersion(std::uint16_t variant, std::uint8_t major, std::uint8_t minor) {
  ImageVersion version;
  version.variant = variant;
  version.major = major;
  version.minor = minor;
  version.hour = 10;
  version.minute = 30;
  version.day = 15;
  version.month = 1;
  version.year = 2026;
  return version;
}

FactoryImage BuildFactoryImage(DeviceIndex index, std::uint16_t variant, std::uint8_t major,
                               std::uint8_t minor) {
  ImageVersion version = MakeImageVersion(variant, major, minor);
  switch (index) {
    case DEVICE_BOOT_UP:
      return BootUpImage(version);
    case DEVICE_POWER_UP:
      return {0, PowerUpImage(version)};
    case DEVICE_HDSDI_FPGA:
      return {0, HdsdiImage(version)};
    default:
      return {0, HeaderImage(index, version)};
  }
}

}  // namespace tarvo::sim
