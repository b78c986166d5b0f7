// What a run did. The runs (Program, Verify, Backup, packet generation) fill one RunReport as
// they go; CProgrammerDlg keeps it after the run, and every outcome anyone shows is rendered
// from it: the result box, the final status line, tarvo-cli's exit status, summary and JSON,
// and the service history. Nobody reads an outcome back out of a text or a check box.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "firmware/device_catalogue.h"
#include "firmware/image_version.h"
#include "link/link.h"
#include "platform/local_time.h"

namespace tarvo {

enum class RunKind { kNone, kProgram, kVerify, kBackup, kPacketGeneration };

// What became of one device in a run.
enum class DeviceOutcome {
  kNotPlanned,     // not part of the run
  kPending,        // planned and not reached yet (only while the run is going on)
  kSkipped,        // planned, but the run ended before it was worked on
  kProgrammed,     // erased, written and the device access ended without an error
  kProgramFailed,  // resultCode and failedAddress say where
  kVerified,       // read back and equal to the packet's image
  kVerifyFailed,   // differingBytes (ERR_VERIFY_FAILED) or a link/camera error in resultCode
  kPassedOver,     // Verify: the camera's version differs from the packet's, not compared
  kNotVerifiable,  // Verify: Power uP cannot be read back
  kStored,         // Backup, packet generation: the image went into the packet file
  kNotStored,      // Backup, packet generation: the image could not be read or added
  kRefused,        // Backup: not read (Boot uP older than 1.0); reason says why
};

struct DeviceRecord {
  DeviceIndex device = 0;
  bool planned = false;
  DeviceOutcome outcome = DeviceOutcome::kNotPlanned;
  std::uint32_t resultCode = 0;      // the failing code of a failed outcome, else 0
  std::int64_t failedAddress = -1;   // the block being worked on at the failure; -1: none yet
  std::uint32_t differingBytes = 0;  // kVerifyFailed: bytes found different before the stop
  std::string errorText;             // the device error line's text for resultCode
  std::string reason;                // kRefused, kSkipped, kNotStored: why, in words
};

// Why a reboot was asked for.
enum class RebootPurpose { kOrderStep, kAfterBackup, kAfterProgramming, kAfterVerify };

enum class ReconnectResult {
  kSameCamera,   // the camera that was rebooted answered again
  kNoAnswer,     // no link or no answer after the wait; resultCode holds the code
  kOtherModel,   // a camera of another type answered; cameraType holds it
  kOtherSerial,  // another camera of this model answered; serialNumber holds its number
};

struct RebootRecord {
  RebootPurpose purpose = RebootPurpose::kOrderStep;
  bool requestSent = false;
  ReconnectResult result = ReconnectResult::kNoAnswer;
  std::uint32_t resultCode = 0;
  std::uint16_t cameraType = 0;
  std::int32_t serialNumber = -1;
};

struct BackupRecord {
  bool requested = false;         // the run was to make a backup
  bool attempted = false;         // the backup began
  std::string file;               // the packet file written; empty when none was written
  std::string failure;            // why no file was written, when none was
  bool cameraBack = false;        // the camera came back after the backup's reboot
  bool complete = false;          // every listed device stored, the file written, the camera back
  bool continuedWithout = false;  // it failed and the user chose to update the camera anyway
  std::vector<DeviceRecord> devices;  // in the order read: kStored, kNotStored or kRefused
};

struct VersionCheckRecord {
  bool performed = false;
  bool passed = false;
  std::vector<DeviceIndex> mismatched;  // checked devices that do not carry the packet's version
};

// Why a run did not succeed; a run can have several.
enum class RunFailure {
  kDeviceFailed,        // a device failed to program, verify, or be read back or stored
  kBackupFailed,        // the backup is incomplete or was not written
  kStoppedAfterBackup,  // the backup failed and the run ended before anything was erased
  kCameraChanged,       // another camera (or another model) answered after a reboot
  kCameraNotBack,       // the camera did not answer after a reboot that the result depends on
  kConnectFailed,       // the versions could not be read after the update
  kVersionCheckFailed,  // a programmed device does not report the packet's version
  kNothingVerified,     // a verify that compared no device
  kFileNotWritten,      // backup or packet generation wrote no file
  kNoDataFolder,        // no folder for the backup
  kCancelled,           // the user cancelled a dialog of packet generation
};

struct PacketRecord {
  std::string path;
  std::string creationText;
  std::uint32_t checkWord = 0;
  bool loaded = false;
};

struct LogRecord {
  std::string path;          // empty when no log folder was known
  bool open = false;         // the log was open when the run began
  bool writeFailed = false;  // a line could not be written; the log is incomplete
  bool sealed = false;       // known once the log was closed (CProgrammerDlg::CloseLog)
};

struct RunReport {
  RunKind kind = RunKind::kNone;
  bool finished = false;   // the run has ended and succeeded/failures are final
  bool succeeded = false;  // the outcome every front end shows
  std::vector<RunFailure> failures;

  platform::CalendarTime started{};
  std::uint64_t durationMs = 0;

  InterfaceType interfaceType = INTERFACE_USB2;
  bool emergencyMode = false;
  std::int32_t serialBefore = -1;  // the camera the run was started for
  std::int32_t serialAfter = -1;   // the camera that answered last; -1 when none did
  PacketRecord packet;

  std::array<DeviceRecord, kDeviceCount> devices{};
  std::array<DeviceVersion, kDeviceCount> versionsBefore{};  // camera versions at the start
  std::array<DeviceVersion, kDeviceCount> versionsAfter{};   // read after the update
  std::array<DeviceVersion, kDeviceCount> packetVersions{};

  BackupRecord backup;
  std::vector<RebootRecord> reboots;
  VersionCheckRecord versionCheck;
  std::string outputFile;  // packet generation: the file written
  LogRecord log;
  std::string program;         // the program that ran it ("tarvo-cli 1.0.0")
  std::string historyProblem;  // why the service history could not be written; empty when it was

  bool HasFailure(RunFailure failure) const;
  // Devices whose outcome is one of the failed ones (kProgramFailed, kVerifyFailed, kNotStored).
  std::vector<DeviceIndex> FailedDevices() const;
  // Devices with this outcome, in index order.
  std::vector<DeviceIndex> DevicesWith(DeviceOutcome outcome) const;
};

// Stable names for reports read by scripts and the history ("programmed", "verify-failed", ...).
const char* RunKindName(RunKind kind);
const char* DeviceOutcomeName(DeviceOutcome outcome);
const char* RebootPurposeName(RebootPurpose purpose);
const char* ReconnectResultName(ReconnectResult result);
const char* RunFailureName(RunFailure failure);

// One line that says why a run failed, naming the failed devices, for the status line and the
// terminal: "Update FAILED: Main FPGA (programming failed at 00000200), version check".
std::string RunFailureSummary(const RunReport& report);

}  // namespace tarvo
