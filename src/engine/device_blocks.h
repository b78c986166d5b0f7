// How the camera's devices are written and read: block sizes, the Boot FPGA's even lengths,
// erase timeouts and the HD-SDI board's select code.
#pragma once

#include <cstdint>

#include "firmware/device_catalogue.h"

namespace tarvo {

inline constexpr std::uint32_t kDeviceBlockSize = 256;
inline constexpr std::uint32_t kPowerUpBlockSize = 128;  // the power microcontroller's pages
inline constexpr std::uint32_t kEraseTimeoutSeconds = 30;
inline constexpr std::uint32_t kHdsdiEraseTimeoutSeconds = 100;
// Boards whose HD-SDI image carries a word of 10 or more at address 2 are the newer revision.
inline constexpr std::uint32_t kHdsdiNewerBoardImageWord = 10;
// The byte that completes the Boot FPGA's last block when the image has an odd length: the
// value of erased flash, so the device holds after the image what an erase left there.
inline constexpr std::uint8_t kBootFpgaPadByte = 0xFF;

std::uint32_t DeviceBlockSize(DeviceIndex device);

// Length of the block at an address with `remaining` image bytes from there on: at most the
// block size; the Boot FPGA takes only even lengths, so an odd length is raised by one.
std::uint32_t DeviceBlockLength(DeviceIndex device, std::uint64_t remaining);

// Extra bytes the device's last block may reach past the image (1 for the Boot FPGA).
std::uint32_t DeviceBlockOverhang(DeviceIndex device);

std::uint32_t DeviceEraseTimeoutSeconds(DeviceIndex device);

// The select code for a device whose image lies in the image buffer (indexed by device
// address) at start..start + size - 1. The HD-SDI FPGA's code depends on the board revision
// the image is built for: the big-endian word at address 2 of the image. An image that does
// not hold both bytes of that word names no revision and gets the catalogue's code; bytes the
// image does not cover are never read.
std::uint16_t DeviceSelectCodeForImage(DeviceIndex device, const std::uint8_t* imageBuffer,
                                       std::uint32_t start, std::uint32_t size);

// True when every byte is 0xFF (also for length 0): such a block is already what an erase
// leaves and is not sent.
bool IsErasedBlock(const std::uint8_t* bytes, std::uint32_t length);

// Share of an image done when its block at `address` begins, 0..99, truncated.
int ProgressPercent(std::uint64_t address, std::uint32_t start, std::uint32_t size);

}  // namespace tarvo
