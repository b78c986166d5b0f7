// What programming and verifying a device have in common: getting the image into the image
// buffer, comparing blocks, and the failure path with its lines.
#include <cstring>

#include "engine/device_blocks.h"
#include "engine/programmer_dlg.h"
#include "link/telegrams.h"

namespace tarvo {

// The image buffer is indexed by device address, so the image lands at its own start address.
// An image whose blocks would reach past the buffers is treated like one the packet lacks.
bool CProgrammerDlg::PrepareDeviceImage(DeviceIndex device, ImageRange* range) {
  if (!IsDeviceIndex(device)) return false;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::uint32_t size = 0;
  if (!packet_.GetImage(static_cast<std::uint16_t>(device), imageBuffer_.get(), &start, &end,
                        &size)) {
    return false;
  }
  const std::uint32_t overhang = size % 2 == 1 ? DeviceBlockOverhang(device) : 0;
  if (std::uint64_t{start} + size + overhang > IMAGE_BUFFER_SIZE) return false;
  // The Boot FPGA's last block of an odd image is one byte longer than the image; that byte is
  // written and compared as erased flash, never as what an earlier image left in the buffer.
  if (overhang != 0) imageBuffer_[start + size] = kBootFpgaPadByte;
  range->start = start;
  range->size = size;
  return true;
}

std::uint32_t CProgrammerDlg::CompareBlock(std::uint32_t address, std::uint32_t length,
                                           const std::uint8_t* readBytes,
                                           const std::uint8_t* imageBytes) {
  // Nearly every block matches; only a differing one is walked byte by byte.
  if (std::memcmp(readBytes, imageBytes, length) == 0) return 0;
  std::uint32_t differences = 0;
  for (std::uint32_t i = 0; i < length; ++i) {
    if (readBytes[i] == imageBytes[i]) continue;
    WriteLog("diff at %08x: %02x %02x", address + i, imageBytes[i], readBytes[i]);
    ++differences;
  }
  return differences;
}

// The device access is ended and the link closed on every failure, whatever step failed
// (also when the link never opened); both results are of no further use here.
int CProgrammerDlg::FailDeviceOperation(DeviceOperation operation, DeviceIndex device,
                                        std::uint32_t result, std::int64_t failedAt) {
  (void)EndDeviceAccess();
  CloseLink();
  const char* name = DeviceDisplayName(device);
  if (operation == DeviceOperation::kProgram) {
    ShowStatus("ERROR: Programming device %s failed!", name);
  } else {
    ShowStatus("ERROR: Verify device %s failed!", name);
  }
  WriteLog("  - function return %08x.", result);
  if (failedAt != -1) WriteLog("  - failed at addr. %08x,", static_cast<std::uint32_t>(failedAt));
  LogDeviceError(name, result);
  SetDeviceProgress(device, PROGRESS_FAILED);
  RecordDeviceFailure(device,
                      operation == DeviceOperation::kProgram ? DeviceOutcome::kProgramFailed
                                                             : DeviceOutcome::kVerifyFailed,
                      result, failedAt);
  return 0;
}

}  // namespace tarvo
