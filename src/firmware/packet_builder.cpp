#include "firmware/packet_builder.h"

#include <algorithm>
#include <cctype>

#include "firmware/device_image_loader.h"
#include "log/format_text.h"

namespace tarvo {

std::string EnsurePacketExtension(const std::string& path) {
  const std::size_t extensionLength = 4;
  if (path.size() > extensionLength) {
    std::string tail = path.substr(path.size() - extensionLength);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (tail == kPacketExtension) return path;
  }
  return path + kPacketExtension;
}

PacketBuildResult BuildPacketFile(const ProgramOrder& order,
                                  const std::vector<PacketImageSource>& images,
                                  const std::string& path, std::uint8_t* imageBuffer,
                                  ImageLoadReport& report, platform::ReplaceMode mode) {
  CFirmwarePacket packet;
  if (!packet.CreatePacket()) {
    report.ShowResult(false, packet.LastError());
    return PacketBuildResult::kPacketFailed;
  }
  for (const PacketImageSource& source : images) {
    LoadedImage image;
    if (!LoadDeviceImage(source.device, source.path, imageBuffer, report, &image)) {
      return PacketBuildResult::kImageFailed;
    }
    if (!packet.AddImage(static_cast<std::uint16_t>(source.device), image.start, image.size,
                         imageBuffer + image.start, image.version)) {
      report.ShowResult(false, packet.LastError());
      return PacketBuildResult::kPacketFailed;
    }
  }
  if (!packet.SetOrder(order) || !packet.SealPacket() || !packet.SavePacket(path, mode)) {
    report.WriteLog(packet.LastErrorWithDetail());
    report.ShowResult(false, "Creating packet file failed.");
    return PacketBuildResult::kPacketFailed;
  }
  return PacketBuildResult::kWritten;
}

}  // namespace tarvo
