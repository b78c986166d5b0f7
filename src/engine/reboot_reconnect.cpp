// Rebooting the camera so new firmware takes effect, waiting for it, and making sure the camera
// that answers afterwards is the one that was rebooted.
#include "engine/camera_identity.h"
#include "engine/camera_pauses.h"
#include "engine/program_order.h"
#include "engine/programmer_dlg.h"
#include "link/telegrams.h"

namespace tarvo {

namespace {

// The reconnect countdown shows every second.
constexpr std::uint32_t kCountdownStepMs = 1000;

}  // namespace

// The wait always runs to its end: a camera that answers early may still be starting its
// devices. There is one reconnect attempt.
int CProgrammerDlg::RebootAndReconnect(RebootPurpose purpose) {
  report_.reboots.emplace_back();
  report_.reboots.back().purpose = purpose;
  ShowStatus("Rebooting camera. Please wait ...");
  const bool sent = OpenLink(SelectedInterface()) == 0;
  report_.reboots.back().requestSent = sent;
  // The camera may restart before it answers: a failed request still counts as sent.
  if (sent) (void)RequestReboot();
  Wait(kPauseAfterRebootRequestMs);
  CloseLink();
  WriteLog(sent ? "Reboot request send successful.\n"
                : "Reboot request send failed, but waiting not skipped!\n");

  const int seconds = RebootWaitSeconds(SelectedInterface());
  for (int left = seconds; left >= 1; --left) {
    ShowStatus("Waiting for camera to reconnect. Waiting %d s.", left);
    Wait(kCountdownStepMs);
  }

  std::uint16_t cameraType = 0;
  std::uint32_t serialNumber = 0;
  std::uint32_t result = OpenLink(SelectedInterface());
  if (result == 0) result = GetCameraType(&cameraType, &serialNumber);
  CloseLink();
  if (result != 0) {
    report_.reboots.back().resultCode = result;
    WriteLog("Error reconnecting to camera: %x.\n", result);
    return 0;
  }
  report_.reboots.back().cameraType = cameraType;
  if (!IsAcceptedCameraType(cameraType)) {
    report_.reboots.back().result = ReconnectResult::kOtherModel;
    ShowResult(false, "Camera found is not a orva.tarvo!");
    return 0;
  }
  report_.reboots.back().serialNumber = static_cast<std::int32_t>(serialNumber);
  report_.serialAfter = static_cast<std::int32_t>(serialNumber);
  if (static_cast<std::int32_t>(serialNumber) != camera_.serialNumber) {
    report_.reboots.back().result = ReconnectResult::kOtherSerial;
    ShowResult(false, "Camera found has not the same SN!");
    return 0;
  }
  report_.reboots.back().result = ReconnectResult::kSameCamera;
  ShowStatus("Reconnected to Camera SN %d", static_cast<std::int32_t>(serialNumber));
  return 1;
}

}  // namespace tarvo
