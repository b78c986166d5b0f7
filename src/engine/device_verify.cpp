// Verifying one device: read it back block by block and compare it with the loaded packet's
// image, listing every differing byte.
#include <cstring>

#include "engine/camera_pauses.h"
#include "engine/device_blocks.h"
#include "engine/programmer_dlg.h"
#include "link/telegrams.h"
#include "log/result_codes.h"

namespace tarvo {

namespace {
// The HD-SDI probe reads the first two blocks; boards that address their flash in 16-bit words
// answer the second read with the second half of the first block again.
constexpr std::uint32_t kProbeHalf = 128;
}  // namespace

int CProgrammerDlg::VerifyDevice(DeviceIndex device) {
  ImageRange range;
  if (!PrepareDeviceImage(device, &range)) {
    RecordDeviceFailure(device, DeviceOutcome::kVerifyFailed, 0, -1);
    report_.devices[device].reason = packet_.LastError();
    return 0;
  }
  const char* name = DeviceDisplayName(device);
  SetDeviceProgress(device, PROGRESS_RUNNING);
  PumpMessages();
  ShowStatus("Verify device %s ...", name);

  std::int64_t failedAt = -1;
  std::uint32_t differing = 0;
  std::uint32_t result = OpenLink(SelectedInterface());
  if (result == 0) {
    result =
        SelectDevice(DeviceSelectCodeForImage(device, imageBuffer_.get(), range.start, range.size));
  }
  if (result == 0) {
    Wait(kPauseBeforeReadMs);
    result = ReadAndCompareBlocks(device, range, &failedAt, &differing);
  }
  if (result == 0) result = EndDeviceAccess();
  if (result != 0) {
    const int failed = FailDeviceOperation(DeviceOperation::kVerify, device, result, failedAt);
    report_.devices[device].differingBytes = differing;
    return failed;
  }

  CloseLink();
  report_.devices[device].outcome = DeviceOutcome::kVerified;
  SetDeviceProgress(device, PROGRESS_DONE);
  ShowStatus("Verify device %s successful!", name);
  return 1;
}

std::uint32_t CProgrammerDlg::ProbeHdsdiAddressScale(std::uint32_t* scale) {
  std::uint8_t* readBack = readBackBuffer_.get();
  std::uint32_t result = ReadBlock(0, kDeviceBlockSize, readBack);
  if (result == 0)
    result = ReadBlock(kDeviceBlockSize, kDeviceBlockSize, readBack + kDeviceBlockSize);
  if (result != 0) return result;
  *scale = std::memcmp(readBack + kProbeHalf, readBack + kDeviceBlockSize, kProbeHalf) == 0 ? 2 : 1;
  return 0;
}

// Every block is read to its own offset of the read-back buffer, also when the HD-SDI board
// is read from scaled addresses, so the diff lines always name byte offsets. The power
// microcontroller stops at its first differing block; the others count differences and stop
// only past VERIFY_ERROR_LIMIT, so one verification shows the full extent of a small damage.
std::uint32_t CProgrammerDlg::ReadAndCompareBlocks(DeviceIndex device, const ImageRange& range,
                                                   std::int64_t* failedAt,
                                                   std::uint32_t* differing) {
  std::uint32_t scale = 1;
  if (device == DEVICE_HDSDI_FPGA) {
    const std::uint32_t result = ProbeHdsdiAddressScale(&scale);
    if (result != 0) return result;
  }
  const bool stopAtFirstDifference = device == DEVICE_POWER_UP;
  const std::uint64_t stop = std::uint64_t{range.start} + range.size;
  const std::uint32_t blockSize = DeviceBlockSize(device);
  std::int32_t differenceTotal = 0;
  bool allEqual = true;
  std::uint64_t address = range.start;
  for (; address < stop; address += blockSize) {
    *failedAt = static_cast<std::int64_t>(address);
    window_.SetDeviceProgressPosition(device, ProgressPercent(address, range.start, range.size));
    const std::uint32_t length = DeviceBlockLength(device, stop - address);
    std::uint8_t* readBytes = readBackBuffer_.get() + address;
    const std::uint32_t result =
        ReadBlock(static_cast<std::uint32_t>(address * scale), length, readBytes);
    if (result != 0) return result;
    const std::uint32_t differences = CompareBlock(static_cast<std::uint32_t>(address), length,
                                                   readBytes, imageBuffer_.get() + address);
    if (differences != 0) {
      *differing += differences;
      if (stopAtFirstDifference) return ERR_VERIFY_FAILED;
      allEqual = false;
      differenceTotal += static_cast<std::int32_t>(differences);
      if (differenceTotal > VERIFY_ERROR_LIMIT) {
        WriteLog("Verify stopped: Too much errors!");
        return ERR_VERIFY_FAILED;
      }
    }
    PumpMessages();
  }
  *failedAt = static_cast<std::int64_t>(address);
  return allEqual ? 0 : ERR_VERIFY_FAILED;
}

}  // namespace tarvo
