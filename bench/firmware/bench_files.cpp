#include "bench_files.h"

#include <cstdio>

#include "firmware/firmware_packet.h"

namespace tarvo::bench {

namespace {

std::uint32_t NextRandom(std::uint32_t* state) {
  *state = *state * 1103515245u + 12345u;
  return *state >> 8;
}

void AppendHexRecord(std::string* out, std::uint8_t type, std::uint16_t address,
                     const std::uint8_t* data, std::size_t count) {
  static const char* digits = "0123456789ABCDEF";
  unsigned sum = static_cast<unsigned>(count + (address >> 8) + (address & 0xFF) + type);
  auto put = [out](std::uint8_t byte) {
    out->push_back(digits[byte >> 4]);
    out->push_back(digits[byte & 0xF]);
  };
  out->push_back(':');
  put(static_cast<std::uint8_t>(count));
  put(static_cast<std::uint8_t>(address >> 8));
  put(static_cast<std::uint8_t>(address & 0xFF));
  put(type);
  for (std::size_t i = 0; i < count; ++i) {
    put(data[i]);
    sum += data[i];
  }
  put(static_cast<std::uint8_t>(-sum & 0xFF));
  out->push_back('\n');
}

}  // namespace

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool WriteHexFile(const std::string& path, std::size_t dataBytes) {
  std::string text;
  text.reserve(dataBytes * 3);
  std::uint32_t state = 7;
  std::uint8_t data[32];
  std::size_t written = 0;
  // Segment region: base 0x10000 through an 02 record, 16-byte records.
  const std::uint8_t segment[2] = {0x10, 0x00};
  AppendHexRecord(&text, 0x02, 0, segment, 2);
  for (std::uint32_t address = 0; address < 0x8000 && written < dataBytes; address += 16) {
    for (std::uint8_t& byte : data) byte = static_cast<std::uint8_t>(NextRandom(&state));
    AppendHexRecord(&text, 0x00, static_cast<std::uint16_t>(address), data, 16);
    written += 16;
  }
  const std::uint8_t zero[2] = {0, 0};
  AppendHexRecord(&text, 0x02, 0, zero, 2);
  // Linear regions of 64 KiB from 0x20000 on; every fourth region takes 32-byte records, and
  // every 4 KiB leaves a gap of 256 bytes.
  for (std::uint32_t region = 2; written < dataBytes; ++region) {
    const std::uint8_t upper[2] = {static_cast<std::uint8_t>(region >> 8),
                                   static_cast<std::uint8_t>(region & 0xFF)};
    AppendHexRecord(&text, 0x04, 0, upper, 2);
    const std::size_t recordSize = region % 4 == 0 ? 32 : 16;
    for (std::uint32_t address = 0; address < 0x10000 && written < dataBytes;
         address += static_cast<std::uint32_t>(recordSize)) {
      if (address % 0x1000 == 0x0F00) {
        address += 0x100 - static_cast<std::uint32_t>(recordSize);
        continue;
      }
      for (std::size_t i = 0; i < recordSize; ++i) {
        data[i] = static_cast<std::uint8_t>(NextRandom(&state));
      }
      AppendHexRecord(&text, 0x00, static_cast<std::uint16_t>(address), data, recordSize);
      written += recordSize;
    }
  }
  AppendHexRecord(&text, 0x01, 0, nullptr, 0);
  return WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> MakeBitstream(std::size_t dataBytes) {
  std::vector<std::uint8_t> bytes(100, 0x20);
  const std::uint8_t sync[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xAA, 0x99, 0x55, 0x66};
  bytes.insert(bytes.end(), std::begin(sync), std::end(sync));
  std::uint32_t state = 11;
  while (bytes.size() < dataBytes + 108) {
    const std::size_t zeros = 16 + NextRandom(&state) % 200;
    bytes.insert(bytes.end(), zeros, 0x00);
    const std::size_t stretch = 16 + NextRandom(&state) % 400;
    for (std::size_t i = 0; i < stretch; ++i) {
      bytes.push_back(static_cast<std::uint8_t>(NextRandom(&state)));
    }
  }
  bytes.resize(dataBytes + 108);
  return bytes;
}

bool WritePacketFile(const std::string& path, std::size_t totalBytes) {
  CFirmwarePacket packet;
  if (!packet.CreatePacket()) return false;
  std::vector<std::uint8_t> image(IMAGE_BUFFER_SIZE);
  std::uint32_t state = 3;
  for (std::uint8_t& byte : image) byte = static_cast<std::uint8_t>(NextRandom(&state));
  std::size_t remaining = totalBytes - PACKET_HEADER_SIZE;
  for (std::uint16_t device = 0; remaining > 0; ++device) {
    const std::size_t size = remaining < IMAGE_BUFFER_SIZE ? remaining : IMAGE_BUFFER_SIZE - 4;
    if (!packet.AddImage(device, 0, static_cast<std::uint32_t>(size), image.data(), {})) {
      return false;
    }
    remaining -= (size + 3) & ~std::size_t{3};
  }
  return packet.SealPacket() && packet.SavePacket(path);
}

std::vector<std::string> WriteFirmwareFiles(const std::string& folder) {
  std::vector<std::string> images;
  auto add = [&](int device, const std::string& name) {
    images.push_back(std::to_string(device) + "=" + folder + "/" + name);
    return folder + "/" + name;
  };
  std::uint32_t state = 5;
  WriteHexFile(add(0, "BRENTA_1_V02_03.hex"), 0x30000);
  WriteBytes(add(1, "TORU_1_V01_02.bit"), MakeBitstream(300000));
  WriteBytes(add(2, "CALDO_1_V04_11.bit"), MakeBitstream(8000000));
  WriteBytes(add(3, "MIRVA1_1_V01_01.bit"), MakeBitstream(2000000));
  WriteBytes(add(4, "MIRVA2_1_V01_01.bit"), MakeBitstream(2000000));
  std::string mem = "// Main uP\n@0\n";
  char line[64];
  for (int word = 0; word < 65536; ++word) {
    const std::uint32_t value = NextRandom(&state);
    std::snprintf(line, sizeof line, "%02X %02X %02X %02X\n", value & 0xFF, (value >> 8) & 0xFF,
                  (value >> 16) & 0xFF, (value >> 24) & 0xFF);
    mem += line;
  }
  WriteBytes(add(5, "FENRA_1_V03_04.mem"), std::vector<std::uint8_t>(mem.begin(), mem.end()));
  std::string rom;
  for (int word = 0; word < 0x1B00; ++word) {
    std::snprintf(line, sizeof line, "%04X: %04X\n", word, NextRandom(&state) & 0xFFFF);
    rom += line;
  }
  WriteBytes(add(6, "GRISO_1_V01_05.rom"), std::vector<std::uint8_t>(rom.begin(), rom.end()));
  WriteBytes(add(7, "PELMA_10_V02_00.bit"), MakeBitstream(3000000));
  std::vector<std::uint8_t> colors(600000);
  for (std::uint8_t& byte : colors) byte = static_cast<std::uint8_t>(NextRandom(&state));
  WriteBytes(add(8, "TARVOCOLORDATA_1_V01_00.cdt"), colors);
  return images;
}

}  // namespace tarvo::bench
