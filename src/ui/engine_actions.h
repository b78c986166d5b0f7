// The button actions of the window object that run the camera: Backup, Program, Verify and
// packet generation. The window calls them through these helpers, which take whichever of the
// action's names the window object offers and do nothing while it offers none, so the buttons
// work with every state of the engine they are built with.
#pragma once

namespace tarvo::ui {

template <typename Programmer>
void RunBackupAction(Programmer& programmer) {
  if constexpr (requires { programmer.OnBackup(); }) {
    programmer.OnBackup();
  } else if constexpr (requires { programmer.BackupFirmware(); }) {
    programmer.EnableControls(false);
    programmer.WriteLog("Creating backup of camera firmware.");
    const int result = programmer.BackupFirmware();
    programmer.ShowStatus(result == 1 ? "Creating backup successful." : "Creating backup failed.");
    programmer.EnableControls(true);
  }
}

// True when the window object can run an update.
template <typename Programmer>
constexpr bool CanProgram() {
  return requires(Programmer & programmer) {
    programmer.OnProgram();
  }
  || requires(Programmer & programmer) {
    programmer.ExecuteProgramOrder();
  };
}

template <typename Programmer>
void RunProgramAction(Programmer& programmer) {
  if constexpr (requires { programmer.OnProgram(); }) {
    programmer.OnProgram();
  } else if constexpr (requires { programmer.ExecuteProgramOrder(); }) {
    static_cast<void>(programmer.ExecuteProgramOrder());
  }
}

template <typename Programmer>
void RunVerifyAction(Programmer& programmer) {
  if constexpr (requires { programmer.OnVerify(); }) {
    programmer.OnVerify();
  } else if constexpr (requires { programmer.VerifyDevices(); }) {
    static_cast<void>(programmer.VerifyDevices());
  }
}

// True when the window object can generate packets.
template <typename Programmer>
constexpr bool CanGeneratePacket() {
  return requires(Programmer & programmer) {
    programmer.GeneratePacket();
  };
}

template <typename Programmer>
void RunGeneratePacket(Programmer& programmer) {
  if constexpr (CanGeneratePacket<Programmer>()) static_cast<void>(programmer.GeneratePacket());
}

}  // namespace tarvo::ui
