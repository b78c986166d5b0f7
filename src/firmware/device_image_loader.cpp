#include "firmware/device_image_loader.h"

#include <cstring>

#include "firmware/firmware_packet.h"
#include "firmware/image_readers.h"
#include "firmware/image_version_parse.h"
#include "log/format_text.h"
#include "log/result_codes.h"

namespace tarvo {

namespace {

using PathReader = std::uint32_t (*)(const std::string&, std::uint8_t*, ImageRange*);

PathReader ReaderOf(ImageReaderKind kind) {
  switch (kind) {
    case ImageReaderKind::kHex:
      return &ReadHexImage;
    case ImageReaderKind::kBootBitstream:
      return &ReadBootBitstream;
    case ImageReaderKind::kBitstream:
      return &ReadBitstream;
    case ImageReaderKind::kMemImage:
      return &ReadMemImage;
    case ImageReaderKind::kRomImage:
      return &ReadRomImage;
    case ImageReaderKind::kColorTable:
      return &ReadColorTable;
  }
  return nullptr;
}

}  // namespace

std::uint32_t ReadDeviceImageFile(DeviceIndex device, const std::string& path,
                                  std::uint8_t* imageBuffer, std::uint32_t* lowest,
                                  std::uint32_t* highest) {
  ImageRange range;
  const std::uint32_t code = ReaderOf(DeviceImageReader(device))(path, imageBuffer, &range);
  *lowest = range.lowest;
  *highest = range.highest;
  return code;
}

bool LoadDeviceImage(DeviceIndex device, const std::string& path, std::uint8_t* imageBuffer,
                     ImageLoadReport& report, LoadedImage* image) {
  std::memset(imageBuffer, 0xFF, IMAGE_BUFFER_SIZE);
  if (!IsDeviceIndex(device)) {
    report.WriteLog(
        FormatText("Error loading file: Device %d not supported.\n", static_cast<int>(device)));
    return false;
  }
  LoadedImage loaded;
  std::uint32_t code = ReadDeviceImageFile(device, path, imageBuffer, &loaded.start, &loaded.end);
  if (code == 0) {
    ParseImageVersion(path, &loaded.version);
    loaded.size = loaded.end - loaded.start + 1;
    if (!FinishDeviceImage(device, imageBuffer, report, &loaded)) code = ERR_FILE_STRUCTURE;
  }
  if (code != 0) {
    report.LogFileError(path, code);
    report.ShowDeviceFailed(device);
    return false;
  }
  *image = loaded;
  return true;
}

}  // namespace tarvo
