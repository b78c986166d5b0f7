// program --dry-run: what a program run would do, worked out from the connected camera, the
// loaded packet and the chosen devices, without a telegram that changes the camera.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "engine/programmer_dlg.h"

namespace tarvo::cli {

enum class PlanDecision { kProgram, kNotSelected, kRefused };

struct PlannedDevice {
  DeviceIndex device = 0;
  std::string cameraVersion;  // as the "Current FW" label shows it
  std::string packetVersion;  // as the "Loaded FW" label shows it
  PlanDecision decision = PlanDecision::kNotSelected;
  std::string reason;
};

struct PlannedStep {
  std::string kind;  // backup, program, pass-over, reboot, wait, end, final-reboot, reconnect,
                     // version-check, verify, verify-reboot
  int device = -1;   // the device of a program, pass-over or verify step
  std::uint32_t pauseMilliseconds = 0;  // the pause or wait that follows the step
  std::string text;
};

struct DryRunPlan {
  std::int32_t serialNumber = -1;
  std::string interfaceName;
  std::string packetPath;
  bool emergencyMode = false;
  std::vector<PlannedDevice> devices;
  std::vector<PlannedStep> steps;
};

struct PlanRequest {
  std::string interfaceName;
  std::string packetPath;
  bool backup = false;
  bool continueWithoutBackup = false;
  bool verify = false;
  bool devicesNamed = false;  // --devices was given
};

// The plan for the window's state now: check boxes as chosen, versions as read and loaded.
DryRunPlan PlanProgramRun(CProgrammerDlg& dlg, const PlanRequest& request);

nlohmann::json PlanJson(const DryRunPlan& plan);
std::string PlanText(const DryRunPlan& plan);

}  // namespace tarvo::cli
