#include "sim/core/camera_state.h"

#include <cstring>

namespace tarvo::sim {

CameraSettings DefaultSettings() {
  CameraSettings settings{};
  settings.serialNumber = 4711;
  settings.cameraType = 0x1000;
  settings.newerHdsdiBoard = 0;
  settings.hdsdiReadScale = 1;
  settings.pagedVersions = 1;
  settings.extraEntries = 0;
  settings.latencyMs = 0;
  return settings;
}

void ResetState(CameraState* state, const CameraSettings& settings) {
  std::memset(state, 0, sizeof(*state));
  std::memcpy(state->magic, kStateMagic, sizeof(kStateMagic));
  state->layoutVersion = kStateLayoutVersion;
  state->size = sizeof(CameraState);
  state->settings = settings;
  state->runtime.selectedDevice = kNoDevice;
}

bool IsValidState(const CameraState& state) {
  return std::memcmp(state.magic, kStateMagic, sizeof(kStateMagic)) == 0 &&
         state.layoutVersion == kStateLayoutVersion && state.size == sizeof(CameraState);
}

}  // namespace tarvo::sim
