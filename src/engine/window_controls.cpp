// The window operations the engine drives: holding the controls disabled during an action,
// the device rows' progress bars, the interface selection and the paced waits.
#include <algorithm>

#include "engine/programmer_dlg.h"

namespace tarvo {

namespace {

struct ProgressLook {
  ProgressColour bar;
  ProgressColour background;
};

constexpr ProgressLook kQueuedLook{{160, 160, 160}, {160, 160, 160}};
constexpr ProgressLook kRunningLook{{0, 0, 255}, {248, 248, 248}};
constexpr ProgressLook kDoneLook{{0, 255, 0}, {248, 248, 248}};
constexpr ProgressLook kFailedLook{{255, 0, 0}, {248, 248, 248}};

}  // namespace

// Every action that dispatches events while it runs holds the controls disabled, so no second
// action can start from a dispatched click. The memory keeps what was enabled before; a nested
// call with the same flag changes nothing and keeps the memory.
void CProgrammerDlg::EnableControls(bool enable) {
  if (enable == controlsEnabled_) return;
  controlsEnabled_ = enable;
  if (!enable) {
    for (unsigned i = 0; i < kCommandControlCount; ++i) {
      controlWasEnabled_[i] = window_.IsControlEnabled(kAllCommandControls[i]);
      window_.EnableControl(kAllCommandControls[i], false);
    }
    for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
      deviceWasEnabled_[device] = window_.IsDeviceEnabled(device);
      window_.EnableDevice(device, false);
    }
    window_.PumpMessages();
    return;
  }
  for (unsigned i = 0; i < kCommandControlCount; ++i) {
    if (controlWasEnabled_[i]) window_.EnableControl(kAllCommandControls[i], true);
  }
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (deviceWasEnabled_[device]) window_.EnableDevice(device, true);
  }
}

void CProgrammerDlg::EnableCommand(CommandControl control, bool enabled) {
  if (!controlsEnabled_) {
    controlWasEnabled_[static_cast<unsigned>(control)] = enabled;
    return;
  }
  window_.EnableControl(control, enabled);
}

void CProgrammerDlg::EnableDeviceBox(DeviceIndex device, bool enabled) {
  if (!controlsEnabled_) {
    deviceWasEnabled_[device] = enabled;
    return;
  }
  window_.EnableDevice(device, enabled);
}

int CProgrammerDlg::CountCheckedDevices() const {
  int count = 0;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (window_.IsDeviceChecked(device)) ++count;
  }
  return count;
}

// Any state that is not one of the other three looks queued.
void CProgrammerDlg::SetDeviceProgress(DeviceIndex device, unsigned state) {
  window_.ShowDeviceProgress(device, true);
  switch (state) {
    case PROGRESS_RUNNING:
      window_.SetDeviceProgressColours(device, kRunningLook.bar, kRunningLook.background);
      window_.SetDeviceProgressPosition(device, 0);
      break;
    case PROGRESS_DONE:
      window_.SetDeviceProgressColours(device, kDoneLook.bar, kDoneLook.background);
      window_.SetDeviceProgressPosition(device, 100);
      break;
    case PROGRESS_FAILED:
      window_.SetDeviceProgressColours(device, kFailedLook.bar, kFailedLook.background);
      window_.SetDeviceProgressPosition(device, 100);
      break;
    default:
      window_.SetDeviceProgressColours(device, kQueuedLook.bar, kQueuedLook.background);
      break;
  }
  window_.PumpMessages();
}

InterfaceType CProgrammerDlg::SelectedInterface() const {
  if (window_.IsControlChecked(CommandControl::kUsb3)) return INTERFACE_USB3;
  if (window_.IsControlChecked(CommandControl::kGige)) return INTERFACE_GIGE;
  return INTERFACE_USB2;
}

void CProgrammerDlg::Wait(std::uint32_t milliseconds) {
  while (milliseconds > 0) {
    const std::uint32_t slice = std::min(milliseconds, kWaitSliceMilliseconds);
    clock_.Sleep(slice);
    milliseconds -= slice;
    window_.PumpMessages();
  }
}

}  // namespace tarvo
