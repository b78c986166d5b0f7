#include "log/camera_error_text.h"

#include <cstdio>
#include <cstring>

#include "log/result_codes.h"

namespace tarvo {

namespace {

struct DeviceName {
  std::uint32_t device;  // masked bits 16..23
  const char* name;
};

struct MessageTable {
  const char* const* texts;
  std::uint32_t size;
};

struct Layer {
  std::uint32_t layer;  // masked bits 12..15
  const char* name;
  const DeviceName* devices;
  std::uint32_t deviceCount;
  MessageTable errors;
  MessageTable warnings;
};

constexpr DeviceName kFirmwareDevices[] = {
    {0x010000, "QLM Power CPLD"},  {0x020000, "QLM Head uP"},    {0x030000, "QLM Main uP"},
    {0x040000, "QLM Firewire uP"}, {0x050000, "QLM Main FPGA"},  {0x060000, "QLM Head FPGA"},
    {0x070000, "QLM Main board"},  {0x080000, "QLM Head CPLD"},  {0x090000, "QLM Image sensor"},
    {0x0D0000, "QLM Power Unit"},  {0x0E0000, "QLM GigE board"}, {0x0F0000, "QLM GigE/USB board"},
    {0x100000, "BOOT FPGA"},       {0x110000, "BOOT uP"},
};

constexpr DeviceName kDriverDevices[] = {
    {0x0B0000, "orva.camera driver"}, {0x200000, "Lumetta driver"}, {0x210000, "Vistrel driver"},
    {0x300000, "Firewire driver"},    {0x310000, "USB 2.0 driver"}, {0x320000, "GigE driver"},
    {0x330000, "CameraLink driver"},  {0x340000, "USB 3.0 driver"}, {0x350000, "WLan driver"},
};

constexpr DeviceName kSdkDevices[] = {
    {0x0A0000, "camera sdk dll"},  {0x110000, "convert dll"},        {0x120000, "file dll"},
    {0x130000, "java native dll"}, {0x140000, "programmer library"},
};

constexpr DeviceName kApplicationDevices[] = {
    {0x100000, "Corvane"},
    {0x110000, "Programmer"},
};

// Common: 19 entries, indexed by code number.
constexpr const char* kCommonMessages[19] = {
    /* 0 */ "No error.",
    /* 1 */ "Function call with wrong parameter.",
    /* 2 */ "Handle is invalid.",
    /* 3 */ "No memory available.",
    /* 4 */ "A file handle could not be opened.",
    /* 5 */ "Timeout in function.",
    /* 6 */ "A buffer is to small.",
    /* 7 */ "The called module is not initialized.",
    /* 8 */ "Disk full.",
    /* 9 */ "",
    /* 10 */ "",
    /* 11 */ "",
    /* 12 */ "",
    /* 13 */ "",
    /* 14 */ "",
    /* 15 */ "",
    /* 16 */ "Validation of context failed",
    /* 17 */ "Wrong library version",
    /* 18 */ "Wrong camera version",
};

// Firmware errors: 162 entries, indexed by code number.
constexpr const char* kFirmwareErrors[162] = {
    /* 0 */ "No error.",
    /* 1 */ "Timeout in telegram.",
    /* 2 */ "Wrong checksum in telegram.",
    /* 3 */ "No acknowledge.",
    /* 4 */ "Wrong size in array.",
    /* 5 */ "Data is inkonsistent.",
    /* 6 */ "Unknown command telegram.",
    /* 7 */ "",
    /* 8 */ "FPGA init failed.",
    /* 9 */ "FPGA configuration failed.",
    /* 10 */ "High temperature.",
    /* 11 */ "Supply voltage out of range.",
    /* 12 */ "No response from I2C Device.",
    /* 13 */ "Checksum in code area is wrong.",
    /* 14 */ "An address is out of range.",
    /* 15 */ "No device is open for update.",
    /* 16 */ "The delivered buffer is to small.",
    /* 17 */ "To much data delivered to function.",
    /* 18 */ "Error while writing to camera.",
    /* 19 */ "Error while reading from camera.",
    /* 20 */ "Was not able to render graph.",
    /* 21 */ "The handle is not known.",
    /* 22 */ "Value is out of allowed range.",
    /* 23 */ "Desired function not possible.",
    /* 24 */ "SDRAM type read from SPD unknown.",
    /* 25 */ "Different SDRAM modules mounted.",
    /* 26 */ "For CMOS sensor two modules needed.",
    /* 27 */ "No SDRAM mounted.",
    /* 28 */ "Segment size is too large.",
    /* 29 */ "Segment is out of range.",
    /* 30 */ "Value is out of range.",
    /* 31 */ "Image read not possible.",
    /* 32 */ "Command/data not supported by this hardware.",
    /* 33 */ "Starting record failed due not armed.",
    /* 34 */ "Arm is not possible while record active.",
    /* 35 */ "",
    /* 36 */ "",
    /* 37 */ "Segment too small for image.",
    /* 38 */ "COC built is too large for internal memory.",
    /* 39 */ "COC has invalid data at fix position.",
    /* 40 */ "Correction data not valid.",
    /* 41 */ "CCD calibration not finished.",
    /* 42 */ "",
    /* 43 */ "",
    /* 44 */ "",
    /* 45 */ "",
    /* 46 */ "",
    /* 47 */ "",
    /* 48 */ "COC Trigger setting invalid.",
    /* 49 */ "COC PixelRate setting invalid.",
    /* 50 */ "COC Powerdown setting invalid.",
    /* 51 */ "COC Sensorformat setting invalid.",
    /* 52 */ "COC ROI to Binning setting invalid.",
    /* 53 */ "COC ROI to Double setting invalid.",
    /* 54 */ "COC Mode setting invalid.",
    /* 55 */ "COC Delay setting invalid.",
    /* 56 */ "COC Exposure setting invalid.",
    /* 57 */ "COC Timebase setting invalid.",
    /* 58 */ "",
    /* 59 */ "",
    /* 60 */ "",
    /* 61 */ "",
    /* 62 */ "",
    /* 63 */ "",
    /* 64 */ "COC modulate period time invalid.",
    /* 65 */ "COC modulate monitor time invalid",
    /* 66 */ "",
    /* 67 */ "",
    /* 68 */ "",
    /* 69 */ "",
    /* 70 */ "",
    /* 71 */ "",
    /* 72 */ "",
    /* 73 */ "",
    /* 74 */ "",
    /* 75 */ "",
    /* 76 */ "",
    /* 77 */ "",
    /* 78 */ "",
    /* 79 */ "",
    /* 80 */ "Attempt to open unknown device for update.",
    /* 81 */ "Attempt to open device not available.",
    /* 82 */ "This or other device is already open.",
    /* 83 */ "No device opened for update command.",
    /* 84 */ "Device to open does not respond.",
    /* 85 */ "Device to open is wrong device type.",
    /* 86 */ "Erasing device flash/firmware failed.",
    /* 87 */ "Device to program is not blank.",
    /* 88 */ "Device address is out of range.",
    /* 89 */ "Programming device flash/firmware failed.",
    /* 90 */ "Programming device EEPROM failed.",
    /* 91 */ "Reading device flash/firmware failed.",
    /* 92 */ "Reading device EEPROM failed.",
    /* 93 */ "",
    /* 94 */ "",
    /* 95 */ "",
    /* 96 */ "",
    /* 97 */ "",
    /* 98 */ "",
    /* 99 */ "",
    /* 100 */ "",
    /* 101 */ "",
    /* 102 */ "",
    /* 103 */ "",
    /* 104 */ "",
    /* 105 */ "",
    /* 106 */ "",
    /* 107 */ "",
    /* 108 */ "",
    /* 109 */ "",
    /* 110 */ "",
    /* 111 */ "",
    /* 112 */ "",
    /* 113 */ "",
    /* 114 */ "",
    /* 115 */ "",
    /* 116 */ "",
    /* 117 */ "",
    /* 118 */ "",
    /* 119 */ "",
    /* 120 */ "",
    /* 121 */ "",
    /* 122 */ "",
    /* 123 */ "",
    /* 124 */ "",
    /* 125 */ "",
    /* 126 */ "",
    /* 127 */ "",
    /* 128 */ "Command is invalid.",
    /* 129 */ "Camera UART not operational.",
    /* 130 */ "Access denied. Debugging? See orva_err.h!",
    /* 131 */ "Command unknown.",
    /* 132 */ "Command group unknown.",
    /* 133 */ "Invalid command parameters.",
    /* 134 */ "Internal error.",
    /* 135 */ "Interface blocked.",
    /* 136 */ "Invalid session.",
    /* 137 */ "Bad offset.",
    /* 138 */ "NV write in progress.",
    /* 139 */ "Download block lost.",
    /* 140 */ "Flash loader block invalid.",
    /* 141 */ "",
    /* 142 */ "",
    /* 143 */ "",
    /* 144 */ "Image packet lost.",
    /* 145 */ "GiGE Data bandwidth conflict.",
    /* 146 */ "",
    /* 147 */ "",
    /* 148 */ "",
    /* 149 */ "",
    /* 150 */ "",
    /* 151 */ "",
    /* 152 */ "",
    /* 153 */ "",
    /* 154 */ "",
    /* 155 */ "",
    /* 156 */ "",
    /* 157 */ "",
    /* 158 */ "",
    /* 159 */ "",
    /* 160 */ "External modulation frequency out of range.",
    /* 161 */ "Sync PLL not locked.",
};

// Firmware warnings: 5 entries, indexed by code number.
constexpr const char* kFirmwareWarnings[5] = {
    /* 0 */ "No error.",
    /* 1 */ "Function is already on.",
    /* 2 */ "Function is already off.",
    /* 3 */ "High temperature.",
    /* 4 */ "Offset regulation is not locked.",
};

// Driver errors: 51 entries, indexed by code number.
constexpr const char* kDriverErrors[51] = {
    /* 0 */ "No error.",
    /* 1 */ "Initialization failed; no camera connected.",
    /* 2 */ "",
    /* 3 */ "",
    /* 4 */ "",
    /* 5 */ "Wrong driver for this OS.",
    /* 6 */ "Open driver or driver class failed.",
    /* 7 */ "I/O operation failed.",
    /* 8 */ "Error in telegram checksum.",
    /* 9 */ "Invalid Camera mode.",
    /* 10 */ "",
    /* 11 */ "Device is hold by an other process.",
    /* 12 */ "Error in reading or writing data to board.",
    /* 13 */ "No function specified.",
    /* 14 */ "Kernel Memory allocation in driver failed.",
    /* 15 */ "",
    /* 16 */ "Buffer was cancelled.",
    /* 17 */ "Input buffer too small for this IO-call.",
    /* 18 */ "Output buffer too small for this IO-call.",
    /* 19 */ "Driver IO-Function not supported.",
    /* 20 */ "Buffer failed because device power off.",
    /* 21 */ "Device is disconnected or power off.",
    /* 22 */ "Necessary system resource not available.",
    /* 23 */ "Busreset occured during system call.",
    /* 24 */ "Image(s) lost in transfer",
    /* 25 */ "",
    /* 26 */ "",
    /* 27 */ "",
    /* 28 */ "",
    /* 29 */ "",
    /* 30 */ "",
    /* 31 */ "",
    /* 32 */ "A call to a windows-function fails.",
    /* 33 */ "",
    /* 34 */ "Error in reading/writing to registry.",
    /* 35 */ "Need newer called vxd or dll.",
    /* 36 */ "Error while reading from file.",
    /* 37 */ "Error while writing to file.",
    /* 38 */ "Camera and dll lut do not match.",
    /* 39 */ "Grabber does not support transfer format.",
    /* 40 */ "DMA Error not enough data transferred.",
    /* 41 */ "version verify failed wrong typ id.",
    /* 42 */ "version verify failed wrong size.",
    /* 43 */ "version verify failed wrong device id.",
    /* 44 */ "firmware is not supported from this driver.",
    /* 45 */ "board firmware verify failed.",
    /* 46 */ "camera head is not recognized correctly.",
    /* 47 */ "firmware does not support camera head.",
    /* 48 */ "camera head is not connected.",
    /* 49 */ "camera head power down.",
    /* 50 */ "camera started.camera busy.",
};

// Driver warnings: 1 entries, indexed by code number.
constexpr const char* kDriverWarnings[1] = {
    /* 0 */ "No error.",
};

// SDK library errors: 20 entries, indexed by code number.
constexpr const char* kSdkErrors[20] = {
    /* 0 */ "No error.",
    /* 1 */ "wSize of an embedded buffer is to small.",
    /* 2 */ "wSize of a buffer is to small.",
    /* 3 */ "A dialog is not available.",
    /* 4 */ "Option is not available.",
    /* 5 */ "A call to a windows-function fails.",
    /* 6 */ "Memory area is invalid.",
    /* 7 */ "",
    /* 8 */ "Number of available buffers is exhausted.",
    /* 9 */ "Dialog is already open.",
    /* 10 */ "Error while destroying dialog.",
    /* 11 */ "A requested buffer is not available.",
    /* 12 */ "The buffer nr is out of range.",
    /* 13 */ "A DLL could not be found.",
    /* 14 */ "Buffer already assigned to another buffernr.",
    /* 15 */ "Event already assigned to another buffernr.",
    /* 16 */ "Recording must be active.",
    /* 17 */ "A DLL could not be found, due to div by zero.",
    /* 18 */ "Buffer is already queued.",
    /* 19 */ "Buffer is not queued.",
};

// SDK library warnings: 5 entries, indexed by code number.
constexpr const char* kSdkWarnings[5] = {
    /* 0 */ "No error.",
    /* 1 */ "Buffers are still allocated",
    /* 2 */ "No Images are in the board buffer",
    /* 3 */ "value change when testing COC",
    /* 4 */ "string buffer to short for replacement",
};

// Application errors: 10 entries, indexed by code number.
constexpr const char* kApplicationErrors[10] = {
    /* 0 */ "No error.",
    /* 1 */ "Error while waiting for a picture.",
    /* 2 */ "Error while saving file.",
    /* 3 */ "A function inside a DLL could not be found.",
    /* 4 */ "A DLL could not be found.",
    /* 5 */ "The board number is out of range.",
    /* 6 */ "The decive does not support this function.",
    /* 7 */ "Started Math with different resolution than reference.",
    /* 8 */ "Disk full.",
    /* 9 */ "Error setting values to camera.",
};

// Application warnings: 2 entries, indexed by code number.
constexpr const char* kApplicationWarnings[2] = {
    /* 0 */ "No error.",
    /* 1 */ "Memory recorder buffer is full.",
};
template <std::uint32_t N>
constexpr MessageTable Table(const char* const (&texts)[N]) {
  return MessageTable{texts, N};
}

template <std::uint32_t N>
constexpr std::uint32_t Count(const DeviceName (&)[N]) {
  return N;
}

constexpr Layer kLayers[] = {
    {kErrorLayerFirmware, "Firmware", kFirmwareDevices, Count(kFirmwareDevices),
     Table(kFirmwareErrors), Table(kFirmwareWarnings)},
    {kErrorLayerDriver, "Driver", kDriverDevices, Count(kDriverDevices), Table(kDriverErrors),
     Table(kDriverWarnings)},
    {kErrorLayerSdk, "SDK DLL", kSdkDevices, Count(kSdkDevices), Table(kSdkErrors),
     Table(kSdkWarnings)},
    {kErrorLayerApplication, "Application", kApplicationDevices, Count(kApplicationDevices),
     Table(kApplicationErrors), Table(kApplicationWarnings)},
};

constexpr const char* kNoError = "No error.";
constexpr const char* kUndefinedLayer = "Undefined layer";
constexpr const char* kUnknownDevice = "Unknown device";
constexpr const char* kNoErrorText = "No error text available!";
constexpr const char* kOutOfRange = "Error code out of range.";

const Layer* FindLayer(std::uint32_t code) {
  for (const Layer& layer : kLayers) {
    if (layer.layer == (code & kErrorLayerMask)) return &layer;
  }
  return nullptr;
}

const char* DeviceNameOf(const Layer* layer, std::uint32_t code) {
  if (layer == nullptr) return kUnknownDevice;
  const std::uint32_t device = code & kErrorDeviceMask;
  for (std::uint32_t i = 0; i < layer->deviceCount; ++i) {
    if (layer->devices[i].device == device) return layer->devices[i].name;
  }
  return kUnknownDevice;
}

const char* MessageFrom(const MessageTable& table, std::uint32_t number) {
  return number < table.size ? table.texts[number] : kOutOfRange;
}

const char* MessageOf(const Layer* layer, std::uint32_t code) {
  const std::uint32_t number = code & kErrorNumberMask;
  if ((code & kErrorCommonFlag) != 0) return MessageFrom(Table(kCommonMessages), number);
  if (layer == nullptr) return kNoErrorText;
  return MessageFrom((code & kErrorWarningFlag) != 0 ? layer->warnings : layer->errors, number);
}

void CopyLimited(char* buffer, std::uint32_t length, const char* text) {
  if (length == 0) return;
  std::snprintf(buffer, length, "%s", text);
}

}  // namespace

void CameraErrorText(std::uint32_t code, char* buffer, std::uint32_t length) {
  if (code == 0 || (code & kErrorNumberMask) == 0) {
    CopyLimited(buffer, length, kNoError);
    return;
  }
  const Layer* layer = FindLayer(code);
  const char* layerName = layer != nullptr ? layer->name : kUndefinedLayer;
  const char* format = (code & kErrorWarningFlag) != 0 ? "%s warning %x at device '%s': %s"
                                                       : "%s error %x at device '%s': %s";
  char line[200];
  const int written = std::snprintf(line, sizeof line, format, layerName, code,
                                    DeviceNameOf(layer, code), MessageOf(layer, code));
  const std::size_t textLength = written < 0 ? 0 : std::strlen(line);
  if (length > textLength) {
    CopyLimited(buffer, length, line);
  } else {
    char tooShort[48];
    std::snprintf(tooShort, sizeof tooShort, "Error buffer too short. err: %x", code);
    CopyLimited(buffer, length, tooShort);
  }
}

std::string CameraErrorText(std::uint32_t code) {
  char buffer[kErrorTextBufferLength];
  CameraErrorText(code, buffer, sizeof buffer);
  return buffer;
}

}  // namespace tarvo
