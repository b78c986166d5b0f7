// The screen as the engine sees it. CProgrammerDlg keeps every piece of run state and drives
// the window only through these operations; the Qt window, the terminal front end and the test
// fake each supply them. Everything is called on the one thread that runs the window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "firmware/device_catalogue.h"

namespace tarvo {

// The twelve command controls of the window, in the order EnableControls walks them.
enum class CommandControl : unsigned {
  kConnect,
  kLoadFile,
  kBackup,
  kProgram,
  kVerify,
  kPacket,
  kSupport,
  kQuit,
  kUsb2,  // radio buttons of the interface group
  kUsb3,
  kGige,
  kSkipBackup,  // check box
};
inline constexpr unsigned kCommandControlCount = 12;

inline constexpr CommandControl kAllCommandControls[kCommandControlCount] = {
    CommandControl::kConnect, CommandControl::kLoadFile, CommandControl::kBackup,
    CommandControl::kProgram, CommandControl::kVerify,   CommandControl::kPacket,
    CommandControl::kSupport, CommandControl::kQuit,     CommandControl::kUsb2,
    CommandControl::kUsb3,    CommandControl::kGige,     CommandControl::kSkipBackup,
};

enum class MessageIcon { kInformation, kError };

struct ProgressColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const ProgressColour&, const ProgressColour&) = default;
};

class WindowPort {
 public:
  virtual ~WindowPort() = default;

  // Dispatches every event waiting for the window, without waiting for new ones.
  virtual void PumpMessages() = 0;

  virtual void SetWindowTitle(const std::string& title) = 0;
  // The one-line status field under "Current Status:".
  virtual void SetStatusText(const std::string& text) = 0;
  // "Current FW" and "Loaded FW" labels of a device row.
  virtual void SetCameraVersionText(DeviceIndex device, const std::string& text) = 0;
  virtual void SetPacketVersionText(DeviceIndex device, const std::string& text) = 0;

  // Device check boxes.
  virtual bool IsDeviceChecked(DeviceIndex device) const = 0;
  virtual void SetDeviceChecked(DeviceIndex device, bool checked) = 0;
  virtual bool IsDeviceEnabled(DeviceIndex device) const = 0;
  virtual void EnableDevice(DeviceIndex device, bool enabled) = 0;

  // Command controls. Checking one of the three interface radio buttons clears the other two;
  // IsControlChecked and SetControlChecked apply to the radio buttons and "Skip Backup" only.
  virtual bool IsControlEnabled(CommandControl control) const = 0;
  virtual void EnableControl(CommandControl control, bool enabled) = 0;
  virtual void ShowControl(CommandControl control, bool visible) = 0;
  virtual bool IsControlChecked(CommandControl control) const = 0;
  virtual void SetControlChecked(CommandControl control, bool checked) = 0;

  // Progress bar of a device row, range 0..100.
  virtual void ShowDeviceProgress(DeviceIndex device, bool visible) = 0;
  virtual void SetDeviceProgressColours(DeviceIndex device, ProgressColour bar,
                                        ProgressColour background) = 0;
  virtual void SetDeviceProgressPosition(DeviceIndex device, int percent) = 0;

  // Modal message box with an OK button only; returns when the user has closed it.
  virtual void ShowMessageBox(const std::string& text, const std::string& title,
                              MessageIcon icon) = 0;
  // Modal Yes/No question with the error icon; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;

  // File dialogs titled by their purpose ("Load firmware packet"), with a filter in the form
  // "Name (*.ext)|*.ext|All Files (*.*)|*.*||". Open requires an existing path; Save asks
  // before replacing an existing file. Both return nothing when the user cancels.
  virtual std::optional<std::string> OpenFileDialog(const std::string& title,
                                                    const std::string& filter) = 0;
  virtual std::optional<std::string> SaveFileDialog(const std::string& title,
                                                    const std::string& filter) = 0;
};

}  // namespace tarvo
