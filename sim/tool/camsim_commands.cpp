#include "sim/tool/camsim_commands.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <vector>

#include "firmware/device_catalogue.h"
#include "firmware/image_version.h"
#include "sim/core/camera_folder.h"
#include "sim/core/device_contents.h"
#include "sim/core/device_layout.h"

namespace tarvo::sim {

namespace {

bool OpenCamera(const std::string& folder, CameraFolder* camera) {
  std::string error;
  if (camera->Open(folder, &error)) return true;
  std::cerr << "tarvo-camsim: " << error << "\n";
  return false;
}

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%0*X", digits, value);
  return text;
}

nlohmann::json Describe(CameraFolder& camera) {
  const CameraState& state = camera.State();
  nlohmann::json out;
  out["folder"] = camera.Path();
  out["serialNumber"] = state.settings.serialNumber;
  out["cameraType"] = Hex(state.settings.cameraType, 4);
  out["hdsdiBoard"] = state.settings.newerHdsdiBoard ? "newer" : "older";
  out["hdsdiReadScale"] = state.settings.hdsdiReadScale;
  out["pagedVersions"] = state.settings.pagedVersions != 0;
  out["extraEntries"] = state.settings.extraEntries;
  out["latencyMs"] = state.settings.latencyMs;
  out["latencyCommand"] = Hex(state.settings.latencyCommand, 4);
  out["selectedDevice"] = state.runtime.selectedDevice;
  out["rebooting"] = state.runtime.rebooting != 0;
  out["gone"] = state.runtime.gone != 0;
  out["rebootCount"] = state.runtime.rebootCount;
  out["telegramCount"] = state.runtime.telegramCount;
  nlohmann::json devices = nlohmann::json::array();
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    nlohmann::json device;
    device["index"] = index;
    device["name"] = DeviceDisplayName(index);
    device["capacity"] = DeviceCapacity(index);
    std::optional<DeviceContents> contents = ReadDeviceContents(index, camera.Flash(index));
    if (contents) {
      device["version"] = FormatDeviceVersion(contents->version.variant, contents->version.major,
                                              contents->version.minor);
      device["start"] = Hex(contents->start, 6);
      device["end"] = Hex(contents->end, 6);
    } else {
      device["version"] = nullptr;
    }
    devices.push_back(device);
  }
  out["devices"] = devices;
  const CameraFaults& f = state.faults;
  nlohmann::json faults = nlohmann::json::array();
  if (f.noCamera) faults.push_back("no-camera");
  if (f.notBackAfterReboot) faults.push_back("not-back-after-reboot");
  if (f.wrongCameraType) faults.push_back("wrong-type " + Hex(f.wrongCameraType, 4));
  if (f.newSerialAfterReboot) {
    faults.push_back("new-serial-after-reboot " + std::to_string(f.serialAfterReboot));
  }
  if (f.failTelegram.active) {
    faults.push_back("fail-telegram nth " + std::to_string(f.failTelegram.nth) + " (" +
                     std::to_string(f.failTelegram.seen) + " counted) command " +
                     (f.failTelegram.command ? Hex(f.failTelegram.command, 4) : "any") + " code " +
                     Hex(f.failTelegram.code, 8));
  }
  if (f.flipWrite.active) faults.push_back("flip-write byte " + std::to_string(f.flipWrite.nth));
  if (f.flipRead.active) faults.push_back("flip-read byte " + std::to_string(f.flipRead.nth));
  out["faults"] = faults;
  return out;
}

void PrintText(const nlohmann::json& d) {
  std::printf("Camera folder:   %s\n", d["folder"].get<std::string>().c_str());
  std::printf("Serial number:   %u\n", d["serialNumber"].get<unsigned>());
  std::printf("Camera type:     %s\n", d["cameraType"].get<std::string>().c_str());
  std::printf("HD-SDI board:    %s, read address scale %u\n",
              d["hdsdiBoard"].get<std::string>().c_str(), d["hdsdiReadScale"].get<unsigned>());
  std::printf("Versions query:  %s, %u extra entries\n",
              d["pagedVersions"].get<bool>() ? "paged" : "single form only",
              d["extraEntries"].get<unsigned>());
  const std::string slowCommand = d["latencyCommand"].get<std::string>();
  std::printf("Latency:         %u ms per telegram%s\n", d["latencyMs"].get<unsigned>(),
              slowCommand == "0x0000" ? "" : (" of command " + slowCommand).c_str());
  std::printf("State:           %s, %u reboots, %llu telegrams\n",
              d["gone"].get<bool>()        ? "gone after reboot"
              : d["rebooting"].get<bool>() ? "rebooting"
                                           : "running",
              d["rebootCount"].get<unsigned>(),
              static_cast<unsigned long long>(d["telegramCount"].get<std::uint64_t>()));
  std::printf("\n%-12s %-12s %-20s %s\n", "Device", "Version", "Extent", "Capacity");
  for (const nlohmann::json& device : d["devices"]) {
    std::string version =
        device["version"].is_null() ? "erased/none" : device["version"].get<std::string>();
    std::string extent = device["version"].is_null() ? "-"
                                                     : device["start"].get<std::string>() + ".." +
                                                           device["end"].get<std::string>();
    std::printf("%-12s %-12s %-20s %u\n", device["name"].get<std::string>().c_str(),
                version.c_str(), extent.c_str(), device["capacity"].get<unsigned>());
  }
  std::printf("\nFaults:");
  if (d["faults"].empty()) std::printf(" none");
  std::printf("\n");
  for (const nlohmann::json& fault : d["faults"])
    std::printf("  %s\n", fault.get<std::string>().c_str());
}

}  // namespace

std::optional<unsigned> ParseDevice(const std::string& text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '8')
    return static_cast<unsigned>(text[0] - '0');
  for (DeviceIndex index = 0; index < kDeviceCount; ++index) {
    if (text == DeviceDisplayName(index) || text == DeviceListName(index)) return index;
  }
  return std::nullopt;
}

bool ParseVersion(const std::string& text, std::uint8_t* major, std::uint8_t* minor) {
  unsigned a = 0, b = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%u.%u%c", &a, &b, &tail) != 2 || a > 255 || b > 255) return false;
  *major = static_cast<std::uint8_t>(a);
  *minor = static_cast<std::uint8_t>(b);
  return true;
}

int RunInit(const std::string& folder, const InitOptions& options) {
  CameraFolder camera;
  if (!OpenCamera(folder, &camera)) return 1;
  FolderLock lock(camera);
  if (!ResetCamera(camera, options.settings, !options.blank, options.variant, options.major,
                   options.minor)) {
    std::cerr << "tarvo-camsim: cannot reset the camera in " << folder << "\n";
    return 1;
  }
  std::printf("Camera SN %u initialised in %s\n", options.settings.serialNumber, folder.c_str());
  return 0;
}

int RunShow(const std::string& folder, bool json) {
  CameraFolder camera;
  if (!OpenCamera(folder, &camera)) return 1;
  FolderLock lock(camera);
  nlohmann::json description = Describe(camera);
  if (json) {
    std::cout << description.dump(2) << "\n";
  } else {
    PrintText(description);
  }
  return 0;
}

int ChangeCamera(const std::string& folder, const std::function<void(CameraState&)>& change) {
  CameraFolder camera;
  if (!OpenCamera(folder, &camera)) return 1;
  FolderLock lock(camera);
  change(camera.State());
  return 0;
}

int RunDump(const std::string& folder, const std::string& deviceText, const std::string& outPath,
            bool wholeDevice) {
  std::optional<unsigned> device = ParseDevice(deviceText);
  if (!device) {
    std::cerr << "tarvo-camsim: unknown device \"" << deviceText << "\"\n";
    return 2;
  }
  CameraFolder camera;
  if (!OpenCamera(folder, &camera)) return 1;
  FolderLock lock(camera);
  FlashDevice& flash = camera.Flash(*device);
  std::uint32_t start = 0;
  std::uint32_t end = flash.Capacity() - 1;
  if (!wholeDevice) {
    std::optional<DeviceContents> contents = ReadDeviceContents(*device, flash);
    if (contents) {
      start = contents->start;
      end = contents->end;
    }
  }
  std::vector<std::uint8_t> bytes(end - start + 1);
  if (!flash.Read(start, bytes.data(), static_cast<std::uint32_t>(bytes.size()))) {
    std::cerr << "tarvo-camsim: cannot read " << DeviceDisplayName(*device) << "\n";
    return 1;
  }
  std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::cerr << "tarvo-camsim: cannot write " << outPath << "\n";
    return 1;
  }
  std::printf("%s: %zu bytes from device address 0x%06X written to %s\n",
              DeviceDisplayName(*device), bytes.size(), start, outPath.c_str());
  return 0;
}

int RunMakeFirmware(const std::string& folder, const RawImageRequest& request) {
  std::vector<std::string> written;
  std::string error;
  if (!WriteRawImageFiles(folder, request, &written, &error)) {
    std::cerr << "tarvo-camsim: " << error << "\n";
    return 1;
  }
  for (const std::string& path : written) std::printf("%s\n", path.c_str());
  return 0;
}

}  // namespace tarvo::sim
