#include "sim/core/raw_image_files.h"

#include <cstdio>
#include <fstream>

#include "platform/folders.h"
#include "sim/core/factory_images.h"

namespace tarvo::sim {

namespace {

struct RawFormat {
  const char* prefix;
  const char* extension;
  std::uint32_t dataLength;  // bitstreams: configuration data after the sync pattern
};

// Sizes as the FPGA tools and the firmware build deliver them.
constexpr RawFormat kRawFormats[kDeviceCount] = {
    {"BRENTA", "hex", 0},         {"TORU", "bit", 340000},   {"CALDO", "bit", 1484000},
    {"MIRVA1", "bit", 812000},    {"MIRVA2", "bit", 812000}, {"FENRA", "mem", 196608},
    {"GRISO", "rom", 0x35C0 / 2}, {"PELMA", "bit", 589000},  {"TARVOCOLORDATA", "cdt", 0},
};

using Bytes = std::vector<std::uint8_t>;

void AppendText(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

std::string Hex2(unsigned value) {
  char text[3];
  std::snprintf(text, sizeof(text), "%02X", value & 0xFF);
  return text;
}

// One Intel HEX record with its checksum.
void AppendHexRecord(Bytes& out, std::uint8_t type, std::uint16_t address, const std::uint8_t* data,
                     std::size_t length) {
  char line[16 + 2 * 256];
  int used = std::snprintf(line, sizeof(line), ":%02X%04X%02X", static_cast<unsigned>(length),
                           static_cast<unsigned>(address), static_cast<unsigned>(type));
  unsigned sum = static_cast<unsigned>(length) + (address >> 8) + (address & 0xFF) + type;
  for (std::size_t i = 0; i < length; ++i) {
    used += std::snprintf(line + used, sizeof(line) - static_cast<std::size_t>(used), "%02X",
                          static_cast<unsigned>(data[i]));
    sum += data[i];
  }
  std::snprintf(line + used, sizeof(line) - static_cast<std::size_t>(used), "%02X\n",
                (0x100 - (sum & 0xFF)) & 0xFF);
  AppendText(out, line);
}

void AppendHexData(Bytes& out, std::uint32_t base, std::uint32_t from, const Bytes& data) {
  for (std::size_t offset = 0; offset < data.size(); offset += 16) {
    std::size_t length = std::min<std::size_t>(16, data.size() - offset);
    AppendHexRecord(out, 0x00, static_cast<std::uint16_t>(from + offset - base), &data[offset],
                    length);
  }
}

// Boot uP: the boot loader at 0xC0000 (addressed through an extended segment record) and the
// application from 0xD0100 (through an extended linear record); the application info block in
// front of it is added when the packet is made.
Bytes HexFile(const RawImageRequest& request) {
  Bytes out;
  Bytes loader(0x8000);
  FillSynthetic(loader.data(), loader.size(), 0x5100 + request.major);
  Bytes application(0x7F00);
  FillSynthetic(application.data(), application.size(), 0x5200 + request.minor);
  std::uint8_t segment[2] = {0xC0, 0x00};  // 0xC000 x 16 = 0xC0000
  AppendHexRecord(out, 0x02, 0, segment, 2);
  AppendHexData(out, 0xC0000, 0xC0000, loader);
  std::uint8_t linear[2] = {0x00, 0x0D};  // 0x000D x 65536 = 0xD0000
  AppendHexRecord(out, 0x04, 0, linear, 2);
  AppendHexData(out, 0xD0000, 0xD0100, application);
  AppendHexRecord(out, 0x01, 0, nullptr, 0);
  return out;
}

// An FPGA bitstream file: a header of named fields and dummy words, then the configuration data
// from the synchronisation pattern on.
Bytes BitstreamFile(DeviceIndex index, const RawImageRequest& request, std::uint16_t variant) {
  const RawFormat& format = kRawFormats[index];
  Bytes out;
  char fields[200];
  std::snprintf(fields, sizeof(fields),
                "design=%s_%u;device=tarvo-fpga-%u;build=V%02u.%02u;date=2026/01/15;time=10:30:00",
                format.prefix, variant, index, request.major, request.minor);
  std::string text(fields);
  out.push_back(static_cast<std::uint8_t>(text.size() >> 8));
  out.push_back(static_cast<std::uint8_t>(text.size()));
  AppendText(out, text);
  out.push_back(0);
  for (int i = 0; i < 32; ++i) out.push_back(0xFF);  // dummy words before synchronisation
  out.insert(out.end(), std::begin(kSyncPattern), std::end(kSyncPattern));
  Bytes data(format.dataLength - sizeof(kSyncPattern));
  FillSynthetic(data.data(), data.size(), 0x6000 + index * 64 + request.minor);
  // Configuration frames of unused logic are zero; the boot FPGA's image is mostly such frames.
  std::size_t frame = index == DEVICE_BOOT_FPGA ? 404 : 4040;
  std::size_t used = index == DEVICE_BOOT_FPGA ? 70 : 2900;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i % frame >= used) data[i] = 0;
  }
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// Main uP memory image: comment lines, an address line, then groups of four bytes, most
// significant first, eight groups a line.
Bytes MemFile(const RawImageRequest& request) {
  Bytes words(kRawFormats[DEVICE_MAIN_UP].dataLength);
  FillSynthetic(words.data(), words.size(), 0x7000 + request.minor);
  Bytes out;
  AppendText(out, "// FENRA main microcontroller memory image\n// build V" +
                      std::to_string(request.major) + "." + std::to_string(request.minor) + "\n");
  AppendText(out, "@00000000\n");
  std::string line;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i % 4 == 0 && i % 32 != 0)
      line += "  ";
    else if (i % 4 != 0)
      line += " ";
    line += Hex2(words[i]);
    if (i % 32 == 31 || i + 1 == words.size()) {
      AppendText(out, line + "\n");
      line.clear();
    }
  }
  return out;
}

// Power uP: one 16-bit word per line as "address: value"; the info block above 0x35C0 bytes is
// added when the packet is made.
Bytes RomFile(const RawImageRequest& request) {
  std::uint32_t wordCount = kRawFormats[DEVICE_POWER_UP].dataLength;
  Bytes data(wordCount * 2);
  FillSynthetic(data.data(), data.size(), 0x8000 + request.minor);
  Bytes out;
  char line[32];
  for (std::uint32_t word = 0; word < wordCount; ++word) {
    std::snprintf(line, sizeof(line), "%04X: %04X\n", word,
                  static_cast<unsigned>(data[2 * word] | (data[2 * word + 1] << 8)));
    AppendText(out, line);
  }
  return out;
}

// Colour table: three channels of 4096 16-bit little-endian entries.
Bytes ColorTableFile(const RawImageRequest& request) {
  Bytes out;
  for (unsigned channel = 0; channel < 3; ++channel) {
    for (unsigned i = 0; i < 4096; ++i) {
      unsigned value = (i * 16 + channel * 3 + request.minor) & 0xFFFF;
      out.push_back(static_cast<std::uint8_t>(value));
      out.push_back(static_cast<std::uint8_t>(value >> 8));
    }
  }
  return out;
}

}  // namespace

std::string RawImageFileName(DeviceIndex index, const RawImageRequest& request) {
  const RawFormat& format = kRawFormats[index];
  unsigned variant = index == DEVICE_HDSDI_FPGA ? request.hdsdiVariant : request.variant;
  char name[64];
  std::snprintf(name, sizeof(name), "%s_%u_V%02u_%02u.%s", format.prefix, variant, request.major,
                request.minor, format.extension);
  return name;
}

std::vector<std::uint8_t> BuildRawImageFile(DeviceIndex index, const RawImageRequest& request) {
  switch (index) {
    case DEVICE_BOOT_UP:
      return HexFile(request);
    case DEVICE_MAIN_UP:
      return MemFile(request);
    case DEVICE_POWER_UP:
      return RomFile(request);
    case DEVICE_COLOR_DATA:
      return ColorTableFile(request);
    case DEVICE_HDSDI_FPGA:
      return BitstreamFile(index, request, request.hdsdiVariant);
    default:
      return BitstreamFile(index, request, request.variant);
  }
}

bool WriteRawImageFiles(const std::string& folder, const RawImageRequest& request,
                        std::vector<std::string>* written, std::string* error) {
  if (!platform::CreateFolders(folder)) {
    *error = "cannot create " + folder;
    return false;
  }
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    std::string path = platform::JoinPath(folder, RawImageFileName(index, request));
    std::vector<std::uint8_t> bytes = BuildRawImageFile(index, request);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      *error = "cannot write " + path;
      return false;
    }
    written->push_back(path);
  }
  return true;
}

}  // namespace tarvo::sim
