// packet show, check and extract: they read packet files and never write the log.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/command_output.h"
#include "cli/output_file.h"
#include "cli/packet_commands.h"
#include "cli/packet_description.h"
#include "cli/terminal_report.h"
#include "firmware/firmware_packet.h"
#include "log/format_text.h"
#include "platform/folders.h"

namespace tarvo::cli {

namespace {

// Everything loading checks: the integrity check, the length limit and the entries. A missing
// input file fails the command (status 1) as an unusable one does.
bool LoadInputPacket(const std::string& path, CFirmwarePacket* packet, CommandOutput& out) {
  if (!platform::PathExists(path)) {
    out.Fail(kExitFailed, "file-missing", FormatText("No such file: %s", path.c_str()));
    return false;
  }
  if (!packet->LoadPacket(path)) {
    out.Fail(kExitFailed, "packet-invalid", packet->LastErrorWithDetail());
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
    if (!LoadInputPacket(path_, &packet, out)) return kExitFailed;
    const json::Json description =
        DescribePacket(packet, path_, InterfaceNamed(global.interfaceName).type);
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
    CFirmwarePacket packet;
    if (!LoadInputPacket(path_, &packet, out)) return kExitFailed;
    out.Document()["packet"] =
        DescribePacket(packet, path_, InterfaceNamed(global.interfaceName).type);
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
    command.add_flag("--force", force_, "Replace the output file when it exists");
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
    if (!LoadInputPacket(path_, &packet, out) || !OutputAllowed(output_, {path_}, force_, out)) {
      return kExitFailed;
    }
    std::vector<std::uint8_t> image(IMAGE_BUFFER_SIZE, 0xFF);
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t size = 0;
    if (!packet.GetImage(static_cast<std::uint16_t>(*device), image.data(), &start, &end, &size)) {
      return out.Fail(kExitFailed, "device-not-in-packet", packet.LastError());
    }
    if (!WriteOutputFile(output_, image.data() + start, size, force_, out)) return kExitFailed;
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
  std::string path_;
  std::string device_;
  std::string output_;
  bool force_ = false;
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
