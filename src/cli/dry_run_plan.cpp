#include "cli/dry_run_plan.h"

#include <algorithm>

#include "cli/camera_session.h"
#include "cli/device_selection.h"
#include "engine/run_plan.h"
#include "engine/version_rules.h"

namespace tarvo::cli {

namespace {

const char* DecisionName(PlanDecision decision) {
  switch (decision) {
    case PlanDecision::kProgram:
      return "will be programmed";
    case PlanDecision::kNotSelected:
      return "not selected";
    case PlanDecision::kRefused:
      return "refused";
  }
  return "";
}

std::string Seconds(std::uint32_t milliseconds) {
  return FormatText("%u s", milliseconds / 1000);
}

PlannedDevice PlanDevice(CProgrammerDlg& dlg, DeviceIndex device, const PlanRequest& request) {
  const WindowPort& window = dlg.Window();
  const VersionTable& current = dlg.Camera().current;
  const VersionTable& loaded = dlg.LoadedVersions();
  PlannedDevice planned;
  planned.device = device;
  planned.cameraVersion =
      current[device].variant == -1 ? "not avail" : FormatDeviceVersion(current[device]);
  planned.packetVersion = loaded[device].variant == -1 ? "" : FormatDeviceVersion(loaded[device]);
  if (!window.IsDeviceEnabled(device)) {
    planned.decision = PlanDecision::kRefused;
    planned.reason = RefusalReason(device, current, loaded, dlg.EmergencyMode());
  } else if (window.IsDeviceChecked(device)) {
    planned.decision = PlanDecision::kProgram;
    planned.reason = request.devicesNamed ? "named in --devices"
                     : dlg.UnfinishedDevices()[device]
                         ? "the last update did not finish on it"
                         : PreselectionReason(device, current, loaded);
  } else {
    planned.decision = PlanDecision::kNotSelected;
    planned.reason = request.devicesNamed ? "not named in --devices"
                                          : PreselectionReason(device, current, loaded);
  }
  return planned;
}

// The backup the run would make, from the same plan the backup follows: a device it would
// refuse to read is named as refused, not promised.
void PlanBackup(CProgrammerDlg& dlg, bool continueWithout, std::vector<PlannedStep>* steps) {
  std::string devices;
  std::string refused;
  for (const BackupStep& step : PlanBackupSteps(dlg.Camera().current)) {
    std::string& list = step.refused ? refused : devices;
    if (!list.empty()) list += ", ";
    list += DeviceDisplayName(step.device);
    if (step.refused) list += " (" + step.reason + ")";
  }
  std::string text = FormatText("Back up %s into %s, then reboot the camera and reconnect",
                                devices.c_str(), dlg.NextBackupFileName().c_str());
  if (!refused.empty()) {
    text += "; not backed up: " + refused + "; the backup is incomplete and the run ";
    text += continueWithout ? "goes on (--continue-without-backup)" : "stops there";
  }
  steps->push_back({"backup", -1, 0, text});
}

// The steps the run would take, from the same plan the run executes.
void PlanRunSteps(const std::vector<RunStep>& planned, std::vector<PlannedStep>* steps) {
  for (const RunStep& step : planned) {
    const char* name = DeviceDisplayName(step.device);
    switch (step.kind) {
      case RunStepKind::kReboot:
        steps->push_back({"reboot", -1, step.waitMs,
                          "Reboot the camera and wait " + Seconds(step.waitMs) + " for it"});
        break;
      case RunStepKind::kWait:
        steps->push_back({"wait", -1, step.waitMs, "Wait " + Seconds(step.waitMs)});
        break;
      case RunStepKind::kPassOver:
        steps->push_back({"pass-over", static_cast<int>(step.device), 0,
                          FormatText("Pass over %s (not selected)", name)});
        break;
      case RunStepKind::kProgram:
        steps->push_back({"program", static_cast<int>(step.device), step.pauseMs,
                          FormatText("Erase and program %s, then pause %s", name,
                                     Seconds(step.pauseMs).c_str())});
        break;
      case RunStepKind::kFinalReboot:
        steps->push_back({"final-reboot", -1, step.waitMs,
                          "Reboot the camera and wait " + Seconds(step.waitMs) + " for it"});
        steps->push_back({"version-check", -1, 0,
                          "Connect, read the versions and check that every selected device "
                          "carries the packet's version"});
        break;
      case RunStepKind::kVerify:
        steps->push_back(
            {"verify", static_cast<int>(step.device), step.pauseMs,
             FormatText("Verify %s, then pause %s", name, Seconds(step.pauseMs).c_str())});
        break;
      case RunStepKind::kVersionDiffers:
      case RunStepKind::kNotVerifiable:
        steps->push_back({"verify-pass-over", static_cast<int>(step.device), 0,
                          FormatText("Pass over %s (%s)", name,
                                     step.kind == RunStepKind::kNotVerifiable
                                         ? "cannot be read back"
                                         : "the camera's version will differ from the packet's")});
        break;
      case RunStepKind::kVerifyReboot:
        steps->push_back({"verify-reboot", -1, step.waitMs,
                          "Reboot the camera and wait " + Seconds(step.waitMs) + " for it"});
        break;
    }
  }
}

}  // namespace

DryRunPlan PlanProgramRun(CProgrammerDlg& dlg, const PlanRequest& request) {
  DryRunPlan plan;
  plan.serialNumber = dlg.Camera().serialNumber;
  plan.interfaceName = request.interfaceName;
  plan.packetPath = request.packetPath;
  plan.emergencyMode = dlg.EmergencyMode();
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    plan.devices.push_back(PlanDevice(dlg, device, request));
  }
  if (dlg.CountCheckedDevices() == 0) return plan;
  DeviceFlags selected{};
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    selected[device] = dlg.Window().IsDeviceChecked(device);
  }
  if (request.backup) PlanBackup(dlg, request.continueWithoutBackup, &plan.steps);
  PlanRunSteps(PlanProgramSteps(RunnableOrder(dlg.Packet()), selected, dlg.SelectedInterface()),
               &plan.steps);
  // After a good update every programmed device carries the packet's version, so the verify
  // that follows compares them all.
  if (request.verify) {
    PlanRunSteps(PlanVerifySteps(selected, dlg.LoadedVersions(), dlg.LoadedVersions(),
                                 dlg.SelectedInterface()),
                 &plan.steps);
  }
  return plan;
}

nlohmann::json PlanJson(const DryRunPlan& plan) {
  nlohmann::json json;
  json["dry_run"] = true;
  json["serial_number"] = plan.serialNumber;
  json["interface"] = plan.interfaceName;
  json["packet"] = plan.packetPath;
  json["emergency_mode"] = plan.emergencyMode;
  nlohmann::json devices = nlohmann::json::array();
  for (const PlannedDevice& device : plan.devices) {
    devices.push_back({{"index", device.device},
                       {"name", DeviceDisplayName(device.device)},
                       {"camera_version", device.cameraVersion},
                       {"packet_version", device.packetVersion},
                       {"decision", DecisionName(device.decision)},
                       {"reason", device.reason}});
  }
  json["devices"] = devices;
  nlohmann::json steps = nlohmann::json::array();
  for (const PlannedStep& step : plan.steps) {
    nlohmann::json entry = {{"step", step.kind}, {"text", step.text}};
    if (step.device >= 0) {
      entry["device"] = step.device;
      entry["device_name"] = DeviceDisplayName(static_cast<DeviceIndex>(step.device));
    }
    if (step.pauseMilliseconds > 0) entry["pause_ms"] = step.pauseMilliseconds;
    steps.push_back(entry);
  }
  json["steps"] = steps;
  return json;
}

std::string PlanText(const DryRunPlan& plan) {
  std::string text;
  auto line = [&text](const std::string& content) { text += content + "\n"; };
  line(FormatText("Dry run: camera SN %d on %s, packet %s; nothing on the camera is changed.",
                  static_cast<int>(plan.serialNumber), InterfaceDisplayName(plan.interfaceName),
                  plan.packetPath.c_str()));
  if (plan.emergencyMode) line("Emergency mode: version safeguards lifted, no backup.");
  line("Device       Camera      Packet      Decision");
  for (const PlannedDevice& device : plan.devices) {
    line(FormatText("%-12s %-11s %-11s %s: %s", DeviceDisplayName(device.device),
                    device.cameraVersion.c_str(),
                    device.packetVersion.empty() ? "-" : device.packetVersion.c_str(),
                    DecisionName(device.decision), device.reason.c_str()));
  }
  if (plan.steps.empty()) {
    line("No device is selected: the run would do nothing.");
    return text;
  }
  line("Steps as they would run:");
  int number = 1;
  for (const PlannedStep& step : plan.steps) {
    line(FormatText("  %2d. %s", number++, step.text.c_str()));
  }
  return text;
}

}  // namespace tarvo::cli
