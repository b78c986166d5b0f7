#include "firmware/device_catalogue.h"

#include "log/format_text.h"

namespace tarvo {

const DeviceEntry kDeviceCatalogue[kDeviceCount] = {
    {"Boot uP", "Boot uP", "Hex Files (*.hex)|BRENTA_*.hex|All Files (*.*)|*.*||",
     ImageReaderKind::kHex, 0x4003},
    {"Boot FPGA", "Boot FPGA", "Bit Files (*.bit)|TORU_*.bit|All Files (*.*)|*.*||",
     ImageReaderKind::kBootBitstream, 0x4103},
    {"Main FPGA", "Main FPGA", "Bit Files (*.bit)|CALDO_*.bit|All Files (*.*)|*.*||",
     ImageReaderKind::kBitstream, 0x4203},
    {"Mem FPGA 1", "Mem FPGA 1", "Bit Files (*.bit)|MIRVA1_*.bit|All Files (*.*)|*.*||",
     ImageReaderKind::kBitstream, 0x4303},
    {"Mem FPGA 2", "Mem FPGA 2", "Bit Files (*.bit)|MIRVA2_*.bit|All Files (*.*)|*.*||",
     ImageReaderKind::kBitstream, 0x4403},
    {"Main uP", "Main uP", "MEM Files (*.mem)|FENRA_*.mem|All Files (*.*)|*.*||",
     ImageReaderKind::kMemImage, 0x4503},
    // Power uP and HDSDI FPGA are not in index order: 0x4803 and 0x4703.
    {"Power uP", "Power uP", "ROM Files (*.rom)|GRISO_*.rom|All Files (*.*)|*.*||",
     ImageReaderKind::kRomImage, 0x4803},
    {"HDSDI FPGA", "HDSDI FPGA", "Bit Files (*.bit)|PELMA_*.bit|All Files (*.*)|*.*||",
     ImageReaderKind::kBitstream, 0x4703},
    {"Color Data", "Colordata", "Color Table (*.cdt)|TARVOCOLORDATA_*.cdt|All Files (*.*)|*.*||",
     ImageReaderKind::kColorTable, 0x4B03},
};

const CameraDeviceName kCameraDeviceNames[kDeviceCount] = {
    {"Boot uP", DEVICE_BOOT_UP},      {"Boot FPGA", DEVICE_BOOT_FPGA},
    {"Main FPGA", DEVICE_MAIN_FPGA},  {"S1 FPGA", DEVICE_MEM_FPGA_1},
    {"S2 FPGA", DEVICE_MEM_FPGA_2},   {"Main uP", DEVICE_MAIN_UP},
    {"Power uP", DEVICE_POWER_UP},    {"HDSDI", DEVICE_HDSDI_FPGA},
    {"Colordata", DEVICE_COLOR_DATA},
};

const char* DeviceDisplayName(DeviceIndex index) {
  return kDeviceCatalogue[index].displayName;
}
const char* DeviceListName(DeviceIndex index) {
  return kDeviceCatalogue[index].listName;
}
std::string DeviceNames(const std::vector<DeviceIndex>& devices) {
  std::vector<std::string> names;
  for (DeviceIndex device : devices) names.emplace_back(DeviceDisplayName(device));
  return JoinTexts(names, ", ");
}

const char* DeviceImageFilter(DeviceIndex index) {
  return kDeviceCatalogue[index].imageFilter;
}
ImageReaderKind DeviceImageReader(DeviceIndex index) {
  return kDeviceCatalogue[index].reader;
}
std::uint16_t DeviceSelectCode(DeviceIndex index) {
  return kDeviceCatalogue[index].selectCode;
}

std::optional<DeviceIndex> DeviceIndexFromListName(std::string_view listName) {
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    if (listName == kDeviceCatalogue[index].listName) return index;
  }
  return std::nullopt;
}

std::optional<DeviceIndex> DeviceIndexFromCameraName(std::string_view reportedName) {
  std::optional<DeviceIndex> match;
  for (const CameraDeviceName& name : kCameraDeviceNames) {
    if (reportedName.find(name.text) != std::string_view::npos) match = name.index;
  }
  return match;
}

}  // namespace tarvo
