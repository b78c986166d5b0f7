// The camera models this programmer serves, as GetCameraType reports them.
#pragma once

#include <cstdint>

namespace tarvo {

inline constexpr std::uint16_t kAcceptedCameraTypes[] = {0x1000, 0x1010};

inline bool IsAcceptedCameraType(std::uint16_t type) {
  for (std::uint16_t accepted : kAcceptedCameraTypes) {
    if (type == accepted) return true;
  }
  return false;
}

}  // namespace tarvo
