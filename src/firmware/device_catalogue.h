// The camera's nine programmable devices. Every part of the program names a device by its
// index 0..8 and looks everything else up here. Values of 9 and above are never devices;
// callers test the range before any lookup.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

using DeviceIndex = unsigned;

inline constexpr DeviceIndex DEVICE_BOOT_UP = 0;
inline constexpr DeviceIndex DEVICE_BOOT_FPGA = 1;
inline constexpr DeviceIndex DEVICE_MAIN_FPGA = 2;
inline constexpr DeviceIndex DEVICE_MEM_FPGA_1 = 3;
inline constexpr DeviceIndex DEVICE_MEM_FPGA_2 = 4;
inline constexpr DeviceIndex DEVICE_MAIN_UP = 5;
inline constexpr DeviceIndex DEVICE_POWER_UP = 6;
inline constexpr DeviceIndex DEVICE_HDSDI_FPGA = 7;
inline constexpr DeviceIndex DEVICE_COLOR_DATA = 8;
inline constexpr DeviceIndex kDeviceCount = 9;

inline constexpr bool IsDeviceIndex(unsigned value) {
  return value < kDeviceCount;
}

// The reader that turns a device's raw image file into its image.
enum class ImageReaderKind { kHex, kBootBitstream, kBitstream, kMemImage, kRomImage, kColorTable };

struct DeviceEntry {
  const char* displayName;  // log, status lines, message boxes, version listing
  const char* listName;     // programming order dialog; differs only for Color Data
  const char* imageFilter;  // file dialog filter for the device's raw image file
  ImageReaderKind reader;
  std::uint16_t selectCode;  // SelectDevice command code
};

extern const DeviceEntry kDeviceCatalogue[kDeviceCount];

const char* DeviceDisplayName(DeviceIndex index);
const char* DeviceListName(DeviceIndex index);
// The devices' display names, separated by commas: "Main FPGA, Power uP".
std::string DeviceNames(const std::vector<DeviceIndex>& devices);
const char* DeviceImageFilter(DeviceIndex index);
ImageReaderKind DeviceImageReader(DeviceIndex index);
std::uint16_t DeviceSelectCode(DeviceIndex index);

// The device whose list name is exactly this text (case-sensitive, whole text).
std::optional<DeviceIndex> DeviceIndexFromListName(std::string_view listName);

// Window rows: control id = base + device index.
inline constexpr int kCheckBoxBaseId = 1100;
inline constexpr int kProgressBarBaseId = 1120;
inline constexpr int kPacketVersionLabelBaseId = 1140;
inline constexpr int kCameraVersionLabelBaseId = 1160;
inline constexpr int DeviceCheckBoxId(DeviceIndex index) {
  return kCheckBoxBaseId + static_cast<int>(index);
}
inline constexpr int DeviceProgressBarId(DeviceIndex index) {
  return kProgressBarBaseId + static_cast<int>(index);
}
inline constexpr int DevicePacketVersionLabelId(DeviceIndex index) {
  return kPacketVersionLabelBaseId + static_cast<int>(index);
}
inline constexpr int DeviceCameraVersionLabelId(DeviceIndex index) {
  return kCameraVersionLabelBaseId + static_cast<int>(index);
}

// Filter of the packet file dialogs.
inline constexpr const char* kPacketFileFilter =
    "orva.tarvo firmware packets (*.tvf)|*.tvf|All Files (*.*)|*.*||";

// The newer HD-SDI board revision is selected with this code instead of the catalogue's.
inline constexpr std::uint16_t kHdsdiNewerBoardSelectCode = 0x4A03;

// The device a camera-reported entry name belongs to: the name matches a text when it contains
// it anywhere; when several match, the last text of the table wins.
struct CameraDeviceName {
  const char* text;
  DeviceIndex index;
};
extern const CameraDeviceName kCameraDeviceNames[kDeviceCount];
std::optional<DeviceIndex> DeviceIndexFromCameraName(std::string_view reportedName);

}  // namespace tarvo
