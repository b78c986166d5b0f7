#include "log/camera_error_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

// The buffer must be longer than the text; a tiny one gets as much as fits, terminated.
TEST(CameraErrorText, ShortBuffersGetTheShortageTold) {
  const std::string line = CameraErrorText(0x80001080);
  std::string buffer(line.size() + 1, 'x');
  CameraErrorText(0x80001080, buffer.data(), static_cast<std::uint32_t>(line.size() + 1));
  EXPECT_EQ(buffer.c_str(), line);
  CameraErrorText(0x80001080, buffer.data(), static_cast<std::uint32_t>(line.size()));
  EXPECT_STREQ(buffer.c_str(), "Error buffer too short. err: 80001080");
  CameraErrorText(0x80001080, buffer.data(), 6);
  EXPECT_STREQ(buffer.c_str(), "Error");
}

}  // namespace
}  // namespace tarvo
