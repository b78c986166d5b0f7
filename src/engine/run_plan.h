// The steps of a run, worked out from the window's state before anything is sent to the camera.
// The runs execute exactly these steps and tarvo-cli's dry run prints them, so a plan can never
// promise what the run would not do.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/program_order.h"
#include "firmware/image_version.h"

namespace tarvo {

using DeviceFlags = std::array<bool, kDeviceCount>;

enum class RunStepKind {
  kProgram,         // erase and program the device, then pause
  kPassOver,        // the order names the device, but it is not selected
  kReboot,          // an order step: reboot the camera and wait for it
  kWait,            // an order step: wait
  kFinalReboot,     // after the order: reboot, reconnect, read the versions and check them
  kVerify,          // read the device back and compare it, then pause
  kVersionDiffers,  // Verify: the camera's version is not the packet's; not compared
  kNotVerifiable,   // Verify: Power uP cannot be read back
  kVerifyReboot,    // after verifying: reboot and reconnect
};

struct RunStep {
  RunStepKind kind = RunStepKind::kProgram;
  DeviceIndex device = 0;     // device steps only
  std::uint32_t waitMs = 0;   // kWait: the wait; reboots: the countdown
  std::uint32_t pauseMs = 0;  // kProgram, kVerify: the pause that follows
};

// The Program run's steps for an order: every step up to the end mark (or a code that ends the
// list), then the final reboot with the version check.
std::vector<RunStep> PlanProgramSteps(const ProgramOrder& order, const DeviceFlags& selected,
                                      InterfaceType interfaceType);

// The Verify run's steps: the selected devices in the verify order, each verified, passed over
// because the camera carries another version than the packet, or not verifiable; then the
// reboot. Verify compares versions as (variant x 256 + major) x 100 + minor.
std::vector<RunStep> PlanVerifySteps(const DeviceFlags& selected,
                                     const std::array<DeviceVersion, kDeviceCount>& current,
                                     const std::array<DeviceVersion, kDeviceCount>& loaded,
                                     InterfaceType interfaceType);

// One device of a backup, in the order the backup reads them. A refused device is not read.
struct BackupStep {
  DeviceIndex device = 0;
  bool refused = false;
  std::string reason;  // why it is refused
};

// The devices a backup of a camera with these versions reads: the HD-SDI board only when the
// Main FPGA has variant 1; Boot uP is refused when its firmware is older than 1.0, since such
// firmware keeps no application area to read.
std::vector<BackupStep> PlanBackupSteps(const std::array<DeviceVersion, kDeviceCount>& current);

// True when a Boot uP with this version can be read back.
bool BootUpReadableForBackup(const DeviceVersion& bootUp);

}  // namespace tarvo
