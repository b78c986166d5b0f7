// One device's NOR flash, kept in a sparse file of the device's capacity. The file holds every
// byte complemented, so that the holes of a sparse file read as erased flash (0xFF) and an
// erase is just a truncation.
#pragma once

#include <cstdint>
#include <string>

#include "sim/core/sim_file.h"

namespace tarvo::sim {

class FlashDevice {
 public:
  FlashDevice() = default;
  ~FlashDevice();
  FlashDevice(const FlashDevice&) = delete;
  FlashDevice& operator=(const FlashDevice&) = delete;

  // Opens (creating when missing) the device file and gives it the device's capacity.
  [[nodiscard]] bool Open(const std::string& path, std::uint32_t capacity);
  void Close();
  bool IsOpen() const { return file_.IsOpen(); }
  std::uint32_t Capacity() const { return capacity_; }

  // True when [address, address + length) lies inside the device.
  bool Contains(std::uint64_t address, std::uint64_t length) const {
    return address + length <= capacity_;
  }

  [[nodiscard]] bool Erase();
  // Reads flash bytes; the range must lie inside the device.
  [[nodiscard]] bool Read(std::uint32_t address, std::uint8_t* bytes, std::uint32_t length) const;
  // True when every byte of the range is erased; false also when it cannot be read.
  bool IsErased(std::uint32_t address, std::uint32_t length) const;
  // Stores bytes without the erased-bytes rule (the caller checks it, or writes at the factory).
  [[nodiscard]] bool Program(std::uint32_t address, const std::uint8_t* bytes,
                             std::uint32_t length);

 private:
  SimFile file_;
  std::uint32_t capacity_ = 0;
};

}  // namespace tarvo::sim
