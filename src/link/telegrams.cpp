#include "link/telegrams.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "link/link.h"
#include "link/telegram_layout.h"

namespace tarvo {

namespace {

using namespace telegram;

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFF);
  at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  Put16(at, value & 0xFFFF);
  Put16(at + 2, value >> 16);
}

std::uint16_t Get16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::uint32_t Get32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(Get16(at)) | (static_cast<std::uint32_t>(Get16(at + 2)) << 16);
}

// Frame header: command code and the telegram's size field.
void PutHeader(std::uint8_t* request, std::uint16_t code, std::uint32_t sizeField) {
  Put16(request, code);
  Put16(request + 2, sizeField);
}

// Requests of 13 bytes whose eight field bytes are zero: select, end of access, erase.
std::uint32_t SendPlainCommand(std::uint16_t code, std::uint32_t timeoutMs) {
  std::array<std::uint8_t, 13> request{};
  std::array<std::uint8_t, 17> answer{};
  PutHeader(request.data(), code, kSelectShape.requestLength);
  return Transact(timeoutMs, request.data(), kSelectShape.requestLength, answer.data(),
                  kSelectShape.responseLength);
}

using VersionsAnswer = std::array<std::uint8_t, 207>;

std::uint32_t RequestVersionsPage(std::uint8_t page, VersionsAnswer* answer) {
  std::array<std::uint8_t, 6> request{};
  PutHeader(request.data(), kGetDeviceVersionsPaged, kVersionsPagedShape.requestLength);
  request[kVersionsPageOffset] = page;
  return Transact(kVersionsPagedShape.timeoutMs, request.data(), kVersionsPagedShape.requestLength,
                  answer->data(), kVersionsPagedShape.responseLength);
}

std::uint32_t RequestVersionsSingle(VersionsAnswer* answer) {
  std::array<std::uint8_t, 5> request{};
  PutHeader(request.data(), kGetDeviceVersionsSingle, kVersionsSingleShape.requestLength);
  return Transact(kVersionsSingleShape.timeoutMs, request.data(),
                  kVersionsSingleShape.requestLength, answer->data(),
                  kVersionsSingleShape.responseLength);
}

DeviceVersionEntry EntryFromAnswer(const std::uint8_t* at) {
  DeviceVersionEntry entry{};
  std::memcpy(entry.name, at, kVersionEntryNameLength);
  entry.minor = at[kVersionEntryMinorOffset];
  entry.major = at[kVersionEntryMajorOffset];
  entry.variant = Get16(at + kVersionEntryVariantOffset);
  return entry;
}

// Copies up to `wanted` entries of one answer to the table from position *count on, never past
// the table's capacity.
void StoreEntries(const VersionsAnswer& answer, std::uint32_t wanted, DeviceVersionEntry* table,
                  std::uint32_t* count) {
  for (std::uint32_t i = 0; i < wanted && *count < kVersionTableCapacity; ++i) {
    table[*count] = EntryFromAnswer(answer.data() + kVersionsEntryOffset + i * kVersionEntrySize);
    ++*count;
  }
}

}  // namespace

std::uint32_t GetCameraType(std::uint16_t* cameraType, std::uint32_t* serialNumber) {
  *cameraType = 0xFFFF;
  *serialNumber = 0xFFFFFFFF;
  std::array<std::uint8_t, 5> request{};
  std::array<std::uint8_t, 23> answer{};
  PutHeader(request.data(), kGetCameraType, kCameraTypeShape.requestLength);
  const std::uint32_t result =
      Transact(kCameraTypeShape.timeoutMs, request.data(), kCameraTypeShape.requestLength,
               answer.data(), kCameraTypeShape.responseLength);
  if (result == 0) {
    *cameraType = Get16(answer.data() + kCameraTypeOffset);
    *serialNumber = Get32(answer.data() + kSerialNumberOffset);
  }
  return result;
}

std::uint32_t GetDeviceVersions(DeviceVersionEntry* table, std::uint32_t* count) {
  *count = 0;
  VersionsAnswer answer{};
  std::uint32_t result = RequestVersionsPage(0, &answer);
  if (result != 0) {
    // Cameras without the paged form answer the single form, which holds at most 10 entries.
    result = RequestVersionsSingle(&answer);
    if (result != 0) return result;
    const std::uint32_t total = Get16(answer.data() + kVersionsTotalOffset);
    StoreEntries(answer, std::min(total, kVersionsPerAnswer), table, count);
    return 0;
  }

  // Later pages' totals are not read: page 0 tells how many entries follow. Paging ends once
  // the table is full; a camera reporting more entries than it holds gets no further requests.
  std::int32_t remaining = Get16(answer.data() + kVersionsTotalOffset);
  for (std::uint32_t page = 0; remaining > 0 && *count < kVersionTableCapacity; ++page) {
    if (page > 0) {
      result = RequestVersionsPage(static_cast<std::uint8_t>(page), &answer);
      if (result != 0) return result;
    }
    StoreEntries(answer, std::min(static_cast<std::uint32_t>(remaining), kVersionsPerAnswer), table,
                 count);
    remaining -= static_cast<std::int32_t>(kVersionsPerAnswer);
  }
  return 0;
}

std::uint32_t SelectDevice(std::uint16_t selectCode) {
  return SendPlainCommand(selectCode, kSelectShape.timeoutMs);
}

std::uint32_t EndDeviceAccess() {
  return SendPlainCommand(kEndDeviceAccess, kEndAccessShape.timeoutMs);
}

std::uint32_t EraseDevice(std::uint32_t timeoutSeconds) {
  return SendPlainCommand(kEraseDevice, timeoutSeconds * 1000);
}

std::uint32_t WriteBlock(std::uint32_t address, const std::uint8_t* data, std::uint32_t length) {
  // The request always travels as the full 269-byte area; the size field tells the camera how
  // much of it is data. Bytes behind the data carry no meaning.
  std::array<std::uint8_t, 269> request{};
  std::array<std::uint8_t, 15> answer{};
  length = std::min(length, kMaxBlockLength);
  PutHeader(request.data(), kWriteBlock, length + kWriteSizeFieldExtra);
  Put32(request.data() + kWriteStartOffset, address);
  Put32(request.data() + kWriteEndOffset, address + length - 1);
  std::memcpy(request.data() + kWriteDataOffset, data, length);
  return Transact(kWriteShape.timeoutMs, request.data(), kWriteShape.requestLength, answer.data(),
                  kWriteShape.responseLength);
}

std::uint32_t ReadBlock(std::uint32_t address, std::uint32_t length, std::uint8_t* destination) {
  std::array<std::uint8_t, 13> request{};
  std::array<std::uint8_t, 269> answer{};
  length = std::min(length, kMaxBlockLength);
  PutHeader(request.data(), kReadBlock, kReadShape.requestLength);
  Put32(request.data() + kReadStartOffset, address);
  Put32(request.data() + kReadEndOffset, address + length - 1);
  const std::uint32_t result =
      Transact(kReadShape.timeoutMs, request.data(), kReadShape.requestLength, answer.data(),
               kReadShape.responseLength);
  std::memcpy(destination, answer.data() + kReadAnswerDataOffset, length);
  return result;
}

std::uint32_t RequestReboot() {
  std::array<std::uint8_t, 5> request{};
  std::array<std::uint8_t, 272> answer{};
  PutHeader(request.data(), kRequestReboot, kRebootShape.requestLength);
  return Transact(kRebootShape.timeoutMs, request.data(), kRebootShape.requestLength, answer.data(),
                  kRebootShape.responseLength);
}

}  // namespace tarvo
