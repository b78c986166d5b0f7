// An image load report that records what loading showed.
#pragma once

#include <string>
#include <vector>

#include "firmware/image_load_report.h"
#include "log/error_texts.h"

namespace tarvo::test {

class RecordingReport final : public ImageLoadReport {
 public:
  void WriteLog(const std::string& text) override { logLines.push_back(text); }
  void ShowResult(bool success, const std::string& text) override {
    results.push_back((success ? "" : "ERROR: ") + text);
  }
  void LogFileError(const std::string& fileName, std::uint32_t code) override {
    logLines.push_back("File error: " + FileErrorText(code, fileName) + "\n");
    fileErrors.push_back(code);
  }
  void ShowDeviceFailed(DeviceIndex device) override { failedDevices.push_back(device); }

  std::vector<std::string> logLines;
  std::vector<std::string> results;
  std::vector<std::uint32_t> fileErrors;
  std::vector<DeviceIndex> failedDevices;
};

}  // namespace tarvo::test
