// Reading back what one device of the camera holds, for the backup. The program knows no image
// beforehand: Boot uP's application area has a fixed place, every other device describes its
// firmware in a 32-byte header at its start.
#include <algorithm>
#include <cstring>

#include "engine/camera_pauses.h"
#include "engine/device_blocks.h"
#include "engine/programmer_dlg.h"
#include "firmware/byte_order.h"
#include "firmware/image_readers.h"
#include "link/telegrams.h"
#include "log/error_texts.h"

namespace tarvo {

namespace {

// Boot uP keeps its application, with the version record, in a fixed area.
constexpr std::uint32_t kBootUpStart = kBootAppInfoAddress;
constexpr std::uint32_t kBootUpEnd = kBootAppEnd;
constexpr std::uint32_t kBootUpVersionAddress = kBootAppInfoAddress + kBootAppVersionOffset;

// The header of the other devices: the firmware's length behind the header at offset 28.
constexpr std::uint32_t kHeaderSize = IMAGE_HEADER_SIZE;
// The HD-SDI FPGA's firmware ends on a 512-byte boundary.
constexpr std::uint32_t kHdsdiEndMask = 0x1FF;

// The header's little-endian length field.
std::uint32_t HeaderLength(const std::uint8_t* header) {
  return ReadLe32(header + kImageHeaderLengthOffset);
}

// The HD-SDI FPGA stores its header as 16-bit words high byte first.
void ConvertHdsdiHeader(const std::uint8_t* stored, std::uint8_t* header) {
  for (std::uint32_t i = 0; i < kHeaderSize; i += 2) {
    header[i] = stored[i + 1];
    header[i + 1] = stored[i];
  }
}

// Every block is read whole, so the last one may reach up to 255 bytes past the end; all of
// it must land inside the read-back buffer. A size below 2 bytes is no firmware at all (and
// would leave the progress formula without a range).
bool FitsReadBackBuffer(std::uint64_t start, std::uint64_t size) {
  if (size < 2) return false;
  const std::uint64_t blocks = (size + kDeviceBlockSize - 1) / kDeviceBlockSize;
  return start + blocks * kDeviceBlockSize <= IMAGE_BUFFER_SIZE;
}

}  // namespace

int CProgrammerDlg::ReadBackDevice(DeviceIndex device, ReadBackImage* image) {
  if (!IsDeviceIndex(device)) return 0;
  const char* name = DeviceDisplayName(device);
  SetDeviceProgress(device, PROGRESS_RUNNING);
  PumpMessages();
  if (device == DEVICE_BOOT_UP && !BootUpReadableForBackup(camera_.current[DEVICE_BOOT_UP])) {
    WriteLog("Current version of %s is too old and will not be backuped.", name);
    BackupDevice(device).outcome = DeviceOutcome::kRefused;
    return 0;
  }
  ShowStatus("Read back device %s ...", name);

  std::int64_t failedAt = -1;
  ReadBackImage found;
  std::uint32_t scale = 1;
  std::uint32_t result = OpenLink(SelectedInterface());
  if (result == 0) result = SelectForReadBack(device);
  if (result == 0) {
    Wait(kPauseBeforeReadMs);
    std::uint64_t length = 0;
    result = ReadBackExtent(device, &found, &scale, &length);
    if (result == 0 && !FitsReadBackBuffer(static_cast<std::uint32_t>(found.start), length)) {
      return RefuseReadBack(device, length);
    }
  }
  if (result == 0) result = ReadBackBlocks(device, found, scale, &failedAt);
  if (result == 0 && device == DEVICE_BOOT_UP) {
    found.version = ImageVersionFromBytes(readBackBuffer_.get() + kBootUpVersionAddress);
  }
  if (result == 0) result = EndDeviceAccess();
  if (result != 0) return FailReadBack(device, result, failedAt);

  CloseLink();
  *image = found;
  SetDeviceProgress(device, PROGRESS_DONE);
  ShowStatus("Read back device %s successful.", name);
  return 1;
}

// Newer HD-SDI boards answer to their own select code; an older board refuses it, which is
// expected and neither logged nor counted: only the catalogue code's answer decides.
std::uint32_t CProgrammerDlg::SelectForReadBack(DeviceIndex device) {
  if (device != DEVICE_HDSDI_FPGA) return SelectDevice(DeviceSelectCode(device));
  WriteLog("Testing, if newer rev. of HDSDI board is installed.");
  if (SelectDevice(kHdsdiNewerBoardSelectCode) == 0) return 0;
  return SelectDevice(DeviceSelectCode(device));
}

// Finds where the firmware lies and which version it carries. `length` is the firmware's size
// as the header gives it, before it is trusted with the buffer.
std::uint32_t CProgrammerDlg::ReadBackExtent(DeviceIndex device, ReadBackImage* image,
                                             std::uint32_t* scale, std::uint64_t* length) {
  std::uint8_t* readBack = readBackBuffer_.get();
  if (device == DEVICE_BOOT_UP) {
    image->start = static_cast<std::int32_t>(kBootUpStart);
    image->end = static_cast<std::int32_t>(kBootUpEnd);
    image->size = static_cast<std::int32_t>(kBootUpEnd - kBootUpStart + 1);
    *length = static_cast<std::uint64_t>(image->size);
    return 0;
  }
  std::uint8_t header[kHeaderSize];
  if (device == DEVICE_HDSDI_FPGA) {
    const std::uint32_t result = ProbeHdsdiAddressScale(scale);
    if (result != 0) return result;
    ConvertHdsdiHeader(readBack, header);
    *length = ((std::uint64_t{HeaderLength(header)} + kHeaderSize - 1) | kHdsdiEndMask) + 1;
  } else {
    const std::uint32_t result = ReadBlock(0, kDeviceBlockSize, readBack);
    if (result != 0) return result;
    std::memcpy(header, readBack, kHeaderSize);
    *length = std::uint64_t{HeaderLength(header)} + kHeaderSize;
  }
  image->version = ImageVersionFromBytes(header);
  image->start = 0;
  // Only used once the length has been found to fit the buffer.
  image->size = static_cast<std::int32_t>(std::min<std::uint64_t>(*length, IMAGE_BUFFER_SIZE));
  image->end = image->size - 1;
  return 0;
}

// Blocks of 256 bytes from start while the address is not past end, each landing at its own
// device address in the read-back buffer. The HD-SDI board is read at scaled addresses and
// names no failing address.
std::uint32_t CProgrammerDlg::ReadBackBlocks(DeviceIndex device, const ReadBackImage& image,
                                             std::uint32_t scale, std::int64_t* failedAt) {
  const auto start = static_cast<std::uint32_t>(image.start);
  const auto end = static_cast<std::uint32_t>(image.end);
  for (std::uint32_t address = start; address <= end; address += kDeviceBlockSize) {
    if (device != DEVICE_HDSDI_FPGA) *failedAt = address;
    window_.SetDeviceProgressPosition(
        device, static_cast<int>(std::uint64_t{address - start} * 100 / (end - start)));
    const std::uint32_t result =
        ReadBlock(address * scale, kDeviceBlockSize, readBackBuffer_.get() + address);
    if (result != 0) return result;
    PumpMessages();
  }
  return 0;
}

int CProgrammerDlg::FailReadBack(DeviceIndex device, std::uint32_t result, std::int64_t failedAt) {
  (void)EndDeviceAccess();
  CloseLink();
  const char* name = DeviceDisplayName(device);
  ShowStatus("ERROR: Read back device %s failed!", name);
  WriteLog("  - function return %08x.", result);
  if (failedAt != -1) WriteLog("  - failed at addr. %08x,", static_cast<std::uint32_t>(failedAt));
  LogDeviceError(name, result);
  SetDeviceProgress(device, PROGRESS_FAILED);
  DeviceRecord& record = BackupDevice(device);
  record.outcome = DeviceOutcome::kNotStored;
  record.resultCode = result;
  record.failedAddress = failedAt;
  record.errorText = DeviceErrorText(result);
  return 0;
}

// A header whose length cannot describe firmware, or describes more than the read-back buffer
// holds, is damaged or no header at all: nothing is read.
int CProgrammerDlg::RefuseReadBack(DeviceIndex device, std::uint64_t length) {
  (void)EndDeviceAccess();
  CloseLink();
  const char* name = DeviceDisplayName(device);
  ShowStatus("ERROR: Read back device %s failed!", name);
  WriteLog("  - header gives a firmware size of %llu bytes; a read-back takes 2 to %u bytes.",
           static_cast<unsigned long long>(length),
           IMAGE_BUFFER_SIZE / kDeviceBlockSize * kDeviceBlockSize);
  SetDeviceProgress(device, PROGRESS_FAILED);
  BackupDevice(device).outcome = DeviceOutcome::kNotStored;
  BackupDevice(device).reason = FormatText("its header gives a firmware size of %llu bytes",
                                           static_cast<unsigned long long>(length));
  return 0;
}

}  // namespace tarvo
