#include "cli/dry_run_plan.h"

#include <algorithm>

#include "cli/camera_session.h"
#include "cli/device_selection.h"
#include "engine/program_order.h"
#include "engine/run_plan.h"
#include "engine/version_rules.h"

namespace tarvo::cli {

namespace {

// The decisions in PlanDecision's order: the JSON name and the words of the text form.
struct DecisionWords {
  const char* name;
  const char* text;
};
constexpr DecisionWords kDecisionWords[] = {
    {"program", "will be programmed"}, {"not-selected", "not selected"}, {"refused", "refused"}};

const DecisionWords& WordsOf(PlanDecision decision) {
  return kDecisionWords[static_cast<std::size_t>(decision)];
}

std::string VersionText(const DeviceVersion& version, const char* none) {
  return version.IsAvailable() ? FormatDeviceVersion(version) : none;
}

PlannedDevice PlanDevice(CProgrammerDlg& dlg, DeviceIndex device, const PlanRequest& request) {
  const WindowPort& window = dlg.Window();
  const VersionTable& current = dlg.Camera().current;
  const VersionTable& loaded = dlg.LoadedVersions();
  PlannedDevice planned;
  planned.device = device;
  planned.cameraVersion = current[device];
  planned.packetVersion = loaded[device];
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

}  // namespace

// The backup the run would make, from the same plan the backup follows: a device it would
// refuse to read is named as refused, not promised.
PlannedBackup PlanBackup(CProgrammerDlg& dlg, bool continueWithout) {
  PlannedBackup backup;
  backup.file = dlg.NextBackupFileName();
  backup.continueWithout = continueWithout;
  for (const BackupStep& step : PlanBackupSteps(dlg.Camera().current)) {
    if (step.refused) {
      backup.refused.push_back(step);
    } else {
      backup.devices.push_back(step.device);
    }
  }
  return backup;
}

PlannedStep BackupPlanStep(const PlannedBackup& backup, InterfaceType interfaceType) {
  const std::uint32_t rebootMs =
      static_cast<std::uint32_t>(RebootWaitSeconds(interfaceType)) * 1000;
  std::string text = "Back up " + DeviceNames(backup.devices) + " into " + backup.file +
                     ", then reboot the camera and reconnect";
  if (!backup.refused.empty()) {
    std::vector<std::string> refused;
    for (const BackupStep& step : backup.refused) {
      refused.push_back(std::string(DeviceDisplayName(step.device)) + " (" + step.reason + ")");
    }
    text +=
        "; not backed up: " + JoinTexts(refused, ", ") + "; the backup is incomplete and the run ";
    text += backup.continueWithout ? "goes on (--continue-without-backup)" : "stops there";
  }
  return {"backup", -1, -1, rebootMs, 0, text};
}

DryRunPlan PlanProgramRun(CProgrammerDlg& dlg, const PlanRequest& request) {
  DryRunPlan plan;
  plan.serialNumber = dlg.Camera().serialNumber;
  plan.interfaceName = request.interfaceName;
  plan.packet.path = request.packetPath;
  PacketHeaderInfo header;
  plan.packet.loaded = dlg.PacketLoaded() && dlg.Packet().GetHeader(&header);
  plan.packet.creationText = header.creationText;
  plan.packet.checkWord = header.checkWord;
  plan.emergencyMode = dlg.EmergencyMode();
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    plan.devices.push_back(PlanDevice(dlg, device, request));
  }
  if (dlg.CountCheckedDevices() == 0) return plan;
  DeviceFlags selected{};
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    selected[device] = dlg.Window().IsDeviceChecked(device);
  }
  if (request.backup) {
    plan.backup = PlanBackup(dlg, request.continueWithoutBackup);
    plan.steps.push_back(BackupPlanStep(*plan.backup, dlg.SelectedInterface()));
  }
  AppendRunSteps(PlanProgramSteps(RunnableOrder(dlg.Packet()), selected, dlg.SelectedInterface()),
                 &plan.steps);
  // After a good update every programmed device carries the packet's version, so the verify
  // that follows compares them all.
  if (request.verify) {
    AppendRunSteps(PlanVerifySteps(selected, dlg.LoadedVersions(), dlg.LoadedVersions(),
                                   dlg.SelectedInterface()),
                   &plan.steps);
  }
  return plan;
}

json::Json PlanJson(const DryRunPlan& plan) {
  json::Json devices = json::Json::array();
  for (const PlannedDevice& device : plan.devices) {
    devices.push_back({{"device", json::Device(device.device)},
                       {"cameraVersion", json::Version(device.cameraVersion)},
                       {"packetVersion", json::Version(device.packetVersion)},
                       {"decision", WordsOf(device.decision).name},
                       {"reason", device.reason}});
  }
  json::Json backup;
  if (plan.backup) {
    json::Json reads = json::Json::array();
    for (DeviceIndex device : plan.backup->devices) reads.push_back(json::Device(device));
    json::Json refused = json::Json::array();
    for (const BackupStep& step : plan.backup->refused) {
      refused.push_back({{"device", json::Device(step.device)}, {"reason", step.reason}});
    }
    backup = {{"file", plan.backup->file},
              {"devices", reads},
              {"refused", refused},
              {"onFailure", plan.backup->continueWithout ? "continue" : "stop"}};
  }
  json::Json steps = json::Json::array();
  for (const PlannedStep& step : plan.steps) steps.push_back(json::Step(step));
  return {{"serialNumber", plan.serialNumber},
          {"interface", plan.interfaceName},
          {"emergencyMode", plan.emergencyMode},
          {"packet", json::Packet(plan.packet)},
          {"devices", devices},
          {"backup", backup},
          {"steps", steps}};
}

std::string PlanText(const DryRunPlan& plan) {
  std::string text;
  auto line = [&text](const std::string& content) { text += content + "\n"; };
  line(FormatText("Dry run: camera SN %d on %s, packet %s; nothing on the camera is changed.",
                  static_cast<int>(plan.serialNumber),
                  InterfaceNamed(plan.interfaceName).displayName, plan.packet.path.c_str()));
  if (plan.emergencyMode) line("Emergency mode: version safeguards lifted, no backup.");
  line("Device       Camera      Packet      Decision");
  for (const PlannedDevice& device : plan.devices) {
    line(FormatText("%-12s %-11s %-11s %s: %s", DeviceDisplayName(device.device),
                    VersionText(device.cameraVersion, "not avail").c_str(),
                    VersionText(device.packetVersion, "-").c_str(), WordsOf(device.decision).text,
                    device.reason.c_str()));
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
