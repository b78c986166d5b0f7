#include "cli/cli_arguments.h"

#include <gtest/gtest.h>

namespace tarvo::cli {
namespace {

TEST(CliDevice, IndexOrEitherNameInAnyCase) {
  EXPECT_EQ(ParseDevice("0"), DEVICE_BOOT_UP);
  EXPECT_EQ(ParseDevice("8"), DEVICE_COLOR_DATA);
  EXPECT_EQ(ParseDevice("Main FPGA"), DEVICE_MAIN_FPGA);
  EXPECT_EQ(ParseDevice("mem fpga 2"), DEVICE_MEM_FPGA_2);
  EXPECT_EQ(ParseDevice("Color Data"), DEVICE_COLOR_DATA);
  EXPECT_EQ(ParseDevice("Colordata"), DEVICE_COLOR_DATA);
  EXPECT_EQ(ParseDevice("9"), std::nullopt);
  EXPECT_EQ(ParseDevice("-1"), std::nullopt);
  EXPECT_EQ(ParseDevice("1x"), std::nullopt);
  EXPECT_EQ(ParseDevice("Main"), std::nullopt);
  EXPECT_EQ(ParseDevice(""), std::nullopt);
}

TEST(CliOrder, StepsBecomeCodesAndTheRestIsEndMarks) {
  ProgramOrder order;
  std::vector<DeviceIndex> devices;
  std::string error;
  ASSERT_TRUE(ParseOrderSteps("Boot uP, reboot,wait:5,2,WAIT:0,wait:255", &order, &devices, &error))
      << error;
  EXPECT_EQ(order[0], 0);
  EXPECT_EQ(order[1], ORDER_REBOOT);
  EXPECT_EQ(order[2], ORDER_WAIT | 5);
  EXPECT_EQ(order[3], 2);
  EXPECT_EQ(order[4], ORDER_WAIT);
  EXPECT_EQ(order[5], ORDER_WAIT | 255);
  for (std::size_t step = 6; step < order.size(); ++step) ASSERT_EQ(order[step], ORDER_END);
  EXPECT_EQ(devices, (std::vector<DeviceIndex>{0, 2}));
}

TEST(CliOrder, BadStepsAreRefusedWithAMessage) {
  ProgramOrder order;
  std::vector<DeviceIndex> devices;
  for (const char* steps :
       {"", "2,,3", "wait:256", "wait:-1", "wait:", "wait:5s", "reboot now", "9", "2,Main FPGA"}) {
    std::string error;
    EXPECT_FALSE(ParseOrderSteps(steps, &order, &devices, &error)) << steps;
    EXPECT_FALSE(error.empty()) << steps;
  }
  std::string longest;
  for (int step = 0; step < 63; ++step) longest += step ? ",reboot" : "reboot";
  std::string error;
  EXPECT_TRUE(ParseOrderSteps(longest, &order, &devices, &error));
  EXPECT_EQ(order[63], ORDER_END);
  EXPECT_FALSE(ParseOrderSteps(longest + ",reboot", &order, &devices, &error));
}

TEST(CliImage, DeviceEqualsFile) {
  DeviceIndex device = 0;
  std::string path;
  std::string error;
  ASSERT_TRUE(ParseImageArgument("HDSDI FPGA=dir/a=b.bit", &device, &path, &error));
  EXPECT_EQ(device, DEVICE_HDSDI_FPGA);
  EXPECT_EQ(path, "dir/a=b.bit");
  EXPECT_FALSE(ParseImageArgument("file.bit", &device, &path, &error));
  EXPECT_FALSE(ParseImageArgument("2=", &device, &path, &error));
  EXPECT_FALSE(ParseImageArgument("x=file.bit", &device, &path, &error));
}

}  // namespace
}  // namespace tarvo::cli
