// Finished device images as the camera carries them after a good update: what the image
// readers and the per-device finishing produce, with synthetic data. Used for the firmware a
// camera leaves the factory with, and by tests that need a programmed device.
#pragma once

#include <cstdint>
#include <vector>

#include "firmware/device_catalogue.h"
#include "firmware/image_version.h"

namespace tarvo::sim {

inline constexpr std::uint16_t kFactoryVariant = 1;
inline constexpr std::uint8_t kFactoryMajor = 1;
inline constexpr std::uint8_t kFactoryMinor = 0;

struct FactoryImage {
  std::uint32_t start = 0;
  std::vector<std::uint8_t> bytes;  // device addresses start .. start + size - 1
};

FactoryImage BuildFactoryImage(DeviceIndex index, std::uint16_t variant, std::uint8_t major,
                               std::uint8_t minor);

// Pieces of the finishing rules, shared with the raw image file writer.
void PutLe16(std::uint8_t* at, std::uint32_t value);
void PutLe32(std::uint8_t* at, std::uint32_t value);
std::uint32_t GetLe16(const std::uint8_t* at);
std::uint32_t GetLe32(const std::uint8_t* at);

// Deterministic filler that looks like code or configuration data.
void FillSynthetic(std::uint8_t* bytes, std::size_t length, std::uint32_t seed);

ImageVersion MakeImageVersion(std::uint16_t variant, std::uint8_t major, std::uint8_t minor);

}  // namespace tarvo::sim
