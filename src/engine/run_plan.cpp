#include "engine/run_plan.h"

namespace tarvo {

namespace {

// Firmware older than major version 1 keeps no application area to read back.
constexpr std::int32_t kBootUpLowestMajorForReadBack = 1;

std::int32_t VerifyVersionKey(const DeviceVersion& version) {
  return (version.variant * 256 + version.major) * 100 + version.minor;
}

std::uint32_t RebootWaitMs(InterfaceType interfaceType) {
  return static_cast<std::uint32_t>(RebootWaitSeconds(interfaceType)) * 1000u;
}

}  // namespace

std::vector<RunStep> PlanProgramSteps(const ProgramOrder& order, const DeviceFlags& selected,
                                      InterfaceType interfaceType) {
  std::vector<RunStep> steps;
  for (std::uint16_t code : order) {
    const OrderStep step = ClassifyOrderStep(code);
    if (step.kind == OrderStepKind::kEnd || step.kind == OrderStepKind::kStop) break;
    if (step.kind == OrderStepKind::kReboot) {
      steps.push_back({RunStepKind::kReboot, 0, RebootWaitMs(interfaceType), 0});
    } else if (step.kind == OrderStepKind::kWait) {
      steps.push_back({RunStepKind::kWait, 0, step.seconds * 1000u, 0});
    } else if (selected[step.device]) {
      steps.push_back(
          {RunStepKind::kProgram, step.device, 0, ProgramPauseMilliseconds(step.device)});
    } else {
      steps.push_back({RunStepKind::kPassOver, step.device, 0, 0});
    }
  }
  steps.push_back({RunStepKind::kFinalReboot, 0, RebootWaitMs(interfaceType), 0});
  return steps;
}

std::vector<RunStep> PlanVerifySteps(const DeviceFlags& selected,
                                     const std::array<DeviceVersion, kDeviceCount>& current,
                                     const std::array<DeviceVersion, kDeviceCount>& loaded,
                                     InterfaceType interfaceType) {
  std::vector<RunStep> steps;
  for (DeviceIndex device : kVerifyOrder) {
    if (!selected[device]) continue;
    if (VerifyVersionKey(current[device]) != VerifyVersionKey(loaded[device])) {
      steps.push_back({RunStepKind::kVersionDiffers, device, 0, 0});
    } else {
      steps.push_back({RunStepKind::kVerify, device, 0, VerifyPauseMilliseconds(device)});
    }
  }
  // Power uP has no place in the verify order: it cannot be read back.
  if (selected[DEVICE_POWER_UP]) steps.push_back({RunStepKind::kNotVerifiable, DEVICE_POWER_UP});
  steps.push_back({RunStepKind::kVerifyReboot, 0, RebootWaitMs(interfaceType), 0});
  return steps;
}

bool BootUpReadableForBackup(const DeviceVersion& bootUp) {
  return bootUp.major >= kBootUpLowestMajorForReadBack;
}

std::vector<BackupStep> PlanBackupSteps(const std::array<DeviceVersion, kDeviceCount>& current) {
  std::vector<BackupStep> steps;
  for (DeviceIndex device : kBackupDevices) {
    if (device == DEVICE_HDSDI_FPGA && current[DEVICE_MAIN_FPGA].variant != kHdsdiMainFpgaVariant) {
      continue;
    }
    BackupStep step{device, false, {}};
    if (device == DEVICE_BOOT_UP && !BootUpReadableForBackup(current[device])) {
      step.refused = true;
      step.reason = current[device].IsAvailable()
                        ? "its firmware " + FormatDeviceVersion(current[device]) +
                              " is older than 1.0 and keeps no application area to read"
                        : "the camera reports no Boot uP version";
    }
    steps.push_back(step);
  }
  return steps;
}

}  // namespace tarvo
