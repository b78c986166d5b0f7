#include "sim/core/camera_telegrams.h"

#include <cstdio>
#include <cstring>

#include "link/telegram_layout.h"
#include "sim/core/device_contents.h"
#include "sim/core/device_layout.h"
#include "sim/core/factory_images.h"
#include "sim/core/sim_errors.h"
#include "sim/core/telegram_frame.h"

namespace tarvo::sim {

namespace tg = tarvo::telegram;

namespace {

// Boards of the camera that report a version but hold nothing the programmer can update.
constexpr const char* kExtraEntryNames[] = {"Sensor uP", "GigE FPGA",  "USB3 uP",     "Head CPLD",
                                            "Fan Ctrl",  "Power CPLD", "Sensor CPLD", "GigE uP"};

struct Exchange {
  CameraFolder& folder;
  const std::uint8_t* request;
  std::uint8_t* answer;
  std::uint32_t answerSize;
  TelegramSummary* summary;
};

CameraState& StateOf(Exchange& x) {
  return x.folder.State();
}

bool ReservedBytesAreZero(const std::uint8_t* request) {
  for (std::uint32_t i = 4; i < 12; ++i) {
    if (request[i] != 0) return false;
  }
  return true;
}

std::uint32_t AnswerCameraType(Exchange& x) {
  const CameraState& state = StateOf(x);
  std::uint16_t type =
      state.faults.wrongCameraType != 0 ? state.faults.wrongCameraType : state.settings.cameraType;
  PutLe16(x.answer + tg::kCameraTypeOffset, type);
  PutLe32(x.answer + tg::kSerialNumberOffset, state.settings.serialNumber);
  return 0;
}

std::uint32_t AnswerVersionsPage(Exchange& x, std::uint32_t page) {
  std::vector<VersionEntry> entries = CollectVersionEntries(x.folder);
  std::uint32_t total = static_cast<std::uint32_t>(entries.size());
  std::uint32_t first = page * tg::kVersionsPerAnswer;
  if (page > 0 && first >= total) return CameraError(kFwValueOutOfRange);
  PutLe16(x.answer + tg::kVersionsTotalOffset, total);
  for (std::uint32_t i = 0; i < tg::kVersionsPerAnswer && first + i < total; ++i) {
    const VersionEntry& entry = entries[first + i];
    std::uint8_t* out = x.answer + tg::kVersionsEntryOffset + i * tg::kVersionEntrySize;
    std::memcpy(out, entry.name, sizeof(entry.name));
    out[tg::kVersionEntryMinorOffset] = entry.minor;
    out[tg::kVersionEntryMajorOffset] = entry.major;
    PutLe16(out + tg::kVersionEntryVariantOffset, entry.variant);
  }
  return 0;
}

std::uint32_t SelectDevice(Exchange& x, std::uint16_t code) {
  if (!ReservedBytesAreZero(x.request)) return CameraError(kFwValueOutOfRange);
  CameraState& state = StateOf(x);
  bool unknown = false;
  std::optional<DeviceIndex> device =
      DeviceForSelectCode(code, state.settings.newerHdsdiBoard != 0, &unknown);
  if (!device) return CameraError(unknown ? kFwUnknownDevice : kFwDeviceNotAvailable);
  if (state.runtime.selectedDevice != kNoDevice) return CameraError(kFwAlreadyOpen);
  state.runtime.selectedDevice = static_cast<std::int32_t>(*device);
  return 0;
}

std::uint32_t EndDeviceAccess(Exchange& x) {
  if (!ReservedBytesAreZero(x.request)) return CameraError(kFwValueOutOfRange);
  CameraState& state = StateOf(x);
  if (state.runtime.selectedDevice == kNoDevice) return CameraError(kFwNoDeviceOpen);
  state.runtime.selectedDevice = kNoDevice;
  return 0;
}

std::uint32_t EraseDevice(Exchange& x) {
  if (!ReservedBytesAreZero(x.request)) return CameraError(kFwValueOutOfRange);
  CameraState& state = StateOf(x);
  if (state.runtime.selectedDevice == kNoDevice) return CameraError(kFwNoDeviceOpen);
  if (!x.folder.Flash(static_cast<DeviceIndex>(state.runtime.selectedDevice)).Erase()) {
    return CameraError(kFwErasingFailed);
  }
  return 0;
}

// Counts data bytes for a bit flip fault and flips the one it names.
void ApplyBitFlip(BitFlipFault& fault, std::uint8_t* bytes, std::uint32_t length) {
  if (fault.active == 0) return;
  if (fault.nth > fault.seen && fault.nth <= fault.seen + length) {
    bytes[fault.nth - fault.seen - 1] ^= static_cast<std::uint8_t>(1u << (fault.bit & 7));
    fault.active = 0;
  }
  fault.seen += length;
}

std::uint32_t WriteBlock(Exchange& x) {
  std::uint32_t size = TelegramSize(x.request);
  if (size < tg::kWriteSizeFieldExtra + 1 ||
      size > tg::kWriteSizeFieldExtra + tg::kMaxBlockLength) {
    return CameraError(kFwWrongSize);
  }
  std::uint32_t length = size - tg::kWriteSizeFieldExtra;
  std::uint32_t start = GetLe32(x.request + tg::kWriteStartOffset);
  std::uint32_t end = GetLe32(x.request + tg::kWriteEndOffset);
  x.summary->hasAddresses = true;
  x.summary->start = start;
  x.summary->end = end;
  if (std::uint64_t{start} + length - 1 != end) return CameraError(kFwInconsistent);
  CameraState& state = StateOf(x);
  if (state.runtime.selectedDevice == kNoDevice) return CameraError(kFwNoDeviceOpen);
  FlashDevice& flash = x.folder.Flash(static_cast<DeviceIndex>(state.runtime.selectedDevice));
  if (!flash.Contains(start, length)) return CameraError(kFwAddressOutOfRange);
  if (!flash.IsErased(start, length)) return CameraError(kFwNotBlank);
  std::uint8_t data[tg::kMaxBlockLength];
  std::memcpy(data, x.request + tg::kWriteDataOffset, length);
  ApplyBitFlip(state.faults.flipWrite, data, length);
  if (!flash.Program(start, data, length)) return CameraError(kFwProgrammingFailed);
  return 0;
}

std::uint32_t ReadBlock(Exchange& x) {
  std::uint32_t start = GetLe32(x.request + tg::kReadStartOffset);
  std::uint32_t end = GetLe32(x.request + tg::kReadEndOffset);
  x.summary->hasAddresses = true;
  x.summary->start = start;
  x.summary->end = end;
  if (end < start || end - start >= tg::kMaxBlockLength) return CameraError(kFwWrongSize);
  std::uint32_t length = end - start + 1;
  CameraState& state = StateOf(x);
  if (state.runtime.selectedDevice == kNoDevice) return CameraError(kFwNoDeviceOpen);
  DeviceIndex device = static_cast<DeviceIndex>(state.runtime.selectedDevice);
  std::uint32_t offset = start;
  // Some HD-SDI boards address their flash in 16-bit steps when reading: the read address is
  // twice the byte offset.
  if (device == DEVICE_HDSDI_FPGA && state.settings.hdsdiReadScale == 2) {
    if (start % 2 != 0) return CameraError(kFwAddressOutOfRange);
    offset = start / 2;
  }
  FlashDevice& flash = x.folder.Flash(device);
  if (!flash.Contains(offset, length)) return CameraError(kFwAddressOutOfRange);
  std::uint8_t* data = x.answer + tg::kReadAnswerDataOffset;
  if (!flash.Read(offset, data, length)) return CameraError(kFwReadingFailed);
  ApplyBitFlip(state.faults.flipRead, data, length);
  PutLe32(x.answer + tg::kReadStartOffset, start);
  PutLe32(x.answer + tg::kReadEndOffset, end);
  return 0;
}

std::uint32_t RequestReboot(Exchange& x) {
  CameraRuntime& runtime = StateOf(x).runtime;
  runtime.rebooting = 1;
  runtime.selectedDevice = kNoDevice;
  runtime.rebootCount += 1;
  return 0;
}

// Request length, size field and answer size every command requires. The size field of a
// write block varies with its data and is checked by the command itself (expectedSize 0).
struct CommandShape {
  std::uint32_t requestLength;
  std::uint32_t expectedSize;
  std::uint32_t responseLength;
};

bool ShapeOf(std::uint16_t code, CommandShape* shape) {
  switch (code) {
    case tg::kGetCameraType:
      *shape = {5, 5, 23};
      return true;
    case tg::kGetDeviceVersionsPaged:
      *shape = {6, 6, 207};
      return true;
    case tg::kGetDeviceVersionsSingle:
      *shape = {5, 5, 207};
      return true;
    case tg::kEndDeviceAccess:
    case tg::kEraseDevice:
      *shape = {13, 13, 17};
      return true;
    case tg::kWriteBlock:
      *shape = {269, 0, 15};
      return true;
    case tg::kReadBlock:
      *shape = {13, 13, 269};
      return true;
    case tg::kRequestReboot:
      *shape = {5, 5, 272};
      return true;
    default:
      if (IsSelectFamilyCode(code)) {
        *shape = {13, 13, 17};
        return true;
      }
      return false;
  }
}

std::uint32_t Dispatch(Exchange& x, std::uint16_t code) {
  switch (code) {
    case tg::kGetCameraType:
      return AnswerCameraType(x);
    case tg::kGetDeviceVersionsPaged:
      if (StateOf(x).settings.pagedVersions == 0) return CameraError(kFwUnknownCommand);
      return AnswerVersionsPage(x, x.request[tg::kVersionsPageOffset]);
    case tg::kGetDeviceVersionsSingle:
      return AnswerVersionsPage(x, 0);
    case tg::kEndDeviceAccess:
      return EndDeviceAccess(x);
    case tg::kEraseDevice:
      return EraseDevice(x);
    case tg::kWriteBlock:
      return WriteBlock(x);
    case tg::kReadBlock:
      return ReadBlock(x);
    case tg::kRequestReboot:
      return RequestReboot(x);
    default:
      return SelectDevice(x, code);
  }
}

}  // namespace

std::vector<VersionEntry> CollectVersionEntries(CameraFolder& folder) {
  std::vector<VersionEntry> entries;
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    std::optional<DeviceContents> contents = ReadDeviceContents(index, folder.Flash(index));
    if (!contents) continue;
    VersionEntry entry{};
    std::snprintf(entry.name, sizeof(entry.name), "%s", kSimDevices[index].reportedName);
    entry.minor = contents->version.minor;
    entry.major = contents->version.major;
    entry.variant = contents->version.variant;
    entries.push_back(entry);
  }
  std::uint32_t extra = folder.State().settings.extraEntries;
  if (extra > kMaxExtraEntries) extra = kMaxExtraEntries;
  constexpr std::uint32_t kNamed = sizeof(kExtraEntryNames) / sizeof(kExtraEntryNames[0]);
  for (std::uint32_t i = 0; i < extra; ++i) {
    VersionEntry entry{};
    if (i < kNamed) {
      std::snprintf(entry.name, sizeof(entry.name), "%s", kExtraEntryNames[i]);
    } else {
      std::snprintf(entry.name, sizeof(entry.name), "Aux Unit %03u", (i - kNamed + 1) % 1000);
    }
    entry.minor = static_cast<std::uint8_t>(i);
    entry.major = 2;
    entry.variant = 1;
    entries.push_back(entry);
  }
  return entries;
}

std::uint32_t HandleTelegram(CameraFolder& folder, const std::uint8_t* request,
                             std::uint32_t requestLength, std::uint8_t* answer,
                             std::uint32_t responseLength, TelegramSummary* summary) {
  if (requestLength < kMinTelegramSize) return CameraError(kFwWrongSize);
  std::uint16_t code = TelegramCode(request);
  std::uint16_t size = TelegramSize(request);
  summary->code = code;
  summary->sizeField = size;
  CommandShape shape{};
  if (!ShapeOf(code, &shape)) return CameraError(kFwUnknownCommand);
  if (requestLength != shape.requestLength || responseLength != shape.responseLength) {
    return CameraError(kFwWrongSize);
  }
  if (size < kMinTelegramSize || size > requestLength ||
      (shape.expectedSize != 0 && size != shape.expectedSize)) {
    return CameraError(kFwWrongSize);
  }
  if (!IsSealed(request, size)) return CameraError(kFwWrongChecksum);
  std::memset(answer, 0, responseLength);
  Exchange x{folder, request, answer, responseLength, summary};
  std::uint32_t result = Dispatch(x, code);
  summary->device = folder.State().runtime.selectedDevice;
  if (result != 0) return result;
  PutLe16(answer, code);
  PutLe16(answer + 2, responseLength);
  SealTelegram(answer, responseLength);
  return 0;
}

}  // namespace tarvo::sim
