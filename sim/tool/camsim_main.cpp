// tarvo-camsim: sets up, inspects and breaks the simulated camera that the interface
// libraries talk to.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>

#include "sim/core/camera_folder.h"
#include "sim/core/camera_telegrams.h"
#include "sim/tool/camsim_commands.h"

namespace {

using tarvo::sim::CameraState;

struct FaultOptions {
  std::uint32_t nth = 1;
  std::uint32_t code = 0x80031013;  // "Error while writing to camera."
  std::uint32_t command = 0;
  std::uint32_t type = 0x1001;
  std::uint32_t serial = 1;
  std::uint32_t bit = 0;
  std::uint32_t count = 25;
  std::uint32_t milliseconds = 0;
  bool off = false;
};

void AddFaultCommands(CLI::App& fault, FaultOptions& o, const std::string& folder, int& exitCode) {
  // Callbacks run after this function returned: they hold copies of this lambda.
  auto change = [&folder, &exitCode](std::function<void(CameraState&)> apply) {
    exitCode = tarvo::sim::ChangeCamera(folder, apply);
  };
  CLI::App* failTelegram = fault.add_subcommand(
      "fail-telegram", "Fail the Nth telegram from now (or the Nth of one command) with a code");
  failTelegram->add_option("--nth", o.nth, "Which telegram fails, counted from 1")
      ->required()
      ->check(CLI::Range(1u, 0xFFFFFFFFu));
  failTelegram->add_option("--code", o.code, "Result code the telegram returns")->required();
  failTelegram->add_option("--command", o.command,
                           "Count only telegrams of this command code (e.g. 0x1103)");
  failTelegram->callback([&o, &exitCode, change] {
    if (o.code == 0) {
      std::cerr << "tarvo-camsim: --code must not be 0\n";
      exitCode = 2;
      return;
    }
    change([&](CameraState& s) {
      s.faults.failTelegram = {1, {}, static_cast<std::uint16_t>(o.command), o.nth, 0, o.code};
    });
  });

  auto onOff = [&](const char* name, const char* help,
                   std::function<void(CameraState&, bool)> set) {
    CLI::App* sub = fault.add_subcommand(name, help);
    sub->add_flag("--off", o.off, "Clear this fault");
    sub->callback([&o, set, change] { change([&](CameraState& s) { set(s, !o.off); }); });
    return sub;
  };
  onOff("no-camera", "Open_Cam finds no camera",
        [](CameraState& s, bool on) { s.faults.noCamera = on; });
  onOff("not-back-after-reboot", "The camera does not come back after its next reboot",
        [](CameraState& s, bool on) {
          s.faults.notBackAfterReboot = on;
          if (!on) s.runtime.gone = 0;
        });
  onOff("paged-refused", "The camera refuses the paged versions query (single form only)",
        [](CameraState& s, bool on) { s.settings.pagedVersions = on ? 0 : 1; });
  onOff("wrong-type", "GetCameraType answers another camera type", [&o](CameraState& s, bool on) {
    s.faults.wrongCameraType = on ? static_cast<std::uint16_t>(o.type) : 0;
  })->add_option("--type", o.type, "The type answered (default 0x1001)");
  onOff("new-serial-after-reboot", "The camera has another serial number after its next reboot",
        [&o](CameraState& s, bool on) {
          s.faults.newSerialAfterReboot = on;
          s.faults.serialAfterReboot = o.serial;
        })
      ->add_option("--serial", o.serial, "Serial number after the reboot");
  for (const char* name : {"flip-write", "flip-read"}) {
    bool write = std::string(name) == "flip-write";
    CLI::App* sub = fault.add_subcommand(
        name, write ? "Silently flip a bit of the Nth data byte written from now"
                    : "Silently flip a bit of the Nth data byte read from now");
    sub->add_option("--nth", o.nth, "Which data byte, counted from 1")
        ->required()
        ->check(CLI::Range(1u, 0xFFFFFFFFu));
    sub->add_option("--bit", o.bit, "Bit number 0..7")->check(CLI::Range(0, 7));
    sub->callback([&o, change, write] {
      change([&](CameraState& s) {
        tarvo::sim::BitFlipFault& f = write ? s.faults.flipWrite : s.faults.flipRead;
        f = {1, static_cast<std::uint8_t>(o.bit), {}, o.nth, 0};
      });
    });
  }
  CLI::App* many = fault.add_subcommand(
      "many-versions", "Report extra version entries that match no device (default 25: 34 in all)");
  many->add_option("--count", o.count, "Number of extra entries")
      ->check(CLI::Range(0u, tarvo::sim::kMaxExtraEntries));
  many->callback([&o, change] {
    change([&](CameraState& s) { s.settings.extraEntries = static_cast<std::uint16_t>(o.count); });
  });
  CLI::App* latency = fault.add_subcommand("latency", "Delay every telegram (or one command's)");
  latency->add_option("--ms", o.milliseconds, "Milliseconds per telegram (0: none)")->required();
  latency->add_option("--command", o.command,
                      "Delay only telegrams of this command code (e.g. the erase, 0x1003)");
  latency->callback([&o, change] {
    change([&](CameraState& s) {
      s.settings.latencyMs = o.milliseconds;
      s.settings.latencyCommand = static_cast<std::uint16_t>(o.command);
    });
  });
  CLI::App* clear = fault.add_subcommand("clear", "Clear every fault (settings stay)");
  clear->callback([change] {
    change([](CameraState& s) {
      s.faults = {};
      s.runtime.gone = 0;
    });
  });
  fault.require_subcommand(1);
}

// Power lost and back, or a cable pulled and plugged in again: the camera forgets the device
// it had selected and any reboot under way; its flash and settings stay.
void AddPowerCycleCommand(CLI::App& app, const std::string& folder, int& exitCode) {
  app.add_subcommand("power-cycle", "Switch the camera off and on: the flash stays")
      ->callback([&folder, &exitCode] {
        exitCode = tarvo::sim::ChangeCamera(folder, [](CameraState& s) {
          s.runtime.selectedDevice = tarvo::sim::kNoDevice;
          s.runtime.rebooting = 0;
          s.runtime.gone = 0;
        });
      });
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  CLI::App app{
      "tarvo-camsim: the simulated orva.tarvo camera behind qlm_usb.dll, qlm_usb3.dll and "
      "qlm_gige.dll.\nThe camera lives in %QLM_SIM_DIR% (default "
      "%LOCALAPPDATA%\\orva-camsim)."};
#else
  CLI::App app{
      "tarvo-camsim: the simulated orva.tarvo camera behind libqlm_usb.so, "
      "libqlm_usb3.so and libqlm_gige.so.\nThe camera lives in $QLM_SIM_DIR (default "
      "${XDG_DATA_HOME:-$HOME/.local/share}/orva-camsim)."};
#endif
  std::string folder = tarvo::sim::DefaultCameraFolder();
  app.add_option("--dir", folder, "Camera folder (overrides QLM_SIM_DIR)");
  app.set_version_flag("--version", std::string("tarvo-camsim ") + TARVO_VERSION_TEXT);
  app.require_subcommand(1);
  int exitCode = 0;

  tarvo::sim::InitOptions init;
  std::string initVersion = "1.0";
  std::string hdsdiBoard = "older";
  unsigned scale = 1, extra = 0, variant = 1;
  std::uint32_t cameraType = 0x1000;
  bool noPaged = false;
  CLI::App* initCommand = app.add_subcommand(
      "init", "Create the camera afresh: settings, no faults, factory firmware (or erased)");
  initCommand->add_option("--serial", init.settings.serialNumber, "Serial number (default 4711)");
  initCommand->add_option("--type", cameraType, "Camera type (default 0x1000)");
  initCommand
      ->add_option("--hdsdi-board", hdsdiBoard,
                   "HD-SDI board revision: older (0x4703) or newer (0x4A03)")
      ->check(CLI::IsMember({"older", "newer"}));
  initCommand->add_option("--hdsdi-scale", scale, "HD-SDI read address scale, 1 or 2")
      ->check(CLI::IsMember({1u, 2u}));
  initCommand->add_flag("--no-paged", noPaged, "Camera knows only the single-form versions query");
  initCommand->add_option("--extra-entries", extra, "Version entries that match no device")
      ->check(CLI::Range(0u, tarvo::sim::kMaxExtraEntries));
  initCommand->add_option("--latency", init.settings.latencyMs,
                          "Milliseconds added to every telegram");
  initCommand->add_flag("--blank", init.blank, "Leave every device erased");
  initCommand->add_option("--variant", variant, "Variant of the factory firmware (default 1)")
      ->check(CLI::Range(0, 65535));
  initCommand->add_option("--version", initVersion,
                          "Version MAJOR.MINOR of the factory firmware (default 1.0)");
  initCommand->callback([&] {
    if (!tarvo::sim::ParseVersion(initVersion, &init.major, &init.minor)) {
      std::cerr << "tarvo-camsim: --version wants MAJOR.MINOR\n";
      exitCode = 2;
      return;
    }
    init.settings.cameraType = static_cast<std::uint16_t>(cameraType);
    init.settings.newerHdsdiBoard = hdsdiBoard == "newer";
    init.settings.hdsdiReadScale = static_cast<std::uint8_t>(scale);
    init.settings.pagedVersions = noPaged ? 0 : 1;
    init.settings.extraEntries = static_cast<std::uint16_t>(extra);
    init.variant = static_cast<std::uint16_t>(variant);
    exitCode = tarvo::sim::RunInit(folder, init);
  });

  bool json = false;
  CLI::App* show = app.add_subcommand(
      "show", "Serial number, type, settings, faults, and each device's version and extent");
  show->add_flag("--json", json, "Print as JSON");
  show->callback([&] { exitCode = tarvo::sim::RunShow(folder, json); });

  std::string packet;
  CLI::App* flash =
      app.add_subcommand("flash", "Factory-write a firmware packet's images into the camera");
  flash->add_option("PACKET", packet, "Firmware packet file (.tvf)")->required();
  flash->callback([&] { exitCode = tarvo::sim::RunFlash(folder, packet); });

  FaultOptions faultOptions;
  CLI::App* fault = app.add_subcommand("fault", "Set or clear a fault of the camera");
  AddFaultCommands(*fault, faultOptions, folder, exitCode);
  AddPowerCycleCommand(app, folder, exitCode);

  std::string device, out;
  bool whole = false;
  CLI::App* dump = app.add_subcommand("dump", "Write a device's flash contents to a file");
  dump->add_option("DEVICE", device, "Device index 0..8 or name (\"Main FPGA\")")->required();
  dump->add_option("OUT", out, "Output file")->required();
  dump->add_flag("--all", whole, "The whole flash, not only the image found in it");
  dump->callback([&] { exitCode = tarvo::sim::RunDump(folder, device, out, whole); });

  std::string firmwareFolder, firmwareVersion = "1.0";
  unsigned firmwareVariant = 1, hdsdiVariant = 0;
  CLI::App* make =
      app.add_subcommand("make-firmware", "Write a set of raw image files for all nine devices");
  make->add_option("DIR", firmwareFolder, "Output folder")->required();
  make->add_option("--variant", firmwareVariant, "Variant (default 1)")
      ->check(CLI::Range(0, 65535));
  make->add_option("--version", firmwareVersion, "Version MAJOR.MINOR (default 1.0)");
  make->add_option(
          "--hdsdi-variant", hdsdiVariant,
          "Variant of the HD-SDI image (default: --variant; 10 or more is for the newer board)")
      ->check(CLI::Range(0, 65535));
  make->callback([&] {
    tarvo::sim::RawImageRequest request;
    if (!tarvo::sim::ParseVersion(firmwareVersion, &request.major, &request.minor)) {
      std::cerr << "tarvo-camsim: --version wants MAJOR.MINOR\n";
      exitCode = 2;
      return;
    }
    request.variant = static_cast<std::uint16_t>(firmwareVariant);
    request.hdsdiVariant =
        static_cast<std::uint16_t>(make->count("--hdsdi-variant") ? hdsdiVariant : firmwareVariant);
    exitCode = tarvo::sim::RunMakeFirmware(firmwareFolder, request);
  });

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    int code = app.exit(error);
    return code == 0 ? 0 : 2;
  }
  return exitCode;
}
