#include "reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tarvo::DeviceIndex devices[] = {tarvo::DEVICE_POWER_UP};
  tarvo::fuzz::ReadAndFinish(&tarvo::ReadRomImageBytes, devices, sizeof devices / sizeof devices[0],
                             data, size);
  return 0;
}
