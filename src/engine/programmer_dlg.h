// The main window object without a window system. CProgrammerDlg owns every piece of state of a
// run (log, connected camera, current and loaded versions, loaded packet, programming order,
// modes, the enable memory and the two image-sized buffers) and holds the button actions and
// the engine operations. It reaches the screen only through WindowPort, so the Qt window, the
// terminal front end and the tests all run the same logic.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/run_plan.h"
#include "engine/run_report.h"
#include "engine/service_history.h"
#include "engine/window_port.h"
#include "firmware/device_catalogue.h"
#include "firmware/firmware_packet.h"
#include "firmware/image_version.h"
#include "link/link.h"
#include "log/format_text.h"
#include "log/log_file.h"
#include "platform/clock.h"
#include "platform/folders.h"

namespace tarvo {

// Revision shown in the window title.
inline constexpr int kProgrammerRevision = 25;

// Title of every result box.
inline constexpr const char* kResultBoxTitle = "Operation Status:";

// States of a device row's progress bar.
inline constexpr unsigned PROGRESS_QUEUED = 1;
inline constexpr unsigned PROGRESS_RUNNING = 2;
inline constexpr unsigned PROGRESS_DONE = 4;
inline constexpr unsigned PROGRESS_FAILED = 0x8000;

// Differing bytes after which a verification stops reading.
inline constexpr std::int32_t VERIFY_ERROR_LIMIT = 1000;

// Every fixed wait is slept in slices of this nominal length with the window's events
// dispatched in between, so the window stays painted during long pauses.
inline constexpr std::uint32_t kWaitSliceMilliseconds = 100;

using VersionTable = std::array<DeviceVersion, kDeviceCount>;

// Where a read-back found a device's firmware: device addresses start..end (inclusive) of the
// read-back buffer, size bytes, and the version record the firmware carries.
struct ReadBackImage {
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::int32_t size = 0;
  ImageVersion version;
};

// What the program knows of the camera. The connected flag is set by the first successful
// Connect and never cleared; a failed connect leaves the last success's values in place.
struct ConnectedCamera {
  bool connected = false;
  std::int32_t serialNumber = -1;
  VersionTable current{};
};

// What a Program run does when the backup before it failed: the window asks the user; a
// command line has decided beforehand.
enum class BackupFailureChoice { kAsk, kStop, kContinue };

class CProgrammerDlg {
 public:
  // Opens the log in DefaultLogFolder() and writes the run banner. The program folder is the
  // one the start-up packet search looks in; tests point it elsewhere.
  explicit CProgrammerDlg(WindowPort& window, platform::Clock& clock = platform::ProgramClock(),
                          std::string programFolder = platform::ProgramFolder());
  // Writes the closing lines and seals the log.
  ~CProgrammerDlg();
  CProgrammerDlg(const CProgrammerDlg&) = delete;
  CProgrammerDlg& operator=(const CProgrammerDlg&) = delete;

  // Modes, fixed by the start-up before the window start. SetModes also writes the two mode
  // lines that follow the run banner.
  void SetModes(bool emergency, bool packetGeneration);
  void SetEmergencyMode(bool on) { emergencyMode_ = on; }
  void SetPacketGenerationMode(bool on) { packetGenerationMode_ = on; }
  bool EmergencyMode() const { return emergencyMode_; }
  bool PacketGenerationMode() const { return packetGenerationMode_; }

  // Window start: title, device rows, interface and "Skip Backup", start-up packet.
  void StartWindow();

  // Button actions.
  void OnConnect();
  void OnLoadFile();
  // Backup, Program, Verify: each holds the controls disabled while it runs and ends with its
  // status line or result box. Program and Verify do nothing when no device is checked.
  // OnBackup returns BackupFirmware's result.
  int OnBackup();
  void OnProgram();
  void OnVerify();

  // Connect and identify: 1 when a camera of this model answered, 0 otherwise.
  [[nodiscard]] int ConnectCamera();

  // Version policy: rebuilds the device check boxes from the current and loaded versions.
  void ApplyVersionPolicy();
  // 1 when every checked device now reports the loaded version.
  [[nodiscard]] int CheckVersionsAfterUpdate();

  // Packet loading.
  int LoadPacketFile(const std::string& path);
  int LoadStartupPacket();

  // One device: erase and program it with the loaded packet's image, or read it back and
  // compare. 1 on success, 0 on failure (reported through status, log and progress bar).
  [[nodiscard]] int ProgramDevice(DeviceIndex device);
  [[nodiscard]] int VerifyDevice(DeviceIndex device);
  // Reads the firmware a device holds into the read-back buffer. 1 and the image's place and
  // version on success; 0 on failure (reported like the other device operations).
  [[nodiscard]] int ReadBackDevice(DeviceIndex device, ReadBackImage* image);

  // Asks the camera to reboot, waits for it and checks that the same camera is back: 1 when it
  // is, 0 otherwise. The reboot and what answered after it go into the run report.
  [[nodiscard]] int RebootAndReconnect(RebootPurpose purpose = RebootPurpose::kOrderStep);

  // Reads the camera's devices back into a new packet file in the log folder, then reboots
  // the camera. 1 when every listed device was stored and the camera came back.
  [[nodiscard]] int BackupFirmware();
  // The name the next backup of the connected camera gets: the first that does not exist.
  std::string NextBackupFileName() const;
  // The file the last BackupFirmware wrote; empty when it wrote none.
  const std::string& LastBackupFile() const { return lastBackupFile_; }

  // What the last run (Program, Verify, Backup, packet generation) did; kept until the next
  // run begins.
  const RunReport& LastRun() const { return report_; }
  void SetBackupFailureChoice(BackupFailureChoice choice) { backupFailureChoice_ = choice; }

  // The service history the runs write and Connect consults; none by default. The name goes
  // into every record ("tarvo-cli 1.0.0").
  void SetServiceHistory(ServiceHistory* history, std::string programName);
  // Devices of the connected camera whose last programming did not end in success, as the
  // history told at the last Connect.
  const DeviceFlags& UnfinishedDevices() const { return unfinished_; }

  // Writes the closing lines and the seal now (the destructor then does nothing more) and
  // records in the last run's report whether the log was sealed.
  void CloseLog();

  // Runs the loaded packet's programming order over the checked devices, then reboots,
  // reconnects and checks the versions: 1 when all of it succeeded.
  [[nodiscard]] int ExecuteProgramOrder();
  // Verifies the checked devices whose camera version is the packet's, then reboots: 1 when
  // every verified device matched and the camera came back.
  [[nodiscard]] int VerifyDevices();

  // Packet generation: one image file per device step of the window's programming order,
  // then the packet file. 1 when a file was written.
  int GeneratePacket();

  // Window operations.
  void PumpMessages() { window_.PumpMessages(); }
  void EnableControls(bool enable);
  int CountCheckedDevices() const;
  void SetDeviceProgress(DeviceIndex device, unsigned state);
  // The interface the radio buttons select right now.
  InterfaceType SelectedInterface() const;
  // Enable or disable a command control or device check box. While EnableControls holds the
  // controls disabled, the change goes into the enable memory and shows when they come back.
  void EnableCommand(CommandControl control, bool enabled);
  void EnableDeviceBox(DeviceIndex device, bool enabled);
  // A fixed wait through the program's clock, in slices with the window's events dispatched.
  void Wait(std::uint32_t milliseconds);

  // Output: log lines, status line, result boxes.
  void WriteLog(const char* format, ...) TARVO_PRINTF_FORMAT(2, 3);
  void ShowStatus(const char* format, ...) TARVO_PRINTF_FORMAT(2, 3);
  void ShowResult(bool success, const char* format, ...) TARVO_PRINTF_FORMAT(3, 4);
  void LogFileError(const std::string& fileName, std::uint32_t code);
  void LogDeviceError(const std::string& deviceName, std::uint32_t code);

  // Counts the positions where the read bytes differ from the image bytes and logs one
  // "diff at" line per difference, with the device address, the image byte and the read byte.
  std::uint32_t CompareBlock(std::uint32_t address, std::uint32_t length,
                             const std::uint8_t* readBytes, const std::uint8_t* imageBytes);

  // State, for the front ends and the runs.
  const ConnectedCamera& Camera() const { return camera_; }
  const VersionTable& LoadedVersions() const { return loaded_; }
  bool PacketLoaded() const { return packetLoaded_; }
  CFirmwarePacket& Packet() { return packet_; }
  ProgramOrder& Order() { return order_; }
  const ProgramOrder& Order() const { return order_; }
  const LogFile& Log() const { return log_; }
  LogFile& Log() { return log_; }
  // Where the log and the backups go, also when this run could not open the log.
  const std::string& LogFolder() const { return logFolder_; }
  const std::string& ProgramFolder() const { return programFolder_; }
  WindowPort& Window() { return window_; }
  platform::Clock& WaitClock() { return clock_; }
  bool ControlsEnabled() const { return controlsEnabled_; }
  // Image buffer and read-back buffer, IMAGE_BUFFER_SIZE bytes each, indexed by device address.
  std::uint8_t* ImageBuffer() { return imageBuffer_.get(); }
  std::uint8_t* ReadBackBuffer() { return readBackBuffer_.get(); }

 private:
  // Where a device's image lies in the image buffer after PrepareDeviceImage.
  struct ImageRange {
    std::uint32_t start = 0;
    std::uint32_t size = 0;
  };

  void OpenLog();
  void LogTimeScale();
  void ResetDeviceRows();
  void EnablePacketActions();

  // Device operations' common parts.
  enum class DeviceOperation { kProgram, kVerify };
  [[nodiscard]] bool PrepareDeviceImage(DeviceIndex device, ImageRange* range);
  int FailDeviceOperation(DeviceOperation operation, DeviceIndex device, std::uint32_t result,
                          std::int64_t failedAt);
  [[nodiscard]] std::uint32_t WriteBlocks(DeviceIndex device, const ImageRange& range,
                                          std::int64_t* failedAt);
  [[nodiscard]] std::uint32_t ReadAndCompareBlocks(DeviceIndex device, const ImageRange& range,
                                                   std::int64_t* failedAt,
                                                   std::uint32_t* differing);
  [[nodiscard]] std::uint32_t ProbeHdsdiAddressScale(std::uint32_t* scale);
  [[nodiscard]] std::uint32_t SelectForReadBack(DeviceIndex device);
  [[nodiscard]] std::uint32_t ReadBackExtent(DeviceIndex device, ReadBackImage* image,
                                             std::uint32_t* scale, std::uint64_t* length);
  [[nodiscard]] std::uint32_t ReadBackBlocks(DeviceIndex device, const ReadBackImage& image,
                                             std::uint32_t scale, std::int64_t* failedAt);
  int FailReadBack(DeviceIndex device, std::uint32_t result, std::int64_t failedAt);
  int RefuseReadBack(DeviceIndex device, std::uint64_t length);

  // Runs' common parts.
  void QueueCheckedDevices();
  DeviceFlags CheckedDevices() const;
  bool StopAfterFailedBackup();
  // The run report: a new one for each run, failures added as they are found, the outcome
  // settled when the run ends.
  void BeginRun(RunKind kind);
  void FinishRun();
  void AddFailure(RunFailure failure);
  void RecordDeviceFailure(DeviceIndex device, DeviceOutcome outcome, std::uint32_t result,
                           std::int64_t failedAt);
  DeviceRecord& BackupDevice(DeviceIndex device);
  bool ProgramPlannedSteps(const std::vector<RunStep>& steps);
  int CancelPacketGeneration(const std::string& why);
  void FinishProgramRun();
  void RecordInHistory(bool written);
  bool ReserveBackupFile(std::string* path);
  void ReadUnfinishedDevices();

  WindowPort& window_;
  platform::Clock& clock_;
  std::string programFolder_;
  std::string logFolder_;
  LogFile log_;

  ConnectedCamera camera_;
  VersionTable loaded_{};
  CFirmwarePacket packet_;
  ProgramOrder order_{};
  bool emergencyMode_ = false;
  bool packetGenerationMode_ = false;
  bool packetLoaded_ = false;
  std::string lastBackupFile_;
  std::string loadedPacketPath_;
  RunReport report_;
  std::chrono::steady_clock::time_point runStart_{};
  BackupFailureChoice backupFailureChoice_ = BackupFailureChoice::kAsk;
  ServiceHistory* history_ = nullptr;
  std::string programName_;
  DeviceFlags unfinished_{};

  // Enable memory of EnableControls.
  bool controlsEnabled_ = true;
  std::array<bool, kCommandControlCount> controlWasEnabled_{};
  std::array<bool, kDeviceCount> deviceWasEnabled_{};

  std::unique_ptr<std::uint8_t[]> imageBuffer_;
  std::unique_ptr<std::uint8_t[]> readBackBuffer_;
};

}  // namespace tarvo
