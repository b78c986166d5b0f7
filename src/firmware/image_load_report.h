// How loading a device image speaks to the user: log lines, the result box, file error texts
// and the device's progress state. The main window implements it, and so does tarvo-cli.
#pragma once

#include <cstdint>
#include <string>

#include "firmware/device_catalogue.h"

namespace tarvo {

class ImageLoadReport {
 public:
  virtual ~ImageLoadReport() = default;
  // One log line (a text ending in "\n" gets one trailing blank, as every log line).
  virtual void WriteLog(const std::string& text) = 0;
  // The result box; a failure is logged with "ERROR: " in front.
  virtual void ShowResult(bool success, const std::string& text) = 0;
  // "File error: <file error text>\n" in the log.
  virtual void LogFileError(const std::string& fileName, std::uint32_t code) = 0;
  // The device's progress state becomes failed (red bar at 100 %), shown at once.
  virtual void ShowDeviceFailed(DeviceIndex device) = 0;
};

}  // namespace tarvo
