// Runs against the simulated camera: a camera with older firmware on every device and a
// packet of newer firmware for all nine, loaded and connected, with every device preselected.
#pragma once

#include <string>
#include <vector>

#include "engine_fixture.h"

namespace tarvo::test {

// The version every device of the run packet carries (Boot uP needs 4.11 at least).
inline constexpr std::uint8_t kPacketMajor = 4;
inline constexpr std::uint8_t kPacketMinor = 12;

// A small image the camera recognises and reports with its version: a header and some data
// for the header devices, the application block of Boot uP, the info block of Power uP.
PacketImage SmallRecognisedImage(DeviceIndex device, std::uint8_t major, std::uint8_t minor);

class RunFixture : public EngineFixture {
 protected:
  // Nine recognised images of variant 1, version kPacketMajor.kPacketMinor.
  static std::vector<PacketImage> NineDevicePacket();
  // Checks exactly the given devices.
  void CheckOnly(const std::vector<DeviceIndex>& devices);
  // The camera's flash holds the image at its addresses.
  bool FlashHolds(const PacketImage& image);
  // Telegrams the camera saw while the action ran, in order: the code, and "@" with the start
  // address for those that carry one ("1403@00000100").
  std::vector<std::string> TracedCodes(const std::function<void()>& action);
  // Status lines starting with a text.
  std::vector<std::string> StatusLinesStartingWith(const std::string& prefix) const;
};

}  // namespace tarvo::test
