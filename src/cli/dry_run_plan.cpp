#include "cli/dry_run_plan.h"

#include <algorithm>

#include "cli/camera_session.h"
#include "cli/device_selection.h"
#include "engine/program_order.h"
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
    planned.reason =
        request.devicesNamed ? "named in --devices" : PreselectionReason(device, current, loaded);
  } else {
    planned.decision = PlanDecision::kNotSelected;
    planned.reason = request.devicesNamed ? "not named in --devices"
                                          : PreselectionReason(device, current, loaded);
  }
  return planned;
}

void PlanBackup(CProgrammerDlg& dlg, std::vector<PlannedStep>* steps) {
  std::string devices;
  for (DeviceIndex device : kBackupDevices) {
    if (device == DEVICE_HDSDI_FPGA &&
        dlg.Camera().current[DEVICE_MAIN_FPGA].variant != kHdsdiMainFpgaVariant) {
      continue;
    }
    if (!devices.empty()) devices += ", ";
    devices += DeviceDisplayName(device);
  }
  steps->push_back({"backup", -1, 0,
                    FormatText("Back up %s into %s, then reboot the camera and reconnect",
                               devices.c_str(), dlg.NextBackupFileName().c_str())});
}

void PlanOrder(CProgrammerDlg& dlg, std::vector<PlannedStep>* steps) {
  const WindowPort& window = dlg.Window();
  const std::uint32_t rebootWait =
      static_cast<std::uint32_t>(RebootWaitSeconds(dlg.SelectedInterface())) * 1000u;
  for (std::uint16_t code : RunnableOrder(dlg.Packet())) {
    const OrderStep step = ClassifyOrderStep(code);
    if (step.kind == OrderStepKind::kEnd || step.kind == OrderStepKind::kStop) break;
    if (step.kind == OrderStepKind::kReboot) {
      steps->push_back({"reboot", -1, rebootWait,
                        "Reboot the camera and wait " + Seconds(rebootWait) + " for it"});
    } else if (step.kind == OrderStepKind::kWait) {
      const std::uint32_t wait = step.seconds * 1000;
      steps->push_back({"wait", -1, wait, "Wait " + Seconds(wait)});
    } else if (!window.IsDeviceChecked(step.device)) {
      steps->push_back({"pass-over", static_cast<int>(step.device), 0,
                        FormatText("Pass over %s (not selected)", DeviceDisplayName(step.device))});
    } else {
      const std::uint32_t pause = ProgramPauseMilliseconds(step.device);
      steps->push_back({"program", static_cast<int>(step.device), pause,
                        FormatText("Erase and program %s, then pause %s",
                                   DeviceDisplayName(step.device), Seconds(pause).c_str())});
    }
  }
  steps->push_back({"final-reboot", -1, rebootWait,
                    "Reboot the camera and wait " + Seconds(rebootWait) + " for it"});
  steps->push_back({"version-check", -1, 0,
                    "Connect, read the versions and check that every selected device carries "
                    "the packet's version"});
}

void PlanVerify(CProgrammerDlg& dlg, std::vector<PlannedStep>* steps) {
  const WindowPort& window = dlg.Window();
  for (DeviceIndex device : kVerifyOrder) {
    if (!window.IsDeviceChecked(device)) continue;
    const std::uint32_t pause = VerifyPauseMilliseconds(device);
    steps->push_back({"verify", static_cast<int>(device), pause,
                      FormatText("Verify %s, then pause %s", DeviceDisplayName(device),
                                 Seconds(pause).c_str())});
  }
  const std::uint32_t rebootWait =
      static_cast<std::uint32_t>(RebootWaitSeconds(dlg.SelectedInterface())) * 1000u;
  steps->push_back({"verify-reboot", -1, rebootWait,
                    "Reboot the camera and wait " + Seconds(rebootWait) + " for it"});
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
  if (request.backup) PlanBackup(dlg, &plan.steps);
  PlanOrder(dlg, &plan.steps);
  if (request.verify) PlanVerify(dlg, &plan.steps);
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
