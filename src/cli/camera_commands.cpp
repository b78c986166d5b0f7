#include "cli/camera_commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>

#include "cli/camera_session.h"
#include "cli/command_output.h"
#include "cli/device_selection.h"
#include "cli/dry_run_plan.h"
#include "cli/run_summary.h"
#include "cli/terminal_report.h"
#include "history/history_file.h"
#include "platform/folders.h"
#include "platform/interrupt_guard.h"

namespace tarvo::cli {

namespace {

constexpr const char* kInterruptNotice =
    "\nThe run cannot be stopped once it has started: it goes on and ends by itself. Press Ctrl-C "
    "again to stop it anyway (the camera may be left without firmware, the log unsealed).\n";

// The device list and the packet file are checked before the camera is reached.
int CheckDevices(const CLI::Option* option, const std::string& devices, DeviceList* list,
                 CommandOutput& out) {
  if (option->count() > 0 && devices.empty()) {
    return out.Fail(kExitUsage, "usage",
                    "--devices needs a device list (DEVs separated by commas, or all).");
  }
  std::string error;
  if (!ParseDeviceList(devices, list, &error)) return out.Fail(kExitUsage, "usage", error);
  return kExitSuccess;
}

// A missing input file fails the command as an unusable one does.
int CheckPacketFile(const std::string& packet, CommandOutput& out) {
  if (platform::PathExists(packet)) return kExitSuccess;
  return out.Fail(kExitFailed, "file-missing", "No such packet file: " + packet);
}

// Loaded first, so that a packet that cannot be used never reaches the camera; the version
// policy then runs once more with the camera's versions when Connect has read them.
bool OpenCameraWithPacket(CameraSession& session, const std::string& packetPath) {
  return session.LoadPacket(packetPath) && session.Connect();
}

// A run's outcome: its report in the document, what went wrong on the terminal, and the
// exit status with the run's weightiest failure as the error.
int EndRun(CameraSession& session, const char* member, const GlobalOptions& global,
           CommandOutput& out) {
  const RunReport& report = session.Dlg().LastRun();
  session.Window().ClearProgress();
  out.Document()[member] = json::Run(report);
  PrintRunSummary(report, global.json);
  const int status = RunExitStatus(report);
  if (status != kExitSuccess) {
    out.FailShown(status, json::RunErrorCode(report), RunFailureSummary(report));
  }
  return status;
}

// The verify run passes over the devices whose camera version differs from the packet's; the
// report tells which, and a verify that compared nothing fails.
int RunVerify(CameraSession& session, const char* member, const GlobalOptions& global,
              CommandOutput& out) {
  CProgrammerDlg& dlg = session.Dlg();
  session.Window().NextRun();
  dlg.OnVerify();
  session.Window().ClearProgress();
  const RunReport& report = dlg.LastRun();
  const std::string passedOver = DeviceNames(report.DevicesWith(DeviceOutcome::kPassedOver));
  if (!passedOver.empty()) {
    PrintError("Not verified, the camera's version differs from the packet's: " + passedOver);
  }
  if (report.devices[DEVICE_POWER_UP].outcome == DeviceOutcome::kNotVerifiable) {
    PrintError("Not verified: Power uP cannot be read back.");
  }
  return EndRun(session, member, global, out);
}

// An update that takes a device backwards (older firmware, or another variant in emergency
// mode) happens only when the user confirms it: --yes, or an answer on a terminal.
bool ConfirmBackwardSteps(CameraSession& session, CommandOutput& out) {
  CProgrammerDlg& dlg = session.Dlg();
  const std::vector<DeviceIndex> backward = BackwardSteps(dlg);
  if (backward.empty()) return true;
  std::string steps;
  for (DeviceIndex device : backward) {
    steps += FormatText("%s%s %s -> %s", steps.empty() ? "" : ", ", DeviceDisplayName(device),
                        FormatDeviceVersion(dlg.Camera().current[device]).c_str(),
                        FormatDeviceVersion(dlg.LoadedVersions()[device]).c_str());
  }
  if (session.Window().AskYesNo(steps + ": older firmware or another variant than the "
                                        "camera's.\nProgram anyway?")) {
    return true;
  }
  out.Fail(kExitFailed, "not-confirmed",
           "Nothing was programmed: --yes confirms programming older firmware.");
  return false;
}

json::Json CameraJson(const GlobalOptions& global, const ConnectedCamera& camera) {
  json::Json devices = json::Json::array();
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    devices.push_back(
        {{"device", json::Device(device)}, {"version", json::Version(camera.current[device])}});
  }
  return {{"serialNumber", camera.serialNumber},
          {"interface", global.interfaceName},
          {"devices", devices}};
}

class InfoCommand final : public Command {
 public:
  void Define(CLI::App&) override {}

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["camera"] = nullptr;
    CameraSession session(global, out, false);
    if (!session.Connect()) return kExitFailed;
    const ConnectedCamera& camera = session.Dlg().Camera();
    out.Document()["camera"] = CameraJson(global, camera);
    if (global.json) return kExitSuccess;
    std::printf("Camera:     orva.tarvo SN %d on %s\n", static_cast<int>(camera.serialNumber),
                InterfaceNamed(global.interfaceName).displayName);
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      std::printf("%-11s %s\n", DeviceDisplayName(device),
                  session.Window().CameraVersionText(device).c_str());
    }
    return kExitSuccess;
  }
};

class ProgramCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    CLI::Option* packet = command.add_option("PACKET", packet_, "Firmware packet file (.tvf)");
    CLI::Option* latest = command.add_flag(
        "--latest-backup", latestBackup_,
        "Emergency mode: restore the connected camera from its newest complete backup (taken "
        "from the service history) instead of a PACKET");
    packet->excludes(latest);
    command.callback([packet, latest] {
      if (packet->count() == 0 && latest->count() == 0) {
        throw CLI::RequiredError("PACKET or --latest-backup");
      }
    });
    devicesOption_ = command.add_option(
        "--devices", devices_,
        "Devices to program: DEVs by commas, or all (default: the devices the version policy "
        "preselects; with --latest-backup every device of the backup)");
    CLI::Option* backup =
        command.add_flag("--backup", backup_, "Back up the camera's firmware first");
    command
        .add_flag("--continue-without-backup", continueWithoutBackup_,
                  "With --backup: update the camera even when the backup failed (without it, a "
                  "failed backup ends the run before anything is erased)")
        ->needs(backup);
    command.add_flag("--yes", yes_,
                     "Confirm programming firmware older than the camera's (or of another "
                     "variant) without being asked");
    command.add_flag("--verify", verify_, "Verify the programmed devices after the update");
    command.add_flag("--dry-run", dryRun_,
                     "Print what the run would do; nothing on the camera is changed");
  }

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["dryRun"] = dryRun_;
    out.Document()[dryRun_ ? "plan" : "run"] = nullptr;
    if (!dryRun_) out.Document()["verifyRun"] = nullptr;
    DeviceList list;
    if (const int status = CheckDevices(devicesOption_, devices_, &list, out);
        status != kExitSuccess) {
      return status;
    }
    if (backup_ && global.emergency) {
      return out.Fail(kExitUsage, "usage",
                      "--backup cannot be used with --emergency: in emergency mode programming "
                      "makes no backup first (run the backup command before).");
    }
    if (latestBackup_ && !global.emergency) {
      return out.Fail(
          kExitUsage, "usage",
          "--latest-backup restores a camera and is for emergency mode only: add --emergency.");
    }
    if (latestBackup_ && list.kind == DeviceList::Kind::kDefault) {
      list.kind = DeviceList::Kind::kAll;
    }
    if (!latestBackup_) {
      if (const int status = CheckPacketFile(packet_, out); status != kExitSuccess) return status;
    }

    const platform::InterruptGuard guard(kInterruptNotice);
    CameraSession session(global, out, yes_, dryRun_ ? CameraUse::kReadsOnly : CameraUse::kChanges);
    if (session.Refused()) return kExitFailed;
    CProgrammerDlg& dlg = session.Dlg();
    if (!(latestBackup_ ? OpenCameraWithLatestBackup(session, out)
                        : OpenCameraWithPacket(session, packet_))) {
      return kExitFailed;
    }
    std::string error;
    if (!SelectDevices(dlg, list, true, &error)) return out.Fail(kExitUsage, "usage", error);
    const DryRunPlan plan = PlanProgramRun(dlg, Request(global));
    if (dryRun_) {
      out.Document()["plan"] = PlanJson(plan);
      if (!global.json) std::fputs(PlanText(plan).c_str(), stdout);
      return kExitSuccess;
    }
    if (dlg.CountCheckedDevices() == 0) {
      const std::vector<std::string> lines = NothingSelectedLines(dlg);
      for (const std::string& line : lines) PrintError(line);
      return out.FailShown(kExitFailed, "nothing-selected", lines.front());
    }
    if (!ConfirmBackwardSteps(session, out)) return kExitFailed;
    session.Window().SetControlChecked(CommandControl::kSkipBackup, !backup_);
    dlg.SetBackupFailureChoice(continueWithoutBackup_ ? BackupFailureChoice::kContinue
                                                      : BackupFailureChoice::kStop);
    session.FollowRun(plan.steps, plan.backup ? plan.backup->devices : std::vector<DeviceIndex>());
    dlg.OnProgram();
    if (const int status = EndRun(session, "run", global, out);
        status != kExitSuccess || !verify_) {
      return status;
    }
    return RunVerify(session, "verifyRun", global, out);
  }

 private:
  PlanRequest Request(const GlobalOptions& global) const {
    PlanRequest request;
    request.interfaceName = global.interfaceName;
    request.packetPath = packet_;
    request.backup = backup_;
    request.continueWithoutBackup = continueWithoutBackup_;
    request.verify = verify_;
    request.devicesNamed = !devices_.empty();
    return request;
  }

  // The camera first, to know whose backup to take; then the backup like any packet.
  bool OpenCameraWithLatestBackup(CameraSession& session, CommandOutput& out) {
    if (!session.Connect()) return false;
    const std::int32_t serial = session.Dlg().Camera().serialNumber;
    const std::optional<std::string> backup =
        history::LatestCompleteBackup(history::ReadRecords(session.History().Path()), serial);
    if (!backup) {
      out.Fail(kExitFailed, "no-backup",
               FormatText("No complete backup of camera SN %d is recorded in %s.", serial,
                          session.History().Path().c_str()));
      return false;
    }
    PrintError("Restoring camera SN " + std::to_string(serial) + " from " + *backup);
    packet_ = *backup;
    return session.LoadPacket(*backup);
  }

  std::string packet_;
  std::string devices_;
  CLI::Option* devicesOption_ = nullptr;
  bool latestBackup_ = false;
  bool backup_ = false;
  bool continueWithoutBackup_ = false;
  bool yes_ = false;
  bool verify_ = false;
  bool dryRun_ = false;
};

class VerifyCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("PACKET", packet_, "Firmware packet file (.tvf)")->required();
    devicesOption_ = command.add_option("--devices", devices_,
                                        "Devices to verify: DEVs by commas, or all (default: "
                                        "every device the version policy enables)");
  }

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["run"] = nullptr;
    DeviceList list;
    if (const int status = CheckDevices(devicesOption_, devices_, &list, out);
        status != kExitSuccess) {
      return status;
    }
    if (const int status = CheckPacketFile(packet_, out); status != kExitSuccess) return status;

    const platform::InterruptGuard guard(kInterruptNotice);
    CameraSession session(global, out, false, CameraUse::kChanges);
    if (session.Refused()) return kExitFailed;
    CProgrammerDlg& dlg = session.Dlg();
    if (!OpenCameraWithPacket(session, packet_)) return kExitFailed;
    std::string error;
    if (!SelectDevices(dlg, list, false, &error)) return out.Fail(kExitUsage, "usage", error);
    if (dlg.CountCheckedDevices() == 0) {
      return out.Fail(kExitFailed, "nothing-selected",
                      "Nothing to verify: the version policy enables no device for this packet.");
    }
    DeviceFlags selected{};
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      selected[device] = dlg.Window().IsDeviceChecked(device);
    }
    std::vector<PlannedStep> steps;
    AppendRunSteps(PlanVerifySteps(selected, dlg.Camera().current, dlg.LoadedVersions(),
                                   dlg.SelectedInterface()),
                   &steps);
    session.FollowRun(steps);
    return RunVerify(session, "run", global, out);
  }

 private:
  std::string packet_;
  std::string devices_;
  CLI::Option* devicesOption_ = nullptr;
};

class BackupCommand final : public Command {
 public:
  void Define(CLI::App&) override {}

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["run"] = nullptr;
    const platform::InterruptGuard guard(kInterruptNotice);
    CameraSession session(global, out, false, CameraUse::kChanges);
    if (session.Refused()) return kExitFailed;
    CProgrammerDlg& dlg = session.Dlg();
    if (!session.Connect()) return kExitFailed;
    const PlannedBackup backup = PlanBackup(dlg, false);
    session.FollowRun({BackupPlanStep(backup, dlg.SelectedInterface())}, backup.devices);
    (void)dlg.OnBackup();
    return EndRun(session, "run", global, out);
  }
};

}  // namespace

std::unique_ptr<Command> MakeInfoCommand() {
  return std::make_unique<InfoCommand>();
}
std::unique_ptr<Command> MakeProgramCommand() {
  return std::make_unique<ProgramCommand>();
}
std::unique_ptr<Command> MakeVerifyCommand() {
  return std::make_unique<VerifyCommand>();
}
std::unique_ptr<Command> MakeBackupCommand() {
  return std::make_unique<BackupCommand>();
}

}  // namespace tarvo::cli
