// packet build: a packet file from raw image files, as packet generation makes it, with the
// same log lines.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/command_output.h"
#include "cli/packet_commands.h"
#include "cli/packet_description.h"
#include "cli/plan_steps.h"
#include "cli/terminal_report.h"
#include "firmware/packet_builder.h"
#include "log/format_text.h"
#include "log/log_file.h"

namespace tarvo::cli {

namespace {

class PacketBuildCommand final : public Command {
 public:
  void Define(CLI::App& command) override {
    command.add_option("--order", steps_, "Programming order: DEV | reboot | wait:N, by commas")
        ->required();
    command
        .add_option("--image", images_,
                    "Raw image file of a device step: DEV=FILE (once for each device step)")
        ->required()
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    command.add_option("-o,--output", output_, "Packet file to write (.tvf is added if missing)")
        ->required();
  }

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["packet"] = nullptr;
    ProgramOrder order{};
    std::vector<PacketImageSource> sources;
    std::string error;
    if (!PrepareSources(&order, &sources, &error)) return out.Fail(kExitUsage, "usage", error);

    const std::string path = EnsurePacketExtension(output_);
    LogFile log;
    log.Open(DefaultLogFolder());
    // With JSON on stdout, the result box of packet generation goes to stderr.
    TerminalImageReport report(log, global.json ? stderr : stdout);
    std::vector<std::uint8_t> imageBuffer(IMAGE_BUFFER_SIZE);
    const PacketBuildResult result =
        BuildPacketFile(order, sources, path, imageBuffer.data(), report);
    out.SetLog(log.Path(), log.Close());
    switch (result) {
      case PacketBuildResult::kWritten:
        break;
      case PacketBuildResult::kImageFailed:
        return out.Fail(kExitFailed, "image-invalid",
                        "No packet file written: an image file could not be loaded.");
      case PacketBuildResult::kPacketFailed:
        return out.FailShown(kExitFailed, "write-failed",
                             "No packet file written: " + path + " could not be written.");
    }
    CFirmwarePacket written;
    if (written.LoadPacket(path)) {
      out.Document()["packet"] =
          DescribePacket(written, path, InterfaceTypeNamed(global.interfaceName));
    }
    if (!global.json) std::printf("Packet file written: %s\n", path.c_str());
    return kExitSuccess;
  }

 private:
  // One image per device step of the order, in the order's sequence.
  bool PrepareSources(ProgramOrder* order, std::vector<PacketImageSource>* sources,
                      std::string* error) const {
    std::vector<DeviceIndex> devices;
    if (!ParseOrderSteps(steps_, order, &devices, error)) return false;
    if (devices.empty()) {
      *error = "The order has no device step: there is no image to put into a packet.";
      return false;
    }
    std::vector<PacketImageSource> given;
    for (const std::string& argument : images_) {
      PacketImageSource source;
      if (!ParseImageArgument(argument, &source.device, &source.path, error)) return false;
      const auto same = [&](const PacketImageSource& other) {
        return other.device == source.device;
      };
      if (std::any_of(given.begin(), given.end(), same)) {
        *error = FormatText("Two images given for %s.", DeviceDisplayName(source.device));
        return false;
      }
      if (std::find(devices.begin(), devices.end(), source.device) == devices.end()) {
        *error = FormatText("Image given for %s, but the order has no step for it.",
                            DeviceDisplayName(source.device));
        return false;
      }
      given.push_back(source);
    }
    for (DeviceIndex device : devices) {
      const auto match = std::find_if(given.begin(), given.end(), [&](const PacketImageSource& s) {
        return s.device == device;
      });
      if (match == given.end()) {
        *error = FormatText("The order names %s, but no --image %u=FILE is given for it.",
                            DeviceDisplayName(device), device);
        return false;
      }
      sources->push_back(*match);
    }
    return true;
  }

  std::string steps_;
  std::vector<std::string> images_;
  std::string output_;
};

}  // namespace

std::unique_ptr<Command> MakePacketBuildCommand() {
  return std::make_unique<PacketBuildCommand>();
}

}  // namespace tarvo::cli
