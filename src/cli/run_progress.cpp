#include "cli/run_progress.h"

#include <algorithm>

#include "engine/camera_pauses.h"
#include "log/format_text.h"

namespace tarvo::cli {

namespace {

// Until a device has been programmed or verified, a transfer is taken to move this much.
constexpr double kAssumedBytesPerMs = 200.0;

std::string Duration(std::chrono::milliseconds time) {
  const long long seconds = std::max<long long>(0, (time.count() + 500) / 1000);
  if (seconds >= 3600) {
    return FormatText("%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  }
  return FormatText("%lld:%02lld", seconds / 60, seconds % 60);
}

bool IsReboot(const PlannedStep& step) {
  return step.kind == "reboot" || step.kind == "final-reboot" || step.kind == "verify-reboot";
}

const char* RebootKind(RebootPurpose purpose) {
  switch (purpose) {
    case RebootPurpose::kOrderStep:
      return "reboot";
    case RebootPurpose::kAfterProgramming:
      return "final-reboot";
    case RebootPurpose::kAfterVerify:
      return "verify-reboot";
    case RebootPurpose::kAfterBackup:
      break;
  }
  return "backup";
}

}  // namespace

std::vector<ProgressStep> ProgressSteps(const std::vector<PlannedStep>& steps,
                                        const ImageSizes& imageBytes,
                                        const std::vector<DeviceIndex>& backupDevices) {
  std::vector<ProgressStep> timed;
  for (const PlannedStep& step : steps) {
    if (IsInstantStep(step)) continue;
    ProgressStep entry{step, 0, step.waitMs};
    const std::uint64_t deviceBytes =
        step.device >= 0 ? imageBytes[static_cast<DeviceIndex>(step.device)] : 0;
    if (step.kind == "program") {
      entry = {step, deviceBytes, kPauseBeforeEraseMs + step.pauseMs};
    } else if (step.kind == "verify") {
      entry = {step, deviceBytes, kPauseBeforeReadMs + step.pauseMs};
    } else if (IsReboot(step)) {
      entry.waitMs += kPauseAfterRebootRequestMs;
    } else if (step.kind == "backup") {
      for (DeviceIndex device : backupDevices) {
        entry.bytes += imageBytes[device];
        entry.waitMs += kPauseBeforeReadMs + kPauseAfterBackupDeviceMs;
      }
      entry.waitMs += kPauseBeforeBackupRebootMs + kPauseAfterRebootRequestMs;
    }
    timed.push_back(entry);
  }
  return timed;
}

void RunProgress::Plan(std::vector<ProgressStep> steps, double timeScale, Clock::time_point now) {
  steps_ = std::move(steps);
  timeScale_ = timeScale;
  start_ = now;
  current_ = -1;
}

bool RunProgress::Enter(std::size_t index, Clock::time_point now) {
  current_ = static_cast<int>(index);
  stepStart_ = now;
  return true;
}

template <typename Test>
bool RunProgress::EnterNext(Test test, Clock::time_point now) {
  for (std::size_t index = static_cast<std::size_t>(current_ + 1); index < steps_.size(); ++index) {
    if (test(steps_[index].step)) return Enter(index, now);
  }
  return false;
}

// A backup reads several devices and reboots the camera before its step ends.
bool RunProgress::DeviceStarted(DeviceIndex device, bool forBackup, Clock::time_point now) {
  deviceStart_[device] = now;
  if (forBackup) return RebootStarted(RebootPurpose::kAfterBackup, now);
  return EnterNext(
      [device](const PlannedStep& step) {
        return step.device == static_cast<int>(device) &&
               (step.kind == "program" || step.kind == "verify");
      },
      now);
}

// The measured speed of the transfers replaces the assumed one.
void RunProgress::DeviceEnded(DeviceIndex device, Clock::time_point now) {
  if (current_ < 0) return;
  const ProgressStep& current = steps_[static_cast<std::size_t>(current_)];
  if (current.step.device != static_cast<int>(device) ||
      (current.step.kind != "program" && current.step.kind != "verify")) {
    return;
  }
  const double fixedMs = static_cast<double>(current.step.kind == "program" ? kPauseBeforeEraseMs
                                                                            : kPauseBeforeReadMs) *
                         timeScale_;
  const double elapsedMs =
      std::chrono::duration<double, std::milli>(now - deviceStart_[device]).count();
  bytesMoved_ += current.bytes;
  transferMs_ += std::max(0.0, elapsedMs - fixedMs);
}

bool RunProgress::RebootStarted(RebootPurpose purpose, Clock::time_point now) {
  const std::string kind = RebootKind(purpose);
  // The backup's own reads and its reboot are one step; two reboots of the order are two.
  if (kind == "backup" && current_ >= 0 &&
      steps_[static_cast<std::size_t>(current_)].step.kind == kind) {
    return false;
  }
  return EnterNext([&kind](const PlannedStep& step) { return step.kind == kind; }, now);
}

// A wait step of the order tells itself only by its status line.
bool RunProgress::StatusLine(const std::string& text, Clock::time_point now) {
  return EnterNext(
      [&text](const PlannedStep& step) {
        return step.kind == "wait" &&
               text == FormatText("Waiting %u seconds ...", step.waitMs / 1000);
      },
      now);
}

double RunProgress::EstimateMs(const ProgressStep& step) const {
  const double bytesPerMs = bytesMoved_ > 0 && transferMs_ > 1.0
                                ? static_cast<double>(bytesMoved_) / transferMs_
                                : kAssumedBytesPerMs;
  return static_cast<double>(step.waitMs) * timeScale_ +
         static_cast<double>(step.bytes) / bytesPerMs;
}

std::chrono::milliseconds RunProgress::Remaining(Clock::time_point now) const {
  double remaining = 0;
  for (std::size_t index = static_cast<std::size_t>(std::max(current_, 0)); index < steps_.size();
       ++index) {
    remaining += EstimateMs(steps_[index]);
  }
  if (current_ >= 0) {
    const double inStep = std::chrono::duration<double, std::milli>(now - stepStart_).count();
    remaining -= std::min(inStep, EstimateMs(steps_[static_cast<std::size_t>(current_)]));
  }
  return std::chrono::milliseconds(static_cast<long long>(remaining));
}

std::string RunProgress::Line(Clock::time_point now) const {
  if (current_ < 0) return std::string();
  return FormatText(
      "Step %d of %zu (%s so far, about %s left): %s", current_ + 1, steps_.size(),
      Duration(std::chrono::duration_cast<std::chrono::milliseconds>(now - start_)).c_str(),
      Duration(Remaining(now)).c_str(),
      steps_[static_cast<std::size_t>(current_)].step.text.c_str());
}

}  // namespace tarvo::cli
