// packet build: a packet file from raw image files, as packet generation makes it, with the
// same log lines.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "cli/cli_arguments.h"
#include "cli/command_output.h"
#include "cli/output_file.h"
#include "cli/packet_commands.h"
#include "cli/packet_description.h"
#include "cli/plan_steps.h"
#include "cli/terminal_report.h"
#include "firmware/image_version_parse.h"
#include "firmware/packet_builder.h"
#include "log/format_text.h"
#include "log/log_file.h"

namespace tarvo::cli {

namespace {

std::string Lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The extension of a device's raw image files, from its file filter: "hex" from
// "Hex Files (*.hex)|BRENTA_*.hex|...".
std::string ImageExtension(DeviceIndex device) {
  const std::string filter = DeviceImageFilter(device);
  const std::size_t start = filter.find('|') + 1;
  const std::string pattern = filter.substr(start, filter.find('|', start) - start);
  return pattern.substr(pattern.rfind('.') + 1);
}

// Each device's reader takes one file type only; another type read by it yields a broken
// image or a misleading file error, so it is refused unless the user insists. A name without
// a version is allowed, but the packet then records the image as version 0.
bool ImageFilesFit(const std::vector<PacketImageSource>& sources, bool force, CommandOutput& out) {
  for (const PacketImageSource& source : sources) {
    const std::string name(ImageFileName(source.path));
    const std::size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : Lowercase(name.substr(dot + 1));
    const std::string expected = ImageExtension(source.device);
    if (extension != expected && !force) {
      out.Fail(kExitFailed, "image-type",
               FormatText("The image file of %s is a .%s file; %s is not (give --force to use "
                          "it anyway).",
                          DeviceDisplayName(source.device), expected.c_str(), source.path.c_str()));
      return false;
    }
    ImageVersion version;
    if (!ParseImageVersionName(name, &version)) {
      PrintError(
          FormatText("Warning: the name of %s carries no version (as in "
                     "CALDO_1_V04_11.bit): its image gets %s.",
                     source.path.c_str(),
                     FormatDeviceVersion(version.variant, version.major, version.minor).c_str()));
    }
  }
  return true;
}

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
    command.add_flag("--force", force_,
                     "Replace the output file when it exists; take image files of another type");
  }

  int Run(const GlobalOptions& global, CommandOutput& out) override {
    out.Document()["packet"] = nullptr;
    ProgramOrder order{};
    std::vector<PacketImageSource> sources;
    std::string error;
    if (!PrepareSources(&order, &sources, &error)) return out.Fail(kExitUsage, "usage", error);

    const std::string path = EnsurePacketExtension(output_);
    std::vector<std::string> inputs;
    for (const PacketImageSource& source : sources) inputs.push_back(source.path);
    if (!ImageFilesFit(sources, force_, out) || !OutputAllowed(path, inputs, force_, out)) {
      return kExitFailed;
    }
    LogFile log;
    log.SetFailureHandler(&PrintLogFailure);
    log.Open(DefaultLogFolder());
    // With JSON on stdout, the result box of packet generation goes to stderr.
    TerminalImageReport report(log, global.json ? stderr : stdout);
    std::vector<std::uint8_t> imageBuffer(IMAGE_BUFFER_SIZE);
    const PacketBuildResult result =
        BuildPacketFile(order, sources, path, imageBuffer.data(), report, ReplaceModeFor(force_));
    log.Close();
    out.SetLog(log.Path(), log.Sealed());
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
          DescribePacket(written, path, InterfaceNamed(global.interfaceName).type);
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
  bool force_ = false;
};

}  // namespace

std::unique_ptr<Command> MakePacketBuildCommand() {
  return std::make_unique<PacketBuildCommand>();
}

}  // namespace tarvo::cli
