// Small raw image files for all nine devices, named with variant and version as the image
// readers expect, for tests that build whole packets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/device_catalogue.h"
#include "platform/folders.h"
#include "support/temp_folder.h"

namespace tarvo::test {

// One Intel HEX record line.
inline std::string HexRecord(std::uint8_t type, std::uint16_t address,
                             const std::vector<std::uint8_t>& data) {
  static const char* digits = "0123456789ABCDEF";
  std::vector<std::uint8_t> fields = {static_cast<std::uint8_t>(data.size()),
                                      static_cast<std::uint8_t>(address >> 8),
                                      static_cast<std::uint8_t>(address & 0xFF), type};
  fields.insert(fields.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (std::uint8_t byte : fields) sum += byte;
  fields.push_back(static_cast<std::uint8_t>(-sum & 0xFF));
  std::string line = ":";
  for (std::uint8_t byte : fields) {
    line += digits[byte >> 4];
    line += digits[byte & 0xF];
  }
  return line + "\n";
}

inline std::vector<std::uint8_t> PatternBytes(std::size_t count, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(count);
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::uint8_t& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(state >> 16);
  }
  return bytes;
}

// A bitstream: a file header of its own, the synchronisation pattern, then data.
inline std::vector<std::uint8_t> Bitstream(std::size_t headerLength,
                                           const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> bytes(headerLength, 0x11);
  const std::uint8_t sync[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xAA, 0x99, 0x55, 0x66};
  bytes.insert(bytes.end(), std::begin(sync), std::end(sync));
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

// Writes one raw image file per device into the folder; returns the paths by device index.
inline std::vector<std::string> WriteRawImageFiles(const std::string& folder) {
  std::vector<std::string> paths(kDeviceCount);
  paths[DEVICE_BOOT_UP] = platform::JoinPath(folder, "BRENTA_1_V02_03.hex");
  std::string hex = HexRecord(0x04, 0, {0x00, 0x0C});
  for (std::uint16_t address = 0; address < 0x400; address += 16) {
    hex += HexRecord(0x00, address, PatternBytes(16, address));
  }
  hex += HexRecord(0x01, 0, {});
  WriteFileText(paths[DEVICE_BOOT_UP], hex);

  paths[DEVICE_BOOT_FPGA] = platform::JoinPath(folder, "TORU_1_V01_02.bit");
  std::vector<std::uint8_t> bootData(600, 0x00);
  const std::vector<std::uint8_t> bootTail = PatternBytes(901, 1);
  bootData.insert(bootData.end(), bootTail.begin(), bootTail.end());
  WriteFileBytes(paths[DEVICE_BOOT_FPGA], Bitstream(40, bootData));

  const char* fpgaNames[] = {"CALDO_1_V04_11.bit", "MIRVA1_1_V01_01.bit", "MIRVA2_2_V01_07.bit"};
  for (DeviceIndex device = DEVICE_MAIN_FPGA; device <= DEVICE_MEM_FPGA_2; ++device) {
    paths[device] = platform::JoinPath(folder, fpgaNames[device - DEVICE_MAIN_FPGA]);
    WriteFileBytes(paths[device], Bitstream(100 + device, PatternBytes(2000 + device, device)));
  }

  paths[DEVICE_MAIN_UP] = platform::JoinPath(folder, "FENRA_1_V03_04.mem");
  std::string mem = "// Main uP\n@0\n";
  for (int word = 0; word < 40; ++word) mem += "12 34 56 78\n";
  WriteFileText(paths[DEVICE_MAIN_UP], mem);

  paths[DEVICE_POWER_UP] = platform::JoinPath(folder, "GRISO_1_V01_05.rom");
  std::string rom;
  for (int word = 0; word < 0x200; ++word) {
    char line[32];
    std::snprintf(line, sizeof line, "%04X: %04X\n", word, (word * 7) & 0xFFFF);
    rom += line;
  }
  WriteFileText(paths[DEVICE_POWER_UP], rom);

  paths[DEVICE_HDSDI_FPGA] = platform::JoinPath(folder, "PELMA_10_V02_00.bit");
  WriteFileBytes(paths[DEVICE_HDSDI_FPGA], Bitstream(64, PatternBytes(1001, 7)));

  paths[DEVICE_COLOR_DATA] = platform::JoinPath(folder, "TARVOCOLORDATA_1_V01_00.cdt");
  WriteFileBytes(paths[DEVICE_COLOR_DATA], PatternBytes(301, 8));
  return paths;
}

}  // namespace tarvo::test
