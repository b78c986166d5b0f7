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
// one image per device. A packet that lacks a device its order names would fail when it is
// run, so cancelling any image dialog abandons the whole packet.
int CProgrammerDlg::GeneratePacket() {
  std::vector<PacketImageSource> images;
  for (std::uint16_t code : order_) {
    const OrderStep step = ClassifyOrderStep(code);
    if (step.kind == OrderStepKind::kEnd) break;
    if (step.kind != OrderStepKind::kDevice) continue;
    const bool chosen = std::any_of(images.begin(), images.end(), [&](const PacketImageSource& s) {
      return s.device == step.device;
    });
    if (chosen) continue;
    const char* name = DeviceDisplayName(step.device);
    const std::optional<std::string> path = window_.OpenFileDialog(
        FormatText("Image file for %s", name), DeviceImageFilter(step.device));
    if (!path) {
      ShowStatus("Packet generation cancelled: no image file for %s. No packet was written.", name);
      return 0;
    }
    images.push_back(PacketImageSource{step.device, *path});
  }
  if (images.empty()) {
    ShowStatus("Packet generation: the programming order names no device. No packet was written.");
    return 0;
  }

  const std::optional<std::string> chosenPath =
      window_.SaveFileDialog("Save new packet", kPacketFileFilter);
  if (!chosenPath) {
    ShowStatus("Packet generation cancelled: no file name given. No packet was written.");
    return 0;
  }
  const std::string path = EnsurePacketExtension(*chosenPath);

  // When an image cannot be loaded, no file is written.
  WindowLoadReport report(*this);
  const PacketBuildResult result =
      BuildPacketFile(order_, images, path, imageBuffer_.get(), report);
  if (result == PacketBuildResult::kImageFailed) {
    const DeviceIndex device = report.FailedDevices().empty() ? 0 : report.FailedDevices().back();
    ShowResult(false, "Creating packet file failed.\nImage file of %s could not be loaded.",
               DeviceDisplayName(device));
  }
  if (result != PacketBuildResult::kWritten) return 0;
  ShowStatus("New packet written: %s", path.c_str());
  ShowResult(true, "Creating packet file\n%s\nsuccessful.", path.c_str());
  return 1;
}

}  // namespace tarvo
