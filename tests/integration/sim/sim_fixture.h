// A fresh simulated camera in a temporary folder for each test, reached through the program's
// link and the built interface library; tarvo-camsim, run as its own process, sets its faults.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "firmware/device_catalogue.h"
#include "firmware/image_version.h"
#include "link/link.h"
#include "link/telegrams.h"
#include "sim/core/sim_errors.h"
#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tarvo::simtest {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t Fw(std::uint32_t number) {
  return sim::CameraError(number);
}

inline std::uint32_t Le(const Bytes& bytes, std::size_t at, int width = 2) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

// A request area of `length` bytes: code and size field, then the fields at 4 (a block's start
// address, a page number) and at 8 (a block's last address), as far as the area reaches.
inline Bytes Telegram(std::uint16_t code, std::uint16_t size, std::uint32_t length,
                      std::uint32_t at4 = 0, std::uint32_t at8 = 0) {
  Bytes bytes(length, 0);
  const std::uint32_t words[] = {code | std::uint32_t{size} << 16, at4, at8};
  for (std::size_t i = 0; i < 12 && i < length; ++i)
    bytes[i] = static_cast<std::uint8_t>(words[i / 4] >> (8 * (i % 4)));
  return bytes;
}

struct Answer {
  std::uint32_t result = 0;
  Bytes bytes;
};

// Sends exactly these bytes (the final byte is the library's); the answer area starts as 0xEE.
inline Answer Send(Bytes request, std::uint32_t responseLength, std::uint32_t timeoutMs = 2500) {
  Answer answer{0, Bytes(responseLength, 0xEE)};
  answer.result = Transact(timeoutMs, request.data(), static_cast<std::uint32_t>(request.size()),
                           answer.bytes.data(), responseLength);
  return answer;
}

inline Answer CameraType() {
  return Send(Telegram(0x0110, 5, 5), 23);
}
inline Answer VersionsPage(std::uint8_t page) {
  return Send(Telegram(0x0D10, 6, 6, page), 207);
}
inline std::uint32_t Select(DeviceIndex index) {
  return SelectDevice(DeviceSelectCode(index));
}

// Reads [address, address + length) of the selected device; empty when a read fails.
inline Bytes ReadRange(std::uint32_t address, std::uint32_t length) {
  Bytes bytes(length);
  for (std::uint32_t at = 0; at < length; at += 256) {
    if (ReadBlock(address + at, std::min(256u, length - at), bytes.data() + at) != 0) return {};
  }
  return bytes;
}

// Selects, erases, writes in 256-byte blocks and ends access; the first failure's code.
inline std::uint32_t ProgramImage(DeviceIndex index, std::uint32_t start, const Bytes& bytes) {
  std::uint32_t result = Select(index);
  if (result == 0) result = EraseDevice(30);
  for (std::uint32_t at = 0; result == 0 && at < bytes.size(); at += 256) {
    const auto length = std::min<std::uint32_t>(256, static_cast<std::uint32_t>(bytes.size()) - at);
    result = WriteBlock(start + at, bytes.data() + at, length);
  }
  const std::uint32_t ended = EndDeviceAccess();
  return result != 0 ? result : ended;
}

struct Reported {
  std::string name, version;
};

// The entries a versions answer carries for its page (ten to a page).
inline std::vector<Reported> Entries(const Answer& answer, std::uint32_t page = 0) {
  std::vector<Reported> entries;
  for (std::uint32_t i = 0; i < 10 && page * 10 + i < Le(answer.bytes, 4); ++i) {
    const std::uint8_t* entry = answer.bytes.data() + 6 + 20 * i;
    entries.push_back({reinterpret_cast<const char*>(entry),
                       FormatDeviceVersion(entry[18] | entry[19] << 8, entry[17], entry[16])});
  }
  return entries;
}

// The version the camera reports for a device; empty when it reports none.
inline std::string VersionOf(DeviceIndex index) {
  for (const Reported& entry : Entries(VersionsPage(0)))
    if (DeviceIndexFromCameraName(entry.name) == index) return entry.version;
  return {};
}

class SimCameraTest : public ::testing::Test {
 protected:
  SimCameraTest()
      : environment_("QLM_SIM_DIR", folder_.Path()), trace_("QLM_SIM_TRACE", std::nullopt) {}
  ~SimCameraTest() override { (void)CloseLink(); }

  void Connect(InterfaceType type = INTERFACE_USB2) { ASSERT_EQ(OpenLink(type), 0u) << type; }

  test::ProgramRun Camsim(const std::string& arguments) {
    return test::RunProgram(TARVO_CAMSIM_PATH, arguments, scratch_.Path());
  }

  test::TempFolder folder_, scratch_;
  test::ScopedEnvironment environment_, trace_;
};

}  // namespace tarvo::simtest
