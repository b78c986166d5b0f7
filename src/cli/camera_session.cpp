#include "cli/camera_session.h"

#include "cli/terminal_report.h"
#include "log/format_text.h"

namespace tarvo::cli {

// The command line names every file, so the packet search of the program folder is left out:
// an empty program folder holds no packet.
CameraSession::CameraSession(const GlobalOptions& global, CommandOutput& out, bool answerYes,
                             CameraUse use)
    : global_(global),
      out_(out),
      window_(TerminalOptionsForProcess(answerYes, global.json, global.quiet)),
      history_(DefaultLogFolder()),
      dlg_(window_, platform::ProgramClock(), std::string()) {
  dlg_.SetServiceHistory(&history_, std::string("tarvo-cli ") + TARVO_VERSION_TEXT);
  LogFile& log = dlg_.Log();
  // The log lock tells that another instance runs; two runs on one camera would both fail and
  // could leave devices erased.
  if (!log.IsOpen() && log.HeldByOther() && use == CameraUse::kChanges) {
    refused_ = true;
    out.Fail(kExitFailed, "log-held",
             "Another instance of the programmer is running (it holds " + log.Path() +
                 "): only one may work on the camera at a time. Nothing was done; run the "
                 "command again when the other one has ended.");
    return;
  }
  // A time scale that is no number leaves the waits at their full length: slow, never unsafe
  // for the camera. The user learns it at once, not only from the log.
  if (const platform::TimeScale scale = platform::TimeScaleFromEnvironment(); scale.invalid) {
    PrintError("Warning: TARVO_TIME_SCALE '" + scale.text +
               "' is not a decimal >= 0; every wait takes its full time.");
  }
  if (!log.IsOpen()) PrintLogFailure(log.Failure());
  log.SetFailureHandler(&PrintLogFailure);
  dlg_.SetModes(global.emergency, false);
  window_.PrintStatusLines(false);
  dlg_.StartWindow();
  window_.PrintStatusLines(true);
  window_.SetControlChecked(InterfaceNamed(global.interfaceName).button, true);
}

CameraSession::~CameraSession() {
  CloseLog();
}

// A camera that answered but is of another model is told apart from no answer at all by what
// the engine recorded of the connect.
bool CameraSession::Connect() {
  dlg_.OnConnect();
  const ConnectRecord& connect = dlg_.LastConnect();
  if (connect.identified) return true;
  const char* interfaceName = InterfaceNamed(global_.interfaceName).displayName;
  if (connect.resultCode == 0) {
    out_.Fail(kExitFailed, "wrong-camera",
              FormatText("The camera on %s is not an orva.tarvo (type %04x): nothing was done.",
                         interfaceName, connect.cameraType));
  } else {
    out_.Fail(kExitFailed, "no-camera",
              FormatText("No camera answered on %s (function return %08x): check that it is "
                         "connected and powered, the interface (--interface) and the interface "
                         "library.",
                         interfaceName, connect.resultCode));
  }
  return false;
}

// The result box tells the packet's fixed failure text; the terminal also learns why.
bool CameraSession::LoadPacket(const std::string& path) {
  if (dlg_.LoadPacketFile(path) == 1) return true;
  out_.Fail(kExitFailed, "packet-invalid",
            FormatText("The packet %s cannot be used: %s", path.c_str(),
                       dlg_.Packet().LastErrorWithDetail().c_str()));
  return false;
}

void CameraSession::FollowRun(const std::vector<PlannedStep>& steps,
                              const std::vector<DeviceIndex>& backupDevices) {
  ImageSizes sizes{};
  for (const PacketEntryInfo& entry : dlg_.Packet().LoadedEntries()) {
    if (IsDeviceIndex(entry.deviceIndex)) sizes[entry.deviceIndex] = entry.size;
  }
  window_.FollowRun(ProgressSteps(steps, sizes, backupDevices), platform::ProgramClock().Scale(),
                    dlg_.LastRun());
}

void CameraSession::CloseLog() {
  if (logClosed_ || refused_) return;
  logClosed_ = true;
  window_.ClearProgress();
  dlg_.CloseLog();
  const LogFile& log = dlg_.Log();
  if (log.Sealed()) {
    PrintError("Log file: " + log.Path());
  } else {
    PrintError("No complete log of this run: " + log.Failure() + ".");
  }
  out_.SetLog(log.Path(), log.Sealed());
}

}  // namespace tarvo::cli
