#include "log/error_texts.h"

#include <gtest/gtest.h>

#include "log/camera_error_text.h"
#include "log/result_codes.h"

namespace tarvo {
namespace {

// The camera's lines for each layer's errors and warnings, device names, the common table, codes
// out of range and unknown layers; the program's own texts (a '%' in a file name stays as it is).
TEST(ErrorTexts, EveryCodeHasItsLine) {
  const std::pair<std::string, std::string> texts[] = {
      {CameraErrorText(0), "No error."},
      {CameraErrorText(0x80001000), "No error."},
      {CameraErrorText(0xC0031001),
       "Firmware warning c0031001 at device 'QLM Main uP': Function is already on."},
      {CameraErrorText(0x40002001),
       "Driver warning 40002001 at device 'Unknown device': Error code out of range."},
      {CameraErrorText(0x800010A2),
       "Firmware error 800010a2 at device 'Unknown device': Error code out of range."},
      {CameraErrorText(0x8014300D),
       "SDK DLL error 8014300d at device 'programmer library': A DLL could not be found."},
      {CameraErrorText(0x40104001),
       "Application warning 40104001 at device 'Corvane': Memory recorder buffer is full."},
      {CameraErrorText(0xE0001008),
       "Firmware warning e0001008 at device 'Unknown device': Disk full."},
      {CameraErrorText(0x20005013),
       "Undefined layer error 20005013 at device 'Unknown device': Error code out of range."},
      {FileErrorText(ERR_FILE_OPEN, "1%s.hex"), "File '1%s.hex' could not be opened!"},
      {FileErrorText(0x80001080, "a"),
       "Firmware error 80001080 at device 'Unknown device': Command is invalid."},
      {DeviceErrorText(ERR_RESPONSE_TIMEOUT), "Timeout waiting for response!"},
      {DeviceErrorText(0x10000006),
       "Undefined layer error 10000006 at device 'Unknown device': No error text available!"},
  };
  for (const auto& [text, expected] : texts) EXPECT_EQ(text, expected);
}

}  // namespace
}  // namespace tarvo
