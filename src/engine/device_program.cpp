// Programming one device: select it, erase it, write the loaded packet's image in blocks.
#include "engine/camera_pauses.h"
#include "engine/device_blocks.h"
#include "engine/programmer_dlg.h"
#include "link/telegrams.h"

namespace tarvo {

int CProgrammerDlg::ProgramDevice(DeviceIndex device) {
  // Without an image there is nothing to do; the packet keeps its own message text.
  ImageRange range;
  if (!PrepareDeviceImage(device, &range)) {
    RecordDeviceFailure(device, DeviceOutcome::kProgramFailed, 0, -1);
    report_.devices[device].reason = packet_.LastError();
    return 0;
  }
  const char* name = DeviceDisplayName(device);
  SetDeviceProgress(device, PROGRESS_RUNNING);
  PumpMessages();

  std::int64_t failedAt = -1;
  std::uint32_t result = OpenLink(SelectedInterface());
  if (result == 0) {
    result =
        SelectDevice(DeviceSelectCodeForImage(device, imageBuffer_.get(), range.start, range.size));
  }
  if (result == 0) {
    ShowStatus("Erase device %s ...", name);
    Wait(kPauseBeforeEraseMs);
    result = EraseDevice(DeviceEraseTimeoutSeconds(device));
  }
  if (result == 0) {
    ShowStatus("Program device %s ...", name);
    result = WriteBlocks(device, range, &failedAt);
  }
  if (result == 0) result = EndDeviceAccess();
  if (result != 0) return FailDeviceOperation(DeviceOperation::kProgram, device, result, failedAt);

  CloseLink();
  // A device the order names twice keeps a failure of its first programming.
  if (report_.devices[device].outcome != DeviceOutcome::kProgramFailed) {
    report_.devices[device].outcome = DeviceOutcome::kProgrammed;
  }
  SetDeviceProgress(device, PROGRESS_DONE);
  ShowStatus("Programming device %s successful!", name);
  return 1;
}

// The failed-at address walks with the blocks; after the last block it stands on the first
// block address past the image, which is what a failure after the loop reports.
std::uint32_t CProgrammerDlg::WriteBlocks(DeviceIndex device, const ImageRange& range,
                                          std::int64_t* failedAt) {
  const std::uint64_t stop = std::uint64_t{range.start} + range.size;
  const std::uint32_t blockSize = DeviceBlockSize(device);
  std::uint64_t address = range.start;
  for (; address < stop; address += blockSize) {
    *failedAt = static_cast<std::int64_t>(address);
    window_.SetDeviceProgressPosition(device, ProgressPercent(address, range.start, range.size));
    const std::uint32_t length = DeviceBlockLength(device, stop - address);
    const std::uint8_t* bytes = imageBuffer_.get() + address;
    // Erased flash already holds 0xFF.
    if (IsErasedBlock(bytes, length)) continue;
    const std::uint32_t result = WriteBlock(static_cast<std::uint32_t>(address), bytes, length);
    if (result != 0) return result;
    PumpMessages();
  }
  *failedAt = static_cast<std::int64_t>(address);
  return 0;
}

}  // namespace tarvo
