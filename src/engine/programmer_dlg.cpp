#include "engine/programmer_dlg.h"

#include <utility>

namespace tarvo {

CProgrammerDlg::CProgrammerDlg(WindowPort& window, platform::Clock& clock,
                               std::string programFolder)
    : window_(window),
      clock_(clock),
      programFolder_(std::move(programFolder)),
      // Every operation writes the part of a buffer it reads (images and read-backs land at
      // their device addresses first), so the buffers are not cleared: untouched pages then
      // cost neither time at start nor memory.
      imageBuffer_(std::make_unique_for_overwrite<std::uint8_t[]>(IMAGE_BUFFER_SIZE)),
      readBackBuffer_(std::make_unique_for_overwrite<std::uint8_t[]>(IMAGE_BUFFER_SIZE)) {
  // No order is defined until the order dialog or a Program run fills it.
  order_.fill(ORDER_END);
  OpenLog();
  LogTimeScale();
}

CProgrammerDlg::~CProgrammerDlg() {
  log_.Close();
}

void CProgrammerDlg::OpenLog() {
  // A log folder that cannot be determined leaves the run without a log, as a failed open does.
  logFolder_ = DefaultLogFolder();
  if (!logFolder_.empty()) log_.Open(logFolder_);
}

// A scaled clock shortens every pause and countdown; a log read later must show that its
// timings came from a simulation.
void CProgrammerDlg::LogTimeScale() {
  const auto* scaled = dynamic_cast<const platform::ScaledClock*>(&clock_);
  if (scaled == nullptr) return;
  const platform::TimeScale environment = platform::TimeScaleFromEnvironment();
  if (environment.invalid) {
    WriteLog("TARVO_TIME_SCALE '%s' is not a decimal >= 0: waits are not scaled.",
             environment.text.c_str());
  }
  if (scaled->Scale() != 1.0) {
    WriteLog("Time scale %g: waits are scaled for simulation.", scaled->Scale());
  }
}

void CProgrammerDlg::SetModes(bool emergency, bool packetGeneration) {
  emergencyMode_ = emergency;
  WriteLog(emergency ? "!!! Emergency Mode Enabled !!!" : "Emergency Mode off.");
  packetGenerationMode_ = packetGeneration;
  WriteLog(packetGeneration ? "!!! Packet Generation Mode Enabled !!!"
                            : "Packet Generation Mode off.");
}

}  // namespace tarvo
