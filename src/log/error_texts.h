// The texts of the program's own codes, with the camera error texts for every other code.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// File error text with the file name filled in (file error table), or the camera error text.
std::string FileErrorText(std::uint32_t code, const std::string& fileName);

// Programming and response error text (response codes and ERR_VERIFY_FAILED), or the camera
// error text.
std::string DeviceErrorText(std::uint32_t code);

}  // namespace tarvo
