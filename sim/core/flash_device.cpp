#include "sim/core/flash_device.h"

namespace tarvo::sim {

FlashDevice::~FlashDevice() {
  Close();
}

bool FlashDevice::Open(const std::string& path, std::uint32_t capacity) {
  Close();
  std::uint64_t size = 0;
  if (!file_.Open(path) || !file_.Size(&size) || (size != capacity && !file_.Resize(capacity))) {
    file_.Close();
    return false;
  }
  capacity_ = capacity;
  return true;
}

void FlashDevice::Close() {
  file_.Close();
  capacity_ = 0;
}

bool FlashDevice::Erase() {
  return file_.Resize(0) && file_.Resize(capacity_);
}

bool FlashDevice::Read(std::uint32_t address, std::uint8_t* bytes, std::uint32_t length) const {
  if (!file_.IsOpen() || !Contains(address, length)) return false;
  if (!file_.ReadAt(address, bytes, length)) return false;
  for (std::uint32_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(~bytes[i]);
  return true;
}

bool FlashDevice::IsErased(std::uint32_t address, std::uint32_t length) const {
  if (!file_.IsOpen() || !Contains(address, length)) return false;
  std::uint8_t stored[256];
  while (length > 0) {
    std::uint32_t chunk = length < sizeof(stored) ? length : sizeof(stored);
    if (!file_.ReadAt(address, stored, chunk)) return false;
    for (std::uint32_t i = 0; i < chunk; ++i) {
      if (stored[i] != 0) return false;
    }
    address += chunk;
    length -= chunk;
  }
  return true;
}

bool FlashDevice::Program(std::uint32_t address, const std::uint8_t* bytes, std::uint32_t length) {
  if (!file_.IsOpen() || !Contains(address, length)) return false;
  std::uint8_t stored[256];
  while (length > 0) {
    std::uint32_t chunk = length < sizeof(stored) ? length : sizeof(stored);
    for (std::uint32_t i = 0; i < chunk; ++i) stored[i] = static_cast<std::uint8_t>(~bytes[i]);
    if (!file_.WriteAt(address, stored, chunk)) return false;
    address += chunk;
    bytes += chunk;
    length -= chunk;
  }
  return true;
}

}  // namespace tarvo::sim
