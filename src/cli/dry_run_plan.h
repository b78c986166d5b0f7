// program --dry-run: what a program run would do, worked out from the connected camera, the
// loaded packet and the chosen devices, without a telegram that changes the camera.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/json_report.h"
#include "cli/plan_steps.h"
#include "engine/programmer_dlg.h"

namespace tarvo::cli {

enum class PlanDecision { kProgram, kNotSelected, kRefused };

struct PlannedDevice {
  DeviceIndex device = 0;
  DeviceVersion cameraVersion;
  DeviceVersion packetVersion;
  PlanDecision decision = PlanDecision::kNotSelected;
  std::string reason;
};

// The backup a program run makes first: the file, the devices it reads and those it refuses.
struct PlannedBackup {
  std::string file;
  std::vector<DeviceIndex> devices;
  std::vector<BackupStep> refused;
  bool continueWithout = false;  // a failed backup does not stop the run
};

struct DryRunPlan {
  std::int32_t serialNumber = -1;
  std::string interfaceName;
  PacketRecord packet;
  bool emergencyMode = false;
  std::vector<PlannedDevice> devices;
  std::optional<PlannedBackup> backup;
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

// The backup of the connected camera as a step, and what it reads.
PlannedBackup PlanBackup(CProgrammerDlg& dlg, bool continueWithout);
PlannedStep BackupPlanStep(const PlannedBackup& backup, InterfaceType interfaceType);

json::Json PlanJson(const DryRunPlan& plan);
std::string PlanText(const DryRunPlan& plan);

}  // namespace tarvo::cli
