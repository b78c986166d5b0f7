#include "reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tarvo::DeviceIndex devices[] = {tarvo::DEVICE_BOOT_FPGA};
  tarvo::fuzz::ReadAndFinish(&tarvo::ReadBootBitstreamBytes, devices,
                             sizeof devices / sizeof devices[0], data, size);
  return 0;
}
