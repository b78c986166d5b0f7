// Packet generation: a new packet file from raw image files, one per device of the programming
// order the user has just defined, built by the same code as the command-line packet builder.
#include <algorithm>
#include <vector>

#include "engine/program_order.h"
#include "engine/programmer_dlg.h"
#include "firmware/packet_builder.h"

namespace tarvo {

namespace {

// Image loading speaks through the window: log lines, result boxes, the device's red bar.
class WindowLoadReport final : public ImageLoadReport {
 public:
  explicit WindowLoadReport(CProgrammerDlg& dlg) : dlg_(dlg) {}
  void WriteLog(const std::string& text) override { dlg_.WriteLog("%s", text.c_str()); }
  void ShowResult(bool success, const std::string& text) override {
    dlg_.ShowResult(success, "%s", text.c_str());
  }
  void LogFileError(const std::string& fileName, std::uint32_t code) override {
    dlg_.LogFileError(fileName, code);
  }
  void ShowDeviceFailed(DeviceIndex device) override {
    dlg_.SetDeviceProgress(device, PROGRESS_FAILED);
    failed_.push_back(device);
  }
  const std::vector<DeviceIndex>& FailedDevices() const { return failed_; }

 private:
  CProgrammerDlg& dlg_;
  std::vector<DeviceIndex> failed_;
};

}  // namespace

// One file per device: a device the order names twice is asked for once, since a packet holds
// one image per device. Cancelling any dialog ends the generation: a packet that lacks a
// device its order names would fail when it is run.
int CProgrammerDlg::GeneratePacket() {
  BeginRun(RunKind::kPacketGeneration);
  std::vector<PacketImageSource> images;
  for (std::uint16_t code : order_) {
    const OrderStep step = ClassifyOrderStep(code);
    if (step.kind == OrderStepKind::kEnd) break;
    if (step.kind != OrderStepKind::kDevice) continue;
    const bool chosen = std::any_of(images.begin(), images.end(), [&](const PacketImageSource& s) {
      return s.device == step.device;
    });
    if (chosen) continue;
    const std::optional<std::string> path =
        window_.OpenFileDialog(FormatText("Image file for %s", DeviceDisplayName(step.device)),
                               DeviceImageFilter(step.device));
    if (!path)
      return CancelPacketGeneration(
          FormatText("no image file was chosen for %s", DeviceDisplayName(step.device)));
    images.push_back(PacketImageSource{step.device, *path});
    report_.devices[step.device].planned = true;
    report_.devices[step.device].outcome = DeviceOutcome::kPending;
  }
  if (images.empty()) return CancelPacketGeneration("the order names no device");

  const std::optional<std::string> chosenPath =
      window_.SaveFileDialog("Save new packet", kPacketFileFilter);
  if (!chosenPath) return CancelPacketGeneration("no file name was chosen");
  const std::string path = EnsurePacketExtension(*chosenPath);

  WindowLoadReport loadReport(*this);
  const PacketBuildResult result =
      BuildPacketFile(order_, images, path, imageBuffer_.get(), loadReport);
  for (DeviceIndex device : loadReport.FailedDevices()) {
    report_.devices[device].outcome = DeviceOutcome::kNotStored;
    report_.devices[device].reason = "its image file could not be loaded";
  }
  if (result == PacketBuildResult::kWritten) {
    for (const PacketImageSource& image : images) {
      report_.devices[image.device].outcome = DeviceOutcome::kStored;
    }
    report_.outputFile = path;
  } else {
    AddFailure(RunFailure::kFileNotWritten);
    if (!loadReport.FailedDevices().empty()) AddFailure(RunFailure::kDeviceFailed);
  }
  FinishRun();
  if (result == PacketBuildResult::kImageFailed) {
    const std::vector<DeviceIndex>& failed = loadReport.FailedDevices();
    ShowResult(false, "Creating packet file failed.\nImage file of %s could not be loaded.",
               DeviceDisplayName(failed.empty() ? images.front().device : failed.back()));
  } else if (result == PacketBuildResult::kWritten) {
    ShowStatus("Packet file written: %s", path.c_str());
    ShowResult(true, "Creating packet file successful.\n%s", path.c_str());
  }
  return result == PacketBuildResult::kWritten ? 1 : 0;
}

int CProgrammerDlg::CancelPacketGeneration(const std::string& why) {
  AddFailure(RunFailure::kCancelled);
  FinishRun();
  ShowStatus("Packet generation cancelled: %s; no file written.", why.c_str());
  return 0;
}

}  // namespace tarvo
