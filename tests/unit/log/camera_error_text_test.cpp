#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "log/camera_error_text.h"

namespace tarvo {
namespace {

struct Example {
  std::uint32_t code;
  const char* line;
};

// Each layer, warnings and errors, the common table, empty entries and the out-of-range rule.
const Example kExamples[] = {
    {0, "No error."},
    {0x80001000, "No error."},
    {0x80001080, "Firmware error 80001080 at device 'Unknown device': Command is invalid."},
    {0xC0031001, "Firmware warning c0031001 at device 'QLM Main uP': Function is already on."},
    {0x80002005, "Driver error 80002005 at device 'Unknown device': Wrong driver for this OS."},
    {0x80002002, "Driver error 80002002 at device 'Unknown device': "},
    {0x40002001, "Driver warning 40002001 at device 'Unknown device': Error code out of range."},
    {0xA0003011, "SDK DLL error a0003011 at device 'Unknown device': Wrong library version"},
    {0x10000006,
     "Undefined layer error 10000006 at device 'Unknown device': No error text available!"},
    {0x800010A2, "Firmware error 800010a2 at device 'Unknown device': Error code out of range."},
    {0x800010A1, "Firmware error 800010a1 at device 'Unknown device': Sync PLL not locked."},
    {0x80111056,
     "Firmware error 80111056 at device 'BOOT uP': Erasing device flash/firmware failed."},
    {0x80342015,
     "Driver error 80342015 at device 'USB 3.0 driver': Device is disconnected or power off."},
    {0x8014300D,
     "SDK DLL error 8014300d at device 'programmer library': A DLL could not be found."},
    {0x40143001,
     "SDK DLL warning 40143001 at device 'programmer library': Buffers are still allocated"},
    {0x80114001,
     "Application error 80114001 at device 'Programmer': Error while waiting for a picture."},
    {0x40104001,
     "Application warning 40104001 at device 'Corvane': Memory recorder buffer is full."},
    {0x40104002, "Application warning 40104002 at device 'Corvane': Error code out of range."},
    {0xE0001008, "Firmware warning e0001008 at device 'Unknown device': Disk full."},
    {0x20005013,
     "Undefined layer error 20005013 at device 'Unknown device': Error code out of range."},
    {0x20005012, "Undefined layer error 20005012 at device 'Unknown device': Wrong camera version"},
    {0x80005001,
     "Undefined layer error 80005001 at device 'Unknown device': No error text available!"},
};

TEST(CameraErrorText, GivesTheLineOfEveryLayerAndTable) {
  for (const Example& example : kExamples) {
    EXPECT_EQ(CameraErrorText(example.code), example.line) << std::hex << example.code;
  }
}

TEST(CameraErrorText, BufferMustBeLongerThanTheText) {
  const std::string line = CameraErrorText(0x80001080);
  std::string buffer(line.size() + 1, 'x');
  CameraErrorText(0x80001080, buffer.data(), static_cast<std::uint32_t>(line.size() + 1));
  EXPECT_STREQ(buffer.c_str(), line.c_str());

  // A length equal to the text's length counts as too short.
  char small[80];
  CameraErrorText(0x80001080, small, static_cast<std::uint32_t>(line.size()));
  EXPECT_STREQ(small, "Error buffer too short. err: 80001080");
}

TEST(CameraErrorText, TinyBufferGetsAsMuchAsFitsAndStaysTerminated) {
  char tiny[6];
  std::memset(tiny, 'x', sizeof tiny);
  CameraErrorText(0x80001080, tiny, sizeof tiny);
  EXPECT_STREQ(tiny, "Error");
}

}  // namespace
}  // namespace tarvo
