// A packet file through check, load and every lookup. With the first input byte odd, the
// header's fixed fields, length and check word are made right, so that the entries and the
// rest of the loader are reached.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "firmware/byte_order.h"
#include "firmware/firmware_packet.h"
#include "firmware/packet_layout.h"

namespace {

void MakeHeaderValid(std::vector<std::uint8_t>* bytes) {
  namespace layout = tarvo::packet_layout;
  if (bytes->size() < tarvo::PACKET_HEADER_SIZE) bytes->resize(tarvo::PACKET_HEADER_SIZE, 0);
  bytes->resize((bytes->size() + 3) & ~std::size_t{3}, 0);
  std::uint8_t* header = bytes->data();
  tarvo::WriteLe16(header + layout::kHeaderSizeOffset, tarvo::PACKET_HEADER_SIZE);
  std::memcpy(header + layout::kMagicOffset, layout::kMagic, layout::kMagicLength);
  std::memcpy(header + layout::kHeaderTextOffset, layout::kHeaderText, sizeof layout::kHeaderText);
  tarvo::WriteLe32(header + layout::kFileLengthOffset, static_cast<std::uint32_t>(bytes->size()));
  tarvo::WriteLe32(header + layout::kCheckWordOffset, 0);
  const std::uint32_t sum = tarvo::SumLe32Words(header, bytes->size());
  tarvo::WriteLe32(header + layout::kCheckWordOffset, tarvo::PACKET_CHECK_SUM - sum);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static tarvo::CFirmwarePacket packet;
  static std::vector<std::uint8_t> destination(tarvo::IMAGE_BUFFER_SIZE);
  static const std::string path = "/tmp/tarvo-fuzz-packet-" + std::to_string(getpid()) + ".tvf";
  std::vector<std::uint8_t> bytes(data + 1, data + size);
  if (data[0] & 1) MakeHeaderValid(&bytes);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);

  if (packet.CheckPacketFile(path) && packet.LoadPacket(path)) {
    for (std::uint16_t device = 0; device < 10; ++device) {
      tarvo::ImageVersion version;
      std::uint32_t start = 0, end = 0, imageSize = 0;
      (void)packet.FindImageVersion(device, &version);
      (void)packet.GetImage(device, destination.data(), &start, &end, &imageSize);
    }
    tarvo::ProgramOrder order;
    (void)packet.GetOrder(&order);
    tarvo::PacketHeaderInfo header;
    (void)packet.GetHeader(&header);
    (void)packet.LoadedEntries();
  }
  std::remove(path.c_str());
  return 0;
}
