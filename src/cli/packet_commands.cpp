// packet show, check and extract: they read packet files and never write the log.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/command_output.h"
#include "cli/packet_commands.h"
#include "cli/packet_description.h"
#include "cli/terminal_report.h"
#include "firmware/firmware_packet.h"
#include "log/format_text.h"
#include "platform/folders.h"

namespace tarvo::cli {

namespace {

// A missing input file is bad input (status 2); a file that is there but fails is a failed
// operation (status 1).
bool LoadInputPacket(const std::string& path, CFirmwarePacket* packet, CommandOutput& out,
                     int* status) {
  if (!platform::PathExists(path)) {
    *status = out.Fail(kExitUsage, "file-missing", FormatText("No such file: %s", path.c_str()));
    return false;
  }
  if (!packet->LoadPacket(path)) {
    *status = out.Fail(kExitFailed, "packet-invalid", packet->LastError());
    return false;
  }
  return true;
}

class PacketShowCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("FILE", path_, "Packet file")->required();
  }

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["packet"] = nullptr;
    CFirmwarePacket packet;
    int status = kExitSuccess;
    if (!LoadInputPacket(path_, &packet, out, &status)) return status;
    const json::Json description =
        DescribePacket(packet, path_, InterfaceTypeNamed(global.interfaceName));
    out.Document()["packet"] = description;
    if (!global.json) std::fputs(PacketDescriptionText(description).c_str(), stdout);
    return kExitSuccess;
  }

 private:
  std::string path_;
};

class PacketCheckCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("FILE", path_, "Packet file")->required();
  }

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["packet"] = nullptr;
    if (!platform::PathExists(path_)) {
      return out.Fail(kExitUsage, "file-missing", FormatText("No such file: %s", path_.c_str()));
    }
    CFirmwarePacket packet;
    if (!packet.CheckPacketFile(path_)) {
      return out.Fail(kExitFailed, "packet-invalid", packet.LastError());
    }
    if (packet.LoadPacket(path_)) {
      out.Document()["packet"] =
          DescribePacket(packet, path_, InterfaceTypeNamed(global.interfaceName));
    }
    if (!global.json) std::printf("Packet file check passed: %s\n", path_.c_str());
    return kExitSuccess;
  }

 private:
  std::string path_;
};

class PacketExtractCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("FILE", path_, "Packet file")->required();
    command.add_option("--device", device_, "Device: index 0..8 or display name")->required();
    command.add_option("-o,--output", output_, "File to write the image's bytes to")->required();
  }

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["image"] = nullptr;
    const std::optional<DeviceIndex> device = ParseDevice(device_);
    if (!device) {
      return out.Fail(
          kExitUsage, "usage",
          FormatText("Bad device '%s': expected 0..8 or a device name.", device_.c_str()));
    }
    CFirmwarePacket packet;
    int status = kExitSuccess;
    if (!LoadInputPacket(path_, &packet, out, &status)) return status;
    std::vector<std::uint8_t> image(IMAGE_BUFFER_SIZE, 0xFF);
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t size = 0;
    if (!packet.GetImage(static_cast<std::uint16_t>(*device), image.data(), &start, &end, &size)) {
      return out.Fail(kExitFailed, "device-not-in-packet", packet.LastError());
    }
    if (!WriteImage(image.data() + start, size)) {
      return out.FailShown(kExitFailed, "write-failed",
                           FormatText("Writing file %s failed.", output_.c_str()));
    }
    out.Document()["image"] = {{"packet", path_}, {"device", json::Device(*device)},
                               {"start", start},  {"end", end},
                               {"size", size},    {"file", output_}};
    if (!global.json) {
      std::printf("%s: start %08x, end %08x, size %u bytes written to %s\n",
                  DeviceDisplayName(*device), start, end, size, output_.c_str());
    }
    return kExitSuccess;
  }

 private:
  bool WriteImage(const std::uint8_t* bytes, std::uint32_t size) {
    std::FILE* file = std::fopen(output_.c_str(), "wb");
    bool written = file != nullptr && std::fwrite(bytes, 1, size, file) == size;
    if (file != nullptr && std::fclose(file) != 0) written = false;
    if (!written) {
      PrintError(FormatText("Writing file %s failed.", output_.c_str()));
      if (file != nullptr) std::remove(output_.c_str());  // no partial image stays behind
    }
    return written;
  }

  std::string path_;
  std::string device_;
  std::string output_;
};

}  // namespace

std::unique_ptr<Command> MakePacketShowCommand() {
  return std::make_unique<PacketShowCommand>();
}
std::unique_ptr<Command> MakePacketCheckCommand() {
  return std::make_unique<PacketCheckCommand>();
}
std::unique_ptr<Command> MakePacketExtractCommand() {
  return std::make_unique<PacketExtractCommand>();
}

}  // namespace tarvo::cli
