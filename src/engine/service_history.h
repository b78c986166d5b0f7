// The service history as the engine sees it: a record of every run on a camera, and one record
// before and one after each device's programming, so that a programming that was cut off (cable
// pulled, power lost, the process killed) leaves its trace. The engine writes through this seam
// and asks it which devices of a camera were left half-written; the file behind it, its format
// and where it lies are the implementation's (src/history).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/run_report.h"

namespace tarvo {

class ServiceHistory {
 public:
  virtual ~ServiceHistory() = default;

  // Each write is on disk when it returns true. A history that cannot be written never stops
  // a run: false, and Problem() says why.
  // Before the device of a Program run is erased.
  [[nodiscard]] virtual bool DeviceStarted(const RunReport& run, DeviceIndex device) = 0;
  // After the device's outcome is known (run.devices[device]).
  [[nodiscard]] virtual bool DeviceEnded(const RunReport& run, DeviceIndex device) = 0;
  // When a run has ended (run.finished).
  [[nodiscard]] virtual bool RunEnded(const RunReport& run) = 0;

  // The devices of the camera whose last programming started and did not end in success.
  virtual std::vector<DeviceIndex> UnfinishedDevices(std::int32_t serialNumber) = 0;

  // Where the history is kept, and why the last write or read failed (empty when it did not).
  virtual const std::string& Path() const = 0;
  virtual const std::string& Problem() const = 0;
};

}  // namespace tarvo
