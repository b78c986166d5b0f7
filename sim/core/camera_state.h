// The simulated camera's settings and run-time state, kept in one fixed-layout record that
// every process using the camera maps from the camera folder. Everything the camera must
// remember between two loads of an interface library lives here: the selected device, the
// reboot in progress, and the fault counters. Flash contents live in the device files.
#pragma once

#include <cstdint>

namespace tarvo::sim {

inline constexpr char kStateMagic[8] = {'O', 'R', 'V', 'A', 'C', 'S', 'I', 'M'};
inline constexpr std::uint32_t kStateLayoutVersion = 1;
inline constexpr std::int32_t kNoDevice = -1;

// Fails one telegram: the nth one counted from when the fault was set (of one command code
// only, when `command` is not 0).
struct TelegramFault {
  std::uint8_t active;
  std::uint8_t reserved[1];
  std::uint16_t command;
  std::uint32_t nth;
  std::uint32_t seen;
  std::uint32_t code;
};

// Flips one bit of the nth byte passing through written or read data (counted from 1 over all
// data bytes since the fault was set); silent, like a marginal flash cell or a bad cable.
struct BitFlipFault {
  std::uint8_t active;
  std::uint8_t bit;
  std::uint8_t reserved[6];
  std::uint64_t nth;
  std::uint64_t seen;
};

struct CameraSettings {
  std::uint32_t serialNumber;
  std::uint16_t cameraType;
  std::uint8_t newerHdsdiBoard;  // answers 0x4A03 instead of 0x4703
  std::uint8_t hdsdiReadScale;   // 1 or 2: HD-SDI read addresses are scale x byte offset
  std::uint8_t pagedVersions;    // understands the paged versions query
  std::uint8_t reserved[3];
  std::uint16_t extraEntries;    // version entries that belong to no programmable device
  std::uint16_t latencyCommand;  // 0: latencyMs delays every telegram; else only this command's
  std::uint32_t latencyMs;
};

struct CameraFaults {
  std::uint8_t noCamera;
  std::uint8_t notBackAfterReboot;
  std::uint16_t wrongCameraType;    // answered instead of the real type when not 0
  std::uint32_t serialAfterReboot;  // the serial number the camera has after its next reboot
  std::uint8_t newSerialAfterReboot;
  std::uint8_t reserved[7];
  TelegramFault failTelegram;
  BitFlipFault flipWrite;
  BitFlipFault flipRead;
};

struct CameraRuntime {
  std::int32_t selectedDevice;  // kNoDevice or a device index
  std::uint8_t rebooting;       // a reboot was requested; back at the next Open_Cam
  std::uint8_t gone;            // did not come back from a reboot
  std::uint8_t reserved[2];
  std::uint32_t rebootCount;
  std::uint32_t openCount;
  std::uint64_t telegramCount;
};

struct CameraState {
  char magic[8];
  std::uint32_t layoutVersion;
  std::uint32_t size;
  CameraSettings settings;
  CameraFaults faults;
  CameraRuntime runtime;
};

// A camera as it leaves the factory.
CameraSettings DefaultSettings();
void ResetState(CameraState* state, const CameraSettings& settings);
bool IsValidState(const CameraState& state);

}  // namespace tarvo::sim
