#include "firmware/firmware_packet.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "firmware/byte_order.h"
#include "firmware/device_catalogue.h"
#include "firmware/packet_layout.h"
#include "log/format_text.h"
#include "platform/system_error.h"

namespace tarvo {

namespace layout = packet_layout;

namespace {

constexpr const char* kNoBuildBuffer = "No buffer allocated for creating packet.";
constexpr const char* kNoLoadBuffer = "No buffer allocated for loading packet.";
constexpr const char* kIntegrityFailed = "Firmware packet file integrity check failed.";

std::unique_ptr<std::uint8_t[]> AllocatePacketBuffer() {
  return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[PACKET_BUFFER_SIZE]);
}

// Length of an open file, or -1.
long long OpenFileLength(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long length = std::ftell(file);
  if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
  return length;
}

std::string ZeroEndedText(const std::uint8_t* bytes, std::size_t room) {
  const auto* text = reinterpret_cast<const char*>(bytes);
  const void* zero = std::memchr(text, 0, room);
  return std::string(text, zero ? static_cast<const char*>(zero) - text : room);
}

// Why an entry of a packet cannot be used, or an empty text. The integrity check does not look
// at the entries; a file could otherwise make GetImage read beyond the file's data or write
// beyond the image buffer.
std::string EntryProblem(const std::uint8_t* header, std::uint32_t fileLength) {
  const std::uint32_t count =
      std::min<std::uint32_t>(ReadLe16(header + layout::kEntryCountOffset), PACKET_MAX_ENTRIES);
  for (std::uint32_t entry = 0; entry < count; ++entry) {
    const std::uint8_t* fields = header + layout::EntryOffset(entry);
    const std::uint32_t dataOffset = ReadLe32(fields + layout::kEntryDataOffset);
    const std::uint32_t size = ReadLe32(fields + layout::kEntryImageSize);
    const std::uint32_t start = ReadLe32(fields + layout::kEntryStartAddress);
    const std::uint16_t device = ReadLe16(fields + layout::kEntryDeviceIndex);
    if (std::uint64_t{dataOffset} + size > fileLength) {
      return FormatText("Packet entry %u (device %u) has data beyond the end of the file.", entry,
                        device);
    }
    if (!ImageFitsImageBuffer(device, start, size)) {
      return FormatText(
          "Packet entry %u (device %u) does not fit the image buffer: start %08x, size %u.", entry,
          device, start, size);
    }
  }
  return std::string();
}

}  // namespace

bool ImageFitsImageBuffer(std::uint16_t deviceIndex, std::uint32_t start, std::uint32_t size) {
  const std::uint64_t spare = deviceIndex == DEVICE_BOOT_FPGA ? 1 : 0;
  return std::uint64_t{start} + size + spare <= IMAGE_BUFFER_SIZE;
}

struct CFirmwarePacket::Buffers {
  std::unique_ptr<std::uint8_t[]> build;
  std::unique_ptr<std::uint8_t[]> load;
  std::uint32_t loadedLength = 0;  // 0: nothing loaded
  std::uint8_t header[PACKET_HEADER_SIZE] = {};
  std::uint8_t chunk[layout::kCheckChunkSize] = {};
  std::unique_ptr<char[]> streamBuffer;

  std::uint32_t BuildLength() const { return ReadLe32(build.get() + layout::kFileLengthOffset); }
  std::uint16_t BuildEntries() const { return ReadLe16(build.get() + layout::kEntryCountOffset); }
  char* StreamBuffer() {
    if (!streamBuffer) streamBuffer.reset(new (std::nothrow) char[layout::kCheckStreamBufferSize]);
    return streamBuffer.get();
  }
};

CFirmwarePacket::CFirmwarePacket() : CFirmwarePacket(&platform::LocalTimeNow) {}

CFirmwarePacket::CFirmwarePacket(TimeSource now)
    : buffers_(std::make_unique<Buffers>()), lastError_("No error."), now_(now) {}

CFirmwarePacket::~CFirmwarePacket() = default;

std::string CFirmwarePacket::LastErrorWithDetail() const {
  if (lastErrorDetail_.empty()) return lastError_;
  const bool sentence = lastErrorDetail_.back() == '.';
  return lastError_ + " " + lastErrorDetail_ + (sentence ? "" : ".");
}

bool CFirmwarePacket::Fail(std::string text, std::string detail) {
  lastError_ = std::move(text);
  lastErrorDetail_ = std::move(detail);
  return false;
}

bool CFirmwarePacket::CreatePacket() {
  if (!buffers_->build) {
    buffers_->build = AllocatePacketBuffer();
    if (!buffers_->build) return Fail("Allocating buffer for creating packet failed!.");
  }
  std::uint8_t* header = buffers_->build.get();
  std::memset(header, 0, PACKET_HEADER_SIZE);
  WriteLe16(header + layout::kHeaderSizeOffset, PACKET_HEADER_SIZE);
  WriteLe16(header + layout::kFormatVersionOffset, PACKET_FORMAT_VERSION);
  std::memcpy(header + layout::kMagicOffset, layout::kMagic, layout::kMagicLength);
  std::memcpy(header + layout::kHeaderTextOffset, layout::kHeaderText, sizeof layout::kHeaderText);
  WriteLe32(header + layout::kFileLengthOffset, PACKET_HEADER_SIZE);
  WriteLe16(header + layout::kEntryCountOffset, 0);
  return true;
}

bool CFirmwarePacket::AddImage(std::uint16_t deviceIndex, std::uint32_t startAddress,
                               std::uint32_t size, const std::uint8_t* data,
                               const ImageVersion& version) {
  if (!buffers_->build) return Fail(kNoBuildBuffer);
  const std::uint32_t length = buffers_->BuildLength();
  const std::uint32_t entries = buffers_->BuildEntries();
  const std::uint64_t padded = (std::uint64_t{size} + 3) & ~std::uint64_t{3};
  if (length + padded > PACKET_BUFFER_SIZE) return Fail("Buffer size not sufficient to add data.");
  // The header has room for 32 entries; a further image would overwrite the reserved bytes and
  // the programming order.
  if (entries >= PACKET_MAX_ENTRIES) {
    return Fail(FormatText("No room for more than %u images in the packet.", PACKET_MAX_ENTRIES));
  }
  std::uint8_t* build = buffers_->build.get();
  std::uint8_t* entry = build + layout::EntryOffset(entries);
  WriteLe32(entry + layout::kEntryDataOffset, length);
  WriteLe32(entry + layout::kEntryImageSize, size);
  WriteLe32(entry + layout::kEntryStartAddress, startAddress);
  WriteLe16(entry + layout::kEntryDeviceIndex, deviceIndex);
  ImageVersionToBytes(version, entry + layout::kEntryVersion);
  // Only the image's own bytes are read: an image that ends at the end of its buffer has no
  // bytes behind it. The padding is zero.
  if (size > 0) std::memcpy(build + length, data, size);
  std::memset(build + length + size, 0, padded - size);
  WriteLe32(build + layout::kFileLengthOffset, static_cast<std::uint32_t>(length + padded));
  WriteLe16(build + layout::kEntryCountOffset, entries + 1);
  return true;
}

bool CFirmwarePacket::SetOrder(const ProgramOrder& order) {
  if (!buffers_->build) return Fail(kNoBuildBuffer);
  for (std::uint32_t step = 0; step < PROGRAM_ORDER_STEPS; ++step) {
    WriteLe16(buffers_->build.get() + PACKET_ORDER_OFFSET + 2 * step, order[step]);
  }
  return true;
}

bool CFirmwarePacket::SealPacket() {
  if (!buffers_->build) return Fail(kNoBuildBuffer);
  std::uint8_t* build = buffers_->build.get();
  const platform::CalendarTime now = now_();
  const std::string created =
      FormatText(layout::kCreationTextFormat, now.day, now.month, now.year, now.hour, now.minute);
  std::memset(build + layout::kCreationTextOffset, 0, layout::kCreationTextLength);
  std::memcpy(build + layout::kCreationTextOffset, created.data(),
              std::min<std::size_t>(created.size(), layout::kCreationTextLength - 1));
  WriteLe32(build + layout::kCheckWordOffset, 0);
  const std::uint32_t sum = SumLe32Words(build, buffers_->BuildLength());
  WriteLe32(build + layout::kCheckWordOffset, PACKET_CHECK_SUM - sum);
  return true;
}

bool CFirmwarePacket::SavePacket(const std::string& path, platform::ReplaceMode mode) {
  if (!buffers_->build) return Fail(kNoBuildBuffer);
  platform::AtomicFile file(path);
  if (!file.Create())
    return Fail(FormatText("Creating file %s failed!.", path.c_str()), file.Error());
  if (!file.Write(buffers_->build.get(), buffers_->BuildLength()) || !file.Finish()) {
    return Fail(FormatText("Writing file %s failed!.", path.c_str()), file.Error());
  }
  // What was written is read back and checked before anyone can take it for a packet.
  if (!CheckPacketFile(file.TemporaryPath())) return false;
  if (!file.Commit(mode))
    return Fail(FormatText("Creating file %s failed!.", path.c_str()), file.Error());
  return true;
}

bool CFirmwarePacket::CheckPacketFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return Fail(FormatText("Open file %s failed!.", path.c_str()), platform::LastSystemErrorText());
  }
  if (char* streamBuffer = buffers_->StreamBuffer()) {
    std::setvbuf(file, streamBuffer, _IOFBF, layout::kCheckStreamBufferSize);
  }
  std::string problem = IntegrityProblem(file);
  std::fclose(file);
  if (!problem.empty()) return Fail(kIntegrityFailed, std::move(problem));
  return true;
}

// The integrity check's conditions in their order; the first that fails is told, with the
// values that break it. Empty when the file is a valid packet.
std::string CFirmwarePacket::IntegrityProblem(std::FILE* file) {
  const long long length = OpenFileLength(file);
  if (length < 0) return "Its length cannot be read: " + platform::LastSystemErrorText();
  if (length == 0) return "The file is empty.";
  if (length < PACKET_HEADER_SIZE) {
    return FormatText("The file has %lld bytes, fewer than the %u of a packet header.", length,
                      PACKET_HEADER_SIZE);
  }
  if (length % 4 != 0) {
    return FormatText("The file's length of %lld bytes is not a multiple of 4.", length);
  }
  std::uint8_t* header = buffers_->header;
  if (std::fread(header, 1, PACKET_HEADER_SIZE, file) != PACKET_HEADER_SIZE) {
    return "Reading the file failed: " + platform::LastSystemErrorText();
  }
  const std::uint16_t headerSize = ReadLe16(header + layout::kHeaderSizeOffset);
  if (headerSize < PACKET_HEADER_SIZE) {
    return FormatText("The header size field is %u, less than %u.", headerSize, PACKET_HEADER_SIZE);
  }
  if (std::memcmp(header + layout::kMagicOffset, layout::kMagic, layout::kMagicLength) != 0) {
    return FormatText("The file does not carry the packet mark \"%s\" at offset %u.",
                      layout::kMagic, layout::kMagicOffset);
  }
  if (std::memcmp(header + layout::kHeaderTextOffset, layout::kHeaderText,
                  sizeof layout::kHeaderText) != 0) {
    return FormatText("The header text is not \"%s\".", layout::kHeaderText);
  }
  const std::uint32_t lengthField = ReadLe32(header + layout::kFileLengthOffset);
  if (lengthField != static_cast<std::uint64_t>(length)) {
    return FormatText("The length field says %u bytes, the file has %lld.", lengthField, length);
  }
  std::uint32_t sum = SumLe32Words(header, PACKET_HEADER_SIZE);
  for (long long remaining = length - PACKET_HEADER_SIZE; remaining > 0;) {
    const std::size_t chunk =
        static_cast<std::size_t>(std::min<long long>(remaining, layout::kCheckChunkSize));
    if (std::fread(buffers_->chunk, 1, chunk, file) != chunk) {
      return "Reading the file failed: " + platform::LastSystemErrorText();
    }
    sum += SumLe32Words(buffers_->chunk, chunk);
    remaining -= static_cast<long long>(chunk);
  }
  if (sum != PACKET_CHECK_SUM) {
    return FormatText(
        "The words of the file add up to %08x instead of %08x: the content or the "
        "check word was changed.",
        sum, PACKET_CHECK_SUM);
  }
  return std::string();
}

bool CFirmwarePacket::LoadPacket(const std::string& path) {
  if (!buffers_->load) {
    buffers_->load = AllocatePacketBuffer();
    if (!buffers_->load) return Fail("Allocating buffer for loading packet failed!.");
  }
  if (!CheckPacketFile(path)) return false;
  return ReadCheckedFile(path);
}

// Reads a file that passed the check into the load buffer. Its entries are tested first, from
// the header read again, so that a file that cannot be used leaves the packet loaded before in
// place.
bool CFirmwarePacket::ReadCheckedFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return Fail(FormatText("Open file %s failed!.", path.c_str()), platform::LastSystemErrorText());
  }
  const long long length = OpenFileLength(file);
  if (length < PACKET_HEADER_SIZE || length > PACKET_BUFFER_SIZE) {
    std::fclose(file);
    // The file changed since its check.
    if (length < PACKET_HEADER_SIZE) return Fail(kIntegrityFailed, "The file became shorter.");
    return Fail(FormatText("File %s is longer than %u bytes.", path.c_str(), PACKET_BUFFER_SIZE));
  }
  const auto fileLength = static_cast<std::uint32_t>(length);
  std::uint8_t* header = buffers_->header;
  if (std::fread(header, 1, PACKET_HEADER_SIZE, file) != PACKET_HEADER_SIZE) {
    std::string reason = platform::LastSystemErrorText();
    std::fclose(file);
    return Fail(FormatText("Read from file %s failed!.", path.c_str()), std::move(reason));
  }
  std::string problem = EntryProblem(header, fileLength);
  if (!problem.empty()) {
    std::fclose(file);
    return Fail(std::move(problem));
  }
  std::uint8_t* load = buffers_->load.get();
  std::memcpy(load, header, PACKET_HEADER_SIZE);
  const std::size_t rest = fileLength - PACKET_HEADER_SIZE;
  const bool complete = std::fread(load + PACKET_HEADER_SIZE, 1, rest, file) == rest;
  std::string reason = complete ? std::string() : platform::LastSystemErrorText();
  std::fclose(file);
  if (!complete) {
    // The load buffer no longer holds the packet loaded before.
    buffers_->loadedLength = 0;
    return Fail(FormatText("Read from file %s failed!.", path.c_str()), std::move(reason));
  }
  buffers_->loadedLength = fileLength;
  return true;
}

bool CFirmwarePacket::FindEntry(std::uint16_t deviceIndex, std::uint32_t* entryOffset) {
  if (!buffers_->load || buffers_->loadedLength == 0) return Fail(kNoLoadBuffer);
  const std::uint8_t* load = buffers_->load.get();
  const std::uint32_t count = ReadLe16(load + layout::kEntryCountOffset);
  for (std::uint32_t entry = 0; entry < count && entry < PACKET_MAX_ENTRIES; ++entry) {
    if (ReadLe16(load + layout::EntryOffset(entry) + layout::kEntryDeviceIndex) == deviceIndex) {
      *entryOffset = layout::EntryOffset(entry);
      return true;
    }
  }
  return Fail(FormatText("Device %d not found", static_cast<int>(deviceIndex)));
}

bool CFirmwarePacket::FindImageVersion(std::uint16_t deviceIndex, ImageVersion* version) {
  std::uint32_t entry = 0;
  if (!FindEntry(deviceIndex, &entry)) return false;
  *version = ImageVersionFromBytes(buffers_->load.get() + entry + layout::kEntryVersion);
  return true;
}

bool CFirmwarePacket::GetImage(std::uint16_t deviceIndex, std::uint8_t* destination,
                               std::uint32_t* start, std::uint32_t* end, std::uint32_t* size) {
  std::uint32_t entry = 0;
  if (!FindEntry(deviceIndex, &entry)) return false;
  const std::uint8_t* fields = buffers_->load.get() + entry;
  const std::uint32_t dataOffset = ReadLe32(fields + layout::kEntryDataOffset);
  const std::uint32_t imageSize = ReadLe32(fields + layout::kEntryImageSize);
  const std::uint32_t imageStart = ReadLe32(fields + layout::kEntryStartAddress);
  // LoadPacket refuses such entries; tested again so that no copy can leave either buffer.
  if (std::uint64_t{dataOffset} + imageSize > buffers_->loadedLength ||
      !ImageFitsImageBuffer(deviceIndex, imageStart, imageSize)) {
    return Fail(FormatText("Image of device %d lies outside the packet or the image buffer.",
                           static_cast<int>(deviceIndex)));
  }
  std::memcpy(destination + imageStart, buffers_->load.get() + dataOffset, imageSize);
  *start = imageStart;
  *end = imageStart + imageSize - 1;
  *size = imageSize;
  return true;
}

bool CFirmwarePacket::GetOrder(ProgramOrder* order) const {
  if (!IsLoaded()) return false;
  for (std::uint32_t step = 0; step < PROGRAM_ORDER_STEPS; ++step) {
    (*order)[step] = ReadLe16(buffers_->load.get() + PACKET_ORDER_OFFSET + 2 * step);
  }
  return true;
}

std::vector<PacketEntryInfo> CFirmwarePacket::LoadedEntries() const {
  std::vector<PacketEntryInfo> entries;
  if (!IsLoaded()) return entries;
  const std::uint8_t* load = buffers_->load.get();
  const std::uint32_t count =
      std::min<std::uint32_t>(ReadLe16(load + layout::kEntryCountOffset), PACKET_MAX_ENTRIES);
  for (std::uint32_t entry = 0; entry < count; ++entry) {
    const std::uint8_t* fields = load + layout::EntryOffset(entry);
    PacketEntryInfo info;
    info.dataOffset = ReadLe32(fields + layout::kEntryDataOffset);
    info.size = ReadLe32(fields + layout::kEntryImageSize);
    info.startAddress = ReadLe32(fields + layout::kEntryStartAddress);
    info.deviceIndex = ReadLe16(fields + layout::kEntryDeviceIndex);
    info.version = ImageVersionFromBytes(fields + layout::kEntryVersion);
    entries.push_back(info);
  }
  return entries;
}

bool CFirmwarePacket::IsLoaded() const {
  return buffers_->load && buffers_->loadedLength != 0;
}

bool CFirmwarePacket::GetHeader(PacketHeaderInfo* header) const {
  if (!IsLoaded()) return false;
  const std::uint8_t* load = buffers_->load.get();
  header->headerSize = ReadLe16(load + layout::kHeaderSizeOffset);
  header->formatVersion = ReadLe16(load + layout::kFormatVersionOffset);
  header->headerText = ZeroEndedText(load + layout::kHeaderTextOffset, layout::kHeaderTextLength);
  header->creationText =
      ZeroEndedText(load + layout::kCreationTextOffset, layout::kCreationTextLength);
  header->entryCount = ReadLe16(load + layout::kEntryCountOffset);
  header->fileLength = ReadLe32(load + layout::kFileLengthOffset);
  header->checkWord = ReadLe32(load + layout::kCheckWordOffset);
  return true;
}

}  // namespace tarvo
