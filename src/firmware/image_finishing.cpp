// What a device needs on top of its file's image before it can be programmed.
#include <algorithm>
#include <cstring>

#include "firmware/byte_order.h"
#include "firmware/device_image_loader.h"
#include "firmware/firmware_packet.h"
#include "firmware/image_readers.h"

namespace tarvo {

namespace {

// Boot uP applications from major version 1 on carry an info block that the boot loader
// checks, with a byte sum over the whole application area behind it.
constexpr std::uint32_t kBootAppChecksumAddress = 0xDFFFC;
constexpr char kBootAppInfoName[] = "APP_INFO";
constexpr char kBootAppInfoTitle[] = "Tarvo Boot uP";

// Major version 0 keeps its version and a byte sum at fixed places of the older layout.
constexpr std::uint32_t kBootLegacyVersionAddress = 0xF7FE0;
constexpr std::uint32_t kBootLegacySumFirst = 0xC0000;
constexpr std::uint32_t kBootLegacySumLast = 0xF7FEF;
constexpr std::uint32_t kBootLegacyChecksumAddress = 0xF7FF4;
constexpr std::uint32_t kBootLegacyLowestEnd = 0xF7FF7;
constexpr std::uint32_t kBootLegacyHighestEnd = 0xF7FFF;

// The Boot FPGA's flash holds 128 kB including the 32-byte image header.
constexpr std::uint32_t kBootFpgaWarningSize = 131040;
constexpr const char* kBootFpgaWarning = "!!!!!! Warning: Data longer than 128 kB !!!!!!\n";

// The Power uP's info block closes its application area and holds a word sum over it.
constexpr std::uint32_t kPowerInfoAddress = 0x35C0;
constexpr std::uint32_t kPowerInfoMagic = 0xB00B;
constexpr char kPowerInfoTitle[] = "Tarvo Power uP";
constexpr std::uint32_t kPowerVersionAddress = 0x35D4;
constexpr std::uint32_t kPowerEnd = 0x35FF;

// The HD-SDI FPGA takes 512-byte blocks, with the bytes of each 16-bit word exchanged except
// in the last 32 bytes.
constexpr std::uint32_t kHdsdiBlockMask = 0x1FF;
constexpr std::uint32_t kHdsdiUnswappedWords = 16;

std::uint32_t ByteSum(const std::uint8_t* bytes, std::uint32_t first, std::uint32_t last) {
  std::uint32_t sum = 0;
  for (std::uint32_t address = first; address <= last; ++address) sum += bytes[address];
  return sum;
}

void FinishBootApplication(std::uint8_t* buffer, LoadedImage* image) {
  std::uint8_t* block = buffer + kBootAppInfoAddress;
  WriteLe16(block + 0, 56);  // size of the block
  WriteLe16(block + 2, 2);
  WriteLe32(block + 4, 0x01200340);
  std::memcpy(block + 8, kBootAppInfoName, 8);
  block[16] = 0;
  ImageVersionToBytes(image->version, block + kBootAppVersionOffset);
  std::memcpy(block + 28, kBootAppInfoTitle, sizeof kBootAppInfoTitle);
  WriteLe32(block + 44, 0xFFFC);
  WriteLe32(block + 48, 0xD0100);
  WriteLe32(block + 52, kBootAppChecksumAddress);
  WriteLe32(buffer + kBootAppChecksumAddress,
            ByteSum(buffer, kBootAppInfoAddress, kBootAppChecksumAddress - 1));
  image->end = kBootAppEnd;
}

void FinishBootLegacy(std::uint8_t* buffer, LoadedImage* image) {
  ImageVersionToBytes(image->version, buffer + kBootLegacyVersionAddress);
  WriteLe32(buffer + kBootLegacyChecksumAddress,
            ByteSum(buffer, kBootLegacySumFirst, kBootLegacySumLast));
  image->end = std::clamp(image->end, kBootLegacyLowestEnd, kBootLegacyHighestEnd);
}

void FinishPowerUp(std::uint8_t* buffer, LoadedImage* image) {
  std::uint8_t* block = buffer + kPowerInfoAddress;
  WriteLe16(block + 0, kPowerInfoMagic);
  WriteLe16(block + 2, SumLe16Words(buffer, kPowerInfoAddress / 2));
  std::memcpy(block + 4, kPowerInfoTitle, sizeof kPowerInfoTitle);
  std::uint8_t version[kImageVersionSize];
  ImageVersionToBytes(image->version, version);
  std::memcpy(buffer + kPowerVersionAddress, version, 4);  // version word only, no time
  image->end = kPowerEnd;
}

bool FinishHdsdi(std::uint8_t* buffer, LoadedImage* image) {
  const std::uint32_t paddedEnd = image->end | kHdsdiBlockMask;
  // The bitstream reader leaves room for the padding; checked so that no image can pass the
  // end of the buffer.
  if (paddedEnd >= IMAGE_BUFFER_SIZE) return false;
  std::memset(buffer + image->end + 1, 0xFF, paddedEnd - image->end);
  image->end = paddedEnd;
  const std::uint32_t size = paddedEnd - image->start + 1;
  const std::uint32_t words = size / 2 - kHdsdiUnswappedWords;
  for (std::uint32_t word = 0; word < words; ++word)
    std::swap(buffer[2 * word], buffer[2 * word + 1]);
  return true;
}

}  // namespace

bool FinishDeviceImage(DeviceIndex device, std::uint8_t* imageBuffer, ImageLoadReport& report,
                       LoadedImage* image) {
  switch (device) {
    case DEVICE_BOOT_UP:
      if (image->version.major >= 1) {
        FinishBootApplication(imageBuffer, image);
      } else {
        FinishBootLegacy(imageBuffer, image);
      }
      break;
    case DEVICE_BOOT_FPGA:
      if (image->size >= kBootFpgaWarningSize) report.ShowResult(false, kBootFpgaWarning);
      break;
    case DEVICE_POWER_UP:
      FinishPowerUp(imageBuffer, image);
      break;
    case DEVICE_HDSDI_FPGA:
      if (!FinishHdsdi(imageBuffer, image)) return false;
      break;
    default:
      break;
  }
  // A device with a fixed end address cannot take data that lies entirely behind it.
  if (image->start > image->end) return false;
  image->size = image->end - image->start + 1;
  return true;
}

}  // namespace tarvo
