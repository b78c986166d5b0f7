// Writes the seed corpus of every firmware fuzz target: small valid files of each format,
// each behind the selector byte that the targets take first.
// Usage: tarvo_make_fuzz_seeds FOLDER   (creates FOLDER/<target>/seed-N)
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "firmware/firmware_packet.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

std::string HexRecord(std::uint8_t type, std::uint16_t address, const Bytes& data) {
  Bytes fields = {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(address >> 8),
                  static_cast<std::uint8_t>(address), type};
  fields.insert(fields.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (std::uint8_t byte : fields) sum += byte;
  fields.push_back(static_cast<std::uint8_t>(-sum));
  std::string line = ":";
  char digits[3];
  for (std::uint8_t byte : fields) {
    std::snprintf(digits, sizeof digits, "%02X", byte);
    line += digits;
  }
  return line + "\n";
}

Bytes Bitstream(std::size_t header, const Bytes& data) {
  Bytes bytes(header, 0x20);
  const Bytes sync = {0xFF, 0xFF, 0xFF, 0xFF, 0xAA, 0x99, 0x55, 0x66};
  bytes.insert(bytes.end(), sync.begin(), sync.end());
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

Bytes WithSelector(std::uint8_t selector, Bytes bytes) {
  bytes.insert(bytes.begin(), selector);
  return bytes;
}

bool WriteSeeds(const std::string& folder, const std::string& target,
                const std::vector<Bytes>& seeds) {
  const std::string dir = folder + "/" + target;
  mkdir(dir.c_str(), 0755);
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    const std::string path = dir + "/seed-" + std::to_string(i);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fwrite(seeds[i].data(), 1, seeds[i].size(), file);
    std::fclose(file);
  }
  return true;
}

Bytes PacketSeed(const std::string& folder, int images) {
  tarvo::CFirmwarePacket packet;
  if (!packet.CreatePacket()) return {};
  for (int i = 0; i < images; ++i) {
    const Bytes data(static_cast<std::size_t>(13 + i * 7), static_cast<std::uint8_t>(0x30 + i));
    tarvo::ImageVersion version;
    version.variant = 1;
    version.major = static_cast<std::uint8_t>(i);
    if (!packet.AddImage(static_cast<std::uint16_t>(i), static_cast<std::uint32_t>(i * 0x100),
                         static_cast<std::uint32_t>(data.size()), data.data(), version)) {
      return {};
    }
  }
  tarvo::ProgramOrder order;
  order.fill(tarvo::ORDER_END);
  order[0] = 2;
  order[1] = tarvo::ORDER_REBOOT;
  order[2] = tarvo::ORDER_WAIT | 5;
  if (!packet.SetOrder(order) || !packet.SealPacket()) return {};
  const std::string path = folder + "/packet.tmp";
  if (!packet.SavePacket(path)) return {};
  Bytes bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
  }
  std::remove(path.c_str());
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  mkdir(folder.c_str(), 0755);
  const std::string hex = HexRecord(0x04, 0, {0x00, 0x0C}) + HexRecord(0x00, 0x0010, {1, 2, 3, 4}) +
                          HexRecord(0x02, 0, {0x10, 0x00}) + HexRecord(0x00, 0xD000, {9, 8}) +
                          HexRecord(0x01, 0, {});
  const Bytes data = {0x00, 0x00, 0x00, 0x07, 0x07, 0x07, 0x07, 0x07, 0x12, 0x34, 0x56};
  bool ok = true;
  ok &= WriteSeeds(folder, "fuzz_hex_reader",
                   {WithSelector(0, Text(hex)), WithSelector(1, Text(hex)),
                    WithSelector(1, Text("\r\n" + HexRecord(0x00, 0, {5}) + ":00000001FF"))});
  ok &= WriteSeeds(folder, "fuzz_rom_reader",
                   {WithSelector(0, Text("0: 1234\n1: ABCD\n1AE0: 5\n")),
                    WithSelector(0, Text("  10 : 0x20\r\n"))});
  ok &= WriteSeeds(
      folder, "fuzz_boot_bitstream_reader",
      {WithSelector(0, Bitstream(4, data)), WithSelector(0, Bitstream(40, Bytes(300, 0)))});
  ok &= WriteSeeds(folder, "fuzz_bitstream_reader",
                   {WithSelector(0, Bitstream(4, data)), WithSelector(6, Bitstream(9, data)),
                    WithSelector(2, Bitstream(1, Bytes(480, 0x5A)))});
  ok &= WriteSeeds(folder, "fuzz_mem_reader",
                   {WithSelector(0, Text("// c\n@10\n12 34 56 78 9a bc de f0\r\n1 2 3 4 \n"))});
  ok &= WriteSeeds(folder, "fuzz_color_table_reader",
                   {WithSelector(0, Bytes{1, 2, 3}), WithSelector(0, Bytes(64, 0x44))});
  ok &= WriteSeeds(
      folder, "fuzz_image_version_name",
      {Text("C:\\fw\\CALDO_1_V04_11.bit"), Text("/a_b/PELMA_10_v2_3.bit"), Text("X_5_W1_2")});
  ok &= WriteSeeds(folder, "fuzz_packet_load",
                   {WithSelector(0, PacketSeed(folder, 0)), WithSelector(0, PacketSeed(folder, 3)),
                    WithSelector(1, PacketSeed(folder, 9))});
  return ok ? 0 : 1;
}
