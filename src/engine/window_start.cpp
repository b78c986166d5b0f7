// The window start, run once after the controls exist and before the window is shown.
#include "engine/programmer_dlg.h"
#include "platform/local_time.h"

namespace tarvo {

void CProgrammerDlg::StartWindow() {
  const std::string title =
      FormatText("Firmware programmer for orva.tarvo Rev %d, built %s %s", kProgrammerRevision,
                 platform::BuildDateText(), platform::BuildTimeText());
  window_.SetWindowTitle(title);
  WriteLog("%s", title.c_str());

  // Every front end starts from the same command state: no camera, no packet.
  for (CommandControl control : kAllCommandControls) window_.EnableControl(control, true);
  for (CommandControl control :
       {CommandControl::kBackup, CommandControl::kProgram, CommandControl::kVerify}) {
    window_.EnableControl(control, false);
  }
  window_.SetStatusText("No camera connected.");

  // "Packet" belongs to packet generation mode; "Backup" is offered in emergency mode only and
  // stays disabled until a camera is connected.
  window_.ShowControl(CommandControl::kPacket, packetGenerationMode_);
  window_.EnableControl(CommandControl::kPacket, packetGenerationMode_);
  window_.ShowControl(CommandControl::kBackup, emergencyMode_);
  // Programming in emergency mode never makes a backup: "Skip Backup" stays checked and cannot
  // be cleared, so the window never offers a backup that would not be made.
  window_.EnableControl(CommandControl::kSkipBackup, !emergencyMode_);

  ResetDeviceRows();
  window_.SetControlChecked(CommandControl::kUsb2, true);
  window_.SetControlChecked(CommandControl::kSkipBackup, true);
  LoadStartupPacket();
}

void CProgrammerDlg::ResetDeviceRows() {
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    window_.ShowDeviceProgress(device, false);
    window_.SetPacketVersionText(device, "");
    window_.SetCameraVersionText(device, "");
    window_.EnableDevice(device, false);
  }
}

}  // namespace tarvo
