#include "reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tarvo::DeviceIndex devices[] = {tarvo::DEVICE_BOOT_UP};
  tarvo::fuzz::ReadAndFinish(&tarvo::ReadHexImageBytes, devices, sizeof devices / sizeof devices[0],
                             data, size);
  return 0;
}
