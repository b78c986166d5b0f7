#include "sim/core/camera_connection.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "link/telegram_layout.h"
#include "sim/core/camera_folder.h"
#include "sim/core/camera_telegrams.h"
#include "sim/core/sim_errors.h"
#include "sim/core/sim_file.h"
#include "sim/core/telegram_frame.h"

namespace tarvo::sim {

namespace {

constexpr std::uint32_t kMaxRequestLength = 1024;

struct Connection {
  CameraFolder folder;
  std::uint32_t handle = 0;
  std::uint32_t driverSource = kDriverUsb2;
  std::uint32_t commandTimeoutMs = kInitialCommandTimeoutMs;
  std::FILE* trace = nullptr;

  ~Connection() {
    if (trace != nullptr) std::fclose(trace);
  }
};

std::unique_ptr<Connection>& Current() {
  static std::unique_ptr<Connection> connection;
  return connection;
}

std::uint32_t NoCamera(std::uint32_t driverSource) {
  return DriverError(driverSource, kDrvNoCamera);
}

void Trace(Connection& c, std::uint64_t number, const TelegramSummary& s,
           std::uint32_t requestLength, std::uint32_t responseLength, std::uint32_t result) {
  if (c.trace == nullptr) return;
  std::fprintf(c.trace, "%llu code=%04x req=%u resp=%u size=%u",
               static_cast<unsigned long long>(number), s.code, requestLength, responseLength,
               s.sizeField);
  if (s.hasAddresses) std::fprintf(c.trace, " start=%08x end=%08x", s.start, s.end);
  std::fprintf(c.trace, " device=%d result=%08x\n", s.device, result);
  std::fflush(c.trace);
}

// A reboot finishes when the host next connects: the camera is back unless a fault keeps it
// away, maybe with another serial number.
std::uint32_t FinishReboot(CameraState& state, std::uint32_t driverSource) {
  if (state.runtime.rebooting == 0) return 0;
  if (state.faults.notBackAfterReboot != 0) {
    state.runtime.gone = 1;
    return NoCamera(driverSource);
  }
  state.runtime.rebooting = 0;
  state.runtime.selectedDevice = kNoDevice;
  if (state.faults.newSerialAfterReboot != 0) {
    state.settings.serialNumber = state.faults.serialAfterReboot;
    state.faults.newSerialAfterReboot = 0;
  }
  return 0;
}

// Whether a fault or latency bound to `command` (0: to every command) meets a telegram of `code`.
bool BoundTo(std::uint16_t command, std::uint16_t code) {
  return command == 0 || command == code;
}

// Counts the telegram for an armed failure; the code when this is the telegram to fail.
std::uint32_t InjectedFailure(TelegramFault& fault, std::uint16_t code) {
  if (fault.active == 0 || !BoundTo(fault.command, code)) return 0;
  fault.seen += 1;
  if (fault.seen < fault.nth) return 0;
  fault.active = 0;
  return fault.code;
}

// The link's own check of an answer before it is handed to the caller.
std::uint32_t CheckAnswer(const std::uint8_t* answer, std::uint16_t code,
                          std::uint32_t responseLength) {
  if (TelegramSize(answer) != responseLength) return ERR_RESPONSE_SIZE;
  if (TelegramCode(answer) != code) return ERR_RESPONSE_UNEXPECTED;
  if (!IsSealed(answer, responseLength)) return ERR_RESPONSE_CHECKSUM;
  return 0;
}

}  // namespace

std::uint32_t ConnectionOpen(std::uint32_t driverSource, std::uint32_t cameraNumber,
                             std::uint32_t* cameraHandle) {
  if (cameraHandle == nullptr) return kLibraryWrongParameter;
  *cameraHandle = 0;
  Current().reset();
  auto c = std::make_unique<Connection>();
  c->driverSource = driverSource;
  std::string error;
  if (!c->folder.Open(DefaultCameraFolder(), &error))
    return DriverError(driverSource, kDrvOpenFailed);
  std::uint32_t result = 0;
  {
    FolderLock lock(c->folder);
    CameraState& state = c->folder.State();
    if (cameraNumber != 0 || state.faults.noCamera != 0 || state.runtime.gone != 0) {
      result = NoCamera(driverSource);
    } else {
      result = FinishReboot(state, driverSource);
    }
    if (result == 0) {
      state.runtime.openCount += 1;
      c->handle = 0x51A00000u | (state.runtime.openCount & 0xFFFF);
    }
  }
  if (result != 0) return result;
  if (const char* tracePath = std::getenv("QLM_SIM_TRACE"); tracePath && tracePath[0] != '\0') {
    c->trace = std::fopen(tracePath, "ab");
  }
  *cameraHandle = c->handle;
  Current() = std::move(c);
  return 0;
}

std::uint32_t ConnectionClose(std::uint32_t* cameraHandle) {
  if (cameraHandle == nullptr) return kLibraryWrongParameter;
  if (*cameraHandle == 0) return 0;  // nothing was opened
  std::unique_ptr<Connection>& c = Current();
  if (!c || c->handle != *cameraHandle) return kLibraryInvalidHandle;
  c.reset();
  *cameraHandle = 0;
  return 0;
}

std::uint32_t ConnectionSetTimeouts(std::uint32_t cameraHandle, const std::uint32_t* timeouts,
                                    std::uint32_t lengthInBytes) {
  std::unique_ptr<Connection>& c = Current();
  if (!c || c->handle != cameraHandle) return kLibraryInvalidHandle;
  if (timeouts == nullptr || lengthInBytes < 4 || lengthInBytes % 4 != 0) {
    return kLibraryWrongParameter;
  }
  c->commandTimeoutMs = timeouts[0];
  return 0;
}

std::uint32_t ConnectionCheckDevice(std::uint32_t cameraHandle, std::uint32_t deviceNumber) {
  std::unique_ptr<Connection>& c = Current();
  if (!c || c->handle != cameraHandle) return kLibraryInvalidHandle;
  return deviceNumber == 0 ? 0 : NoCamera(c->driverSource);
}

std::uint32_t ConnectionCommand(std::uint32_t cameraHandle, const void* request,
                                std::uint32_t requestLength, void* response,
                                std::uint32_t responseLength) {
  std::unique_ptr<Connection>& current = Current();
  if (!current || current->handle != cameraHandle) return kLibraryInvalidHandle;
  if (request == nullptr || response == nullptr) return kLibraryWrongParameter;
  Connection& c = *current;
  if (requestLength > kMaxRequestLength || responseLength > kMaxAnswerSize) {
    return CameraError(kFwWrongSize);
  }
  // The request's final byte is the link's to fill; the caller's buffer stays untouched.
  std::uint8_t frame[kMaxRequestLength];
  std::memcpy(frame, request, requestLength);
  if (requestLength >= kMinTelegramSize) {
    std::uint32_t size = TelegramSize(frame);
    if (size >= kMinTelegramSize && size <= requestLength) SealTelegram(frame, size);
  }

  const std::uint16_t code = requestLength >= 2 ? TelegramCode(frame) : 0;
  // Read without the lock: a latency changed meanwhile applies a telegram late. A latency for
  // one command stands for a slow camera operation such as an erase.
  const CameraSettings& settings = c.folder.State().settings;
  const std::uint32_t latency = BoundTo(settings.latencyCommand, code) ? settings.latencyMs : 0;
  if (latency > c.commandTimeoutMs) {
    PauseMilliseconds(c.commandTimeoutMs);
    return ERR_RESPONSE_TIMEOUT;
  }
  if (latency > 0) PauseMilliseconds(latency);

  FolderLock lock(c.folder);
  CameraState& state = c.folder.State();
  std::uint64_t number = ++state.runtime.telegramCount;
  TelegramSummary summary;
  summary.code = code;
  summary.device = state.runtime.selectedDevice;
  std::uint32_t result = 0;
  std::uint8_t answer[kMaxAnswerSize];
  if (state.runtime.rebooting != 0) {
    result = ERR_RESPONSE_TIMEOUT;  // the camera is restarting and does not answer
  } else if ((result = InjectedFailure(state.faults.failTelegram, summary.code)) == 0) {
    result = HandleTelegram(c.folder, frame, requestLength, answer, responseLength, &summary);
    if (result == 0) result = CheckAnswer(answer, summary.code, responseLength);
    if (result == 0) std::memcpy(response, answer, responseLength);
  }
  Trace(c, number, summary, requestLength, responseLength, result);
  return result;
}

}  // namespace tarvo::sim
