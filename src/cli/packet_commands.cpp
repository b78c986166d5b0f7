// packet show, check and extract: they read packet files and never write the log.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/output_file.h"
#include "cli/packet_commands.h"
#include "cli/packet_description.h"
#include "cli/terminal_report.h"
#include "firmware/firmware_packet.h"
#include "log/format_text.h"
#include "platform/folders.h"

namespace tarvo::cli {

namespace {

// A missing input file fails the command (status 1) as an unusable one does.
bool InputFileExists(const std::string& path) {
  if (platform::PathExists(path)) return true;
  PrintError(FormatText("No such file: %s", path.c_str()));
  return false;
}

void PrintPacketError(const CFirmwarePacket& packet) {
  PrintError(packet.LastErrorWithDetail());
}

class PacketShowCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("FILE", path_, "Packet file")->required();
    command.add_flag("--json", json_, "Print the description as JSON");
  }

  int Run(const GlobalOptions&) override {
    if (!InputFileExists(path_)) return kExitFailed;
    CFirmwarePacket packet;
    if (!packet.LoadPacket(path_)) {
      PrintPacketError(packet);
      return kExitFailed;
    }
    const nlohmann::json description = DescribePacket(packet, path_);
    if (json_) {
      std::printf("%s\n", description.dump(2).c_str());
    } else {
      std::fputs(PacketDescriptionText(description).c_str(), stdout);
    }
    return kExitSuccess;
  }

 private:
  std::string path_;
  bool json_ = false;
};

class PacketCheckCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("FILE", path_, "Packet file")->required();
  }

  // Everything loading checks: the integrity check, the length limit and the entries.
  int Run(const GlobalOptions&) override {
    if (!InputFileExists(path_)) return kExitFailed;
    CFirmwarePacket packet;
    if (!packet.LoadPacket(path_)) {
      PrintPacketError(packet);
      return kExitFailed;
    }
    std::printf("Packet file check passed: %s\n", path_.c_str());
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

  int Run(const GlobalOptions&) override {
    const std::optional<DeviceIndex> device = ParseDevice(device_);
    if (!device) {
      PrintError(FormatText("Bad device '%s': expected 0..8 or a device name.", device_.c_str()));
      return kExitUsage;
    }
    if (!InputFileExists(path_) || !OutputAllowed(output_, {path_}, force_)) return kExitFailed;
    CFirmwarePacket packet;
    if (!packet.LoadPacket(path_)) {
      PrintPacketError(packet);
      return kExitFailed;
    }
    std::vector<std::uint8_t> image(IMAGE_BUFFER_SIZE, 0xFF);
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t size = 0;
    if (!packet.GetImage(static_cast<std::uint16_t>(*device), image.data(), &start, &end, &size)) {
      PrintError(packet.LastError());
      return kExitFailed;
    }
    if (!WriteOutputFile(output_, image.data() + start, size, force_)) return kExitFailed;
    std::printf("%s: start %08x, end %08x, size %u bytes written to %s\n",
                DeviceDisplayName(*device), start, end, size, output_.c_str());
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
