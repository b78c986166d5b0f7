// The progress of a camera command as tarvo-cli shows it: which step of the plan runs (the same
// steps a dry run lists, without the ones that take no time), how long the command has been
// running, and about how long it will still take, from the image sizes and the waits of the
// steps ahead.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/plan_steps.h"
#include "engine/run_report.h"

namespace tarvo::cli {

struct ProgressStep {
  PlannedStep step;
  std::uint64_t bytes = 0;   // image bytes the step moves to or from the camera
  std::uint64_t waitMs = 0;  // every fixed wait of the step, nominal
};

using ImageSizes = std::array<std::uint32_t, kDeviceCount>;

// The timed steps of a plan with what each moves and waits. A backup reads the devices listed.
std::vector<ProgressStep> ProgressSteps(const std::vector<PlannedStep>& steps,
                                        const ImageSizes& imageBytes,
                                        const std::vector<DeviceIndex>& backupDevices);

class RunProgress {
 public:
  using Clock = std::chrono::steady_clock;

  // The steps to come, and the scale of the program's waits (0: no waiting).
  void Plan(std::vector<ProgressStep> steps, double timeScale, Clock::time_point now);
  bool Planned() const { return !steps_.empty(); }

  // What the run does; each returns true when it began the next step.
  // A device's work begins: read back for the backup, or programmed or verified.
  bool DeviceStarted(DeviceIndex device, bool forBackup, Clock::time_point now);
  void DeviceEnded(DeviceIndex device, Clock::time_point now);
  bool RebootStarted(RebootPurpose purpose, Clock::time_point now);
  // A status line: true when it is the one a wait step of the order begins with.
  bool StatusLine(const std::string& text, Clock::time_point now);

  // "Step 3 of 9 (0:12 so far, about 2:30 left): Erase and program Main FPGA, then pause 1 s";
  // empty before the first step.
  std::string Line(Clock::time_point now) const;
  std::chrono::milliseconds Remaining(Clock::time_point now) const;

 private:
  bool Enter(std::size_t index, Clock::time_point now);
  // The first step after the current one that passes the test.
  template <typename Test>
  bool EnterNext(Test test, Clock::time_point now);
  double EstimateMs(const ProgressStep& step) const;

  std::vector<ProgressStep> steps_;
  double timeScale_ = 1.0;
  Clock::time_point start_{};
  Clock::time_point stepStart_{};
  int current_ = -1;
  // Transfer speed as measured: image bytes moved and the time their moving took.
  std::uint64_t bytesMoved_ = 0;
  double transferMs_ = 0;
  std::array<Clock::time_point, kDeviceCount> deviceStart_{};
};

}  // namespace tarvo::cli
