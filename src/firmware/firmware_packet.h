// Firmware packet files (".tvf"): one image per device, each with its device index, start
// address and version, the programming order, and a 32-bit word sum over the whole file.
// CFirmwarePacket builds a packet in its build buffer, writes and checks files, loads a checked
// file into its load buffer and answers questions about the loaded packet. Every failure
// leaves a text in LastError(), which the caller shows.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "firmware/image_version.h"
#include "platform/atomic_file.h"
#include "platform/local_time.h"

namespace tarvo {

inline constexpr std::uint32_t PACKET_BUFFER_SIZE = 20000000;  // largest packet file
inline constexpr std::uint32_t PACKET_HEADER_SIZE = 6776;      // also the smallest packet file
inline constexpr std::uint32_t PACKET_CHECK_SUM = 0x87654322;  // sum of all words of a packet
inline constexpr std::uint32_t PACKET_MAX_ENTRIES = 32;
inline constexpr std::uint32_t PACKET_FORMAT_VERSION = 2;
inline constexpr std::uint32_t PACKET_ORDER_OFFSET = 6648;
inline constexpr std::uint32_t IMAGE_BUFFER_SIZE = 10000000;  // image and read-back buffers

// The programming order: 64 steps, read in this order of tests.
inline constexpr std::uint32_t PROGRAM_ORDER_STEPS = 64;
inline constexpr std::uint16_t ORDER_END = 0xFFFF;     // end of the list
inline constexpr std::uint16_t ORDER_REBOOT = 0x4000;  // reboot the camera and reconnect
inline constexpr std::uint16_t ORDER_WAIT = 0x2000;    // wait; seconds in the low 8 bits
using ProgramOrder = std::array<std::uint16_t, PROGRAM_ORDER_STEPS>;

// Whether an image of a device fits the image buffer at its device addresses. Programming the
// Boot FPGA raises an odd last block by one byte, so its image needs one byte more room.
bool ImageFitsImageBuffer(std::uint16_t deviceIndex, std::uint32_t start, std::uint32_t size);

// One entry of a loaded packet, as tools show it.
struct PacketEntryInfo {
  std::uint32_t dataOffset = 0;
  std::uint32_t size = 0;
  std::uint32_t startAddress = 0;
  std::uint16_t deviceIndex = 0;
  ImageVersion version;
};

// The fixed fields of a loaded packet's header, as tools show them.
struct PacketHeaderInfo {
  std::uint16_t headerSize = 0;
  std::uint16_t formatVersion = 0;
  std::string headerText;    // up to its terminating zero
  std::string creationText;  // up to its terminating zero
  std::uint16_t entryCount = 0;
  std::uint32_t fileLength = 0;
  std::uint32_t checkWord = 0;
};

class CFirmwarePacket {
 public:
  // Source of the local time that the creation text records.
  using TimeSource = platform::CalendarTime (*)();

  CFirmwarePacket();
  explicit CFirmwarePacket(TimeSource now);
  ~CFirmwarePacket();
  CFirmwarePacket(const CFirmwarePacket&) = delete;
  CFirmwarePacket& operator=(const CFirmwarePacket&) = delete;

  // Building: CreatePacket, AddImage..., SetOrder (optional), SealPacket, SavePacket.
  [[nodiscard]] bool CreatePacket();
  // Appends an image: reads size bytes from data and stores them padded with zero bytes to a
  // multiple of 4. At most 32 images.
  [[nodiscard]] bool AddImage(std::uint16_t deviceIndex, std::uint32_t startAddress,
                              std::uint32_t size, const std::uint8_t* data,
                              const ImageVersion& version);
  // Copies a programming order into the build buffer's header (all 64 codes).
  [[nodiscard]] bool SetOrder(const ProgramOrder& order);
  [[nodiscard]] bool SealPacket();
  // Writes the packet to a temporary file beside the path, checks it, and only then puts it in
  // place: a file that cannot be written whole or fails its check never appears, and an
  // existing file of that name stays as it was (kKeepExisting: is never replaced).
  [[nodiscard]] bool SavePacket(const std::string& path,
                                platform::ReplaceMode mode = platform::ReplaceMode::kReplace);

  // True when the file on disk is a valid packet.
  [[nodiscard]] bool CheckPacketFile(const std::string& path);
  // Checks the file, then reads it whole into the load buffer. A failed check, or an entry
  // whose image lies outside the file or does not fit the image buffer, leaves the packet
  // loaded before in place.
  [[nodiscard]] bool LoadPacket(const std::string& path);

  // Lookups in the loaded packet; the first entry for the device is taken.
  [[nodiscard]] bool FindImageVersion(std::uint16_t deviceIndex, ImageVersion* version);
  // Copies the device's image to destination + start address (destination holds
  // IMAGE_BUFFER_SIZE bytes); yields start, end (start + size - 1) and size.
  [[nodiscard]] bool GetImage(std::uint16_t deviceIndex, std::uint8_t* destination,
                              std::uint32_t* start, std::uint32_t* end, std::uint32_t* size);

  // The loaded packet's programming order (all 64 codes); false when nothing is loaded.
  [[nodiscard]] bool GetOrder(ProgramOrder* order) const;
  // The loaded packet's entries in stored order (empty when nothing is loaded).
  std::vector<PacketEntryInfo> LoadedEntries() const;
  bool IsLoaded() const;
  // The loaded packet's header fields; false when nothing is loaded.
  [[nodiscard]] bool GetHeader(PacketHeaderInfo* header) const;

  const std::string& LastError() const { return lastError_; }
  // Why the last failure happened where its fixed text does not say it: what the integrity
  // check found ("The length field says 6776 bytes, the file has 6780."), or the system's
  // reason why a file could not be opened, created or written. Empty otherwise.
  const std::string& LastErrorDetail() const { return lastErrorDetail_; }
  // The last-error text followed by its detail, as one message.
  std::string LastErrorWithDetail() const;

 private:
  struct Buffers;
  bool Fail(std::string text, std::string detail = std::string());
  bool FindEntry(std::uint16_t deviceIndex, std::uint32_t* entryOffset);
  std::string IntegrityProblem(std::FILE* file);
  [[nodiscard]] bool ReadCheckedFile(const std::string& path);

  std::unique_ptr<Buffers> buffers_;
  std::string lastError_;
  std::string lastErrorDetail_;
  TimeSource now_;
};

}  // namespace tarvo
