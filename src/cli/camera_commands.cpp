#include "cli/camera_commands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/camera_session.h"
#include "cli/device_selection.h"
#include "cli/dry_run_plan.h"
#include "cli/run_summary.h"
#include "cli/terminal_report.h"
#include "platform/folders.h"
#include "platform/interrupt_guard.h"

namespace tarvo::cli {

namespace {

constexpr const char* kInterruptNotice =
    "\nThe run cannot be stopped once it has started: it goes on and ends by itself. Press Ctrl-C "
    "again to stop it anyway (the camera may be left without firmware, the log unsealed).\n";

bool PacketFileExists(const std::string& path) {
  if (platform::PathExists(path)) return true;
  PrintError(FormatText("No such packet file: %s", path.c_str()));
  return false;
}

bool ParseDevicesOption(const std::string& text, DeviceList* list) {
  std::string error;
  if (ParseDeviceList(text, list, &error)) return true;
  PrintError(error);
  return false;
}

// Loaded first, so that a packet that cannot be used never reaches the camera; the version
// policy then runs once more with the camera's versions when Connect has read them.
int OpenCameraWithPacket(CameraSession& session, const std::string& packetPath) {
  if (!session.LoadPacket(packetPath)) return kExitFailed;
  if (!session.Connect()) return kExitFailed;
  return kExitSuccess;
}

// The verify run passes over the devices whose camera version differs from the packet's; the
// report tells which, and a verify that compared nothing fails.
int RunVerify(CameraSession& session) {
  CProgrammerDlg& dlg = session.Dlg();
  dlg.OnVerify();
  const RunReport& report = dlg.LastRun();
  std::string passedOver;
  for (DeviceIndex device : report.DevicesWith(DeviceOutcome::kPassedOver)) {
    passedOver += (passedOver.empty() ? "" : ", ") + std::string(DeviceDisplayName(device));
  }
  if (!passedOver.empty()) {
    PrintError("Not verified, the camera's version differs from the packet's: " + passedOver);
  }
  if (report.devices[DEVICE_POWER_UP].outcome == DeviceOutcome::kNotVerifiable) {
    PrintError("Not verified: Power uP cannot be read back.");
  }
  PrintRunSummary(report);
  return RunExitStatus(report);
}

// An update that takes a device backwards (older firmware, or another variant in emergency
// mode) happens only when the user confirms it: --yes, or an answer on a terminal.
bool ConfirmBackwardSteps(CameraSession& session) {
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
  PrintError("Nothing was programmed: --yes confirms programming older firmware.");
  return false;
}

class InfoCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_flag("--json", json_, "Print the camera's serial number and versions as JSON");
  }

  int Run(const GlobalOptions& global) override {
    CameraSession session(global, TerminalOptionsForProcess(false, json_));
    if (!session.Connect()) return kExitFailed;
    const ConnectedCamera& camera = session.Dlg().Camera();
    if (json_) {
      std::printf("%s\n", Describe(global, camera).dump(2).c_str());
      return kExitSuccess;
    }
    std::printf("Camera:     orva.tarvo SN %d on %s\n", static_cast<int>(camera.serialNumber),
                InterfaceDisplayName(global.interfaceName));
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      std::printf("%-11s %s\n", DeviceDisplayName(device),
                  session.Window().CameraVersionText(device).c_str());
    }
    return kExitSuccess;
  }

 private:
  static nlohmann::json Describe(const GlobalOptions& global, const ConnectedCamera& camera) {
    nlohmann::json devices = nlohmann::json::array();
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      const DeviceVersion& version = camera.current[device];
      const bool available = version.variant != -1;
      devices.push_back({{"index", device},
                         {"name", DeviceDisplayName(device)},
                         {"available", available},
                         {"version", available ? FormatDeviceVersion(version) : "not avail"},
                         {"variant", version.variant},
                         {"major", version.major},
                         {"minor", version.minor}});
    }
    return {{"serial_number", camera.serialNumber},
            {"interface", global.interfaceName},
            {"devices", devices}};
  }

  bool json_ = false;
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
    CLI::Option* dryRun = command.add_flag(
        "--dry-run", dryRun_, "Print what the run would do; nothing on the camera is changed");
    command.add_flag("--json", json_, "With --dry-run: print the plan as JSON")->needs(dryRun);
  }

  int Run(const GlobalOptions& global) override {
    DeviceList list;
    if (devicesOption_->count() > 0 && devices_.empty()) {
      PrintError("--devices needs a device list (DEVs separated by commas, or all).");
      return kExitUsage;
    }
    if (!ParseDevicesOption(devices_, &list)) return kExitUsage;
    if (backup_ && global.emergency) {
      PrintError(
          "--backup cannot be used with --emergency: in emergency mode programming "
          "makes no backup first (run the backup command before).");
      return kExitUsage;
    }
    if (latestBackup_ && !global.emergency) {
      PrintError(
          "--latest-backup restores a camera and is for emergency mode only: add --emergency.");
      return kExitUsage;
    }
    if (latestBackup_ && list.kind == DeviceList::Kind::kDefault) {
      list.kind = DeviceList::Kind::kAll;
    }
    if (!latestBackup_ && !PacketFileExists(packet_)) return kExitFailed;

    const platform::InterruptGuard guard(kInterruptNotice);
    CameraSession session(global, TerminalOptionsForProcess(yes_, json_),
                          dryRun_ ? CameraUse::kReadsOnly : CameraUse::kChanges);
    if (session.Refused()) return kExitFailed;
    CProgrammerDlg& dlg = session.Dlg();
    const int opened = latestBackup_ ? OpenCameraWithLatestBackup(session)
                                     : OpenCameraWithPacket(session, packet_);
    if (opened != kExitSuccess) return opened;
    std::string error;
    if (!SelectDevices(dlg, list, true, &error)) {
      PrintError(error);
      return kExitUsage;
    }
    if (dryRun_) return PrintPlan(global, session);
    if (dlg.CountCheckedDevices() == 0) {
      for (const std::string& line : NothingSelectedLines(dlg)) PrintError(line);
      return kExitFailed;
    }
    if (!ConfirmBackwardSteps(session)) return kExitFailed;
    session.Window().SetControlChecked(CommandControl::kSkipBackup, !backup_);
    dlg.SetBackupFailureChoice(continueWithoutBackup_ ? BackupFailureChoice::kContinue
                                                      : BackupFailureChoice::kStop);
    dlg.OnProgram();
    PrintRunSummary(dlg.LastRun());
    if (const int status = RunExitStatus(dlg.LastRun()); status != kExitSuccess || !verify_) {
      return status;
    }
    return RunVerify(session);
  }

 private:
  int PrintPlan(const GlobalOptions& global, CameraSession& session) {
    PlanRequest request;
    request.interfaceName = global.interfaceName;
    request.packetPath = packet_;
    request.backup = backup_;
    request.continueWithoutBackup = continueWithoutBackup_;
    request.verify = verify_;
    request.devicesNamed = !devices_.empty();
    const DryRunPlan plan = PlanProgramRun(session.Dlg(), request);
    if (json_) {
      std::printf("%s\n", PlanJson(plan).dump(2).c_str());
    } else {
      std::fputs(PlanText(plan).c_str(), stdout);
    }
    return kExitSuccess;
  }

  // The camera first, to know whose backup to take; then the backup like any packet.
  int OpenCameraWithLatestBackup(CameraSession& session) {
    if (!session.Connect()) return kExitFailed;
    const std::int32_t serial = session.Dlg().Camera().serialNumber;
    const std::optional<std::string> backup =
        history::LatestCompleteBackup(history::ReadRecords(session.History().Path()), serial);
    if (!backup) {
      PrintError(FormatText("No complete backup of camera SN %d is recorded in %s.", serial,
                            session.History().Path().c_str()));
      return kExitFailed;
    }
    PrintError("Restoring camera SN " + std::to_string(serial) + " from " + *backup);
    packet_ = *backup;
    return session.LoadPacket(*backup) ? kExitSuccess : kExitFailed;
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
  bool json_ = false;
};

class VerifyCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("PACKET", packet_, "Firmware packet file (.tvf)")->required();
    devicesOption_ = command.add_option("--devices", devices_,
                                        "Devices to verify: DEVs by commas, or all (default: "
                                        "every device the version policy enables)");
  }

  int Run(const GlobalOptions& global) override {
    DeviceList list;
    if (devicesOption_->count() > 0 && devices_.empty()) {
      PrintError("--devices needs a device list (DEVs separated by commas, or all).");
      return kExitUsage;
    }
    if (!ParseDevicesOption(devices_, &list)) return kExitUsage;
    if (!PacketFileExists(packet_)) return kExitFailed;

    const platform::InterruptGuard guard(kInterruptNotice);
    CameraSession session(global, TerminalOptionsForProcess(false, false), CameraUse::kChanges);
    if (session.Refused()) return kExitFailed;
    if (const int status = OpenCameraWithPacket(session, packet_); status != kExitSuccess) {
      return status;
    }
    std::string error;
    if (!SelectDevices(session.Dlg(), list, false, &error)) {
      PrintError(error);
      return kExitUsage;
    }
    if (session.Dlg().CountCheckedDevices() == 0) {
      PrintError("Nothing to verify: the version policy enables no device for this packet.");
      return kExitFailed;
    }
    return RunVerify(session);
  }

 private:
  std::string packet_;
  std::string devices_;
  CLI::Option* devicesOption_ = nullptr;
};

class BackupCommand final : public Command {
 public:
  void Define(CLI::App&) override {}

  int Run(const GlobalOptions& global) override {
    const platform::InterruptGuard guard(kInterruptNotice);
    CameraSession session(global, TerminalOptionsForProcess(false, false), CameraUse::kChanges);
    if (session.Refused()) return kExitFailed;
    CProgrammerDlg& dlg = session.Dlg();
    if (!session.Connect()) return kExitFailed;
    (void)dlg.OnBackup();
    PrintRunSummary(dlg.LastRun());
    return RunExitStatus(dlg.LastRun());
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
