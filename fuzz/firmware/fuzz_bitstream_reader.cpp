#include "reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const tarvo::DeviceIndex devices[] = {tarvo::DEVICE_MAIN_FPGA, tarvo::DEVICE_MEM_FPGA_1,
                                               tarvo::DEVICE_MEM_FPGA_2, tarvo::DEVICE_HDSDI_FPGA};
  tarvo::fuzz::ReadAndFinish(&tarvo::ReadBitstreamBytes, devices,
                             sizeof devices / sizeof devices[0], data, size);
  return 0;
}
