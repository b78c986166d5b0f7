#include <cstddef>
#include <cstdint>
#include <string_view>

#include "firmware/image_version_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  tarvo::ImageVersion version;
  tarvo::ParseImageVersionName(tarvo::ImageFileName(path), &version);
  return 0;
}
