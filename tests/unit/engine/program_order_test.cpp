// How the runs read programming order codes, and the order a loaded packet is run in.
#include "engine/program_order.h"

#include <gmock/gmock.h>

#include "support/temp_folder.h"

namespace tarvo::test {
namespace {

using ::testing::ElementsAre;

// End is tested first, then reboot, then the wait bit, then a device index; anything else
// ends the list.
TEST(OrderSteps, CodesAreTestedInTheirFixedOrder) {
  const struct {
    std::uint16_t code;
    OrderStepKind kind;
    std::uint32_t value;  // device or seconds
  } cases[] = {{0xFFFF, OrderStepKind::kEnd, 0},   {0x4000, OrderStepKind::kReboot, 0},
               {0x2005, OrderStepKind::kWait, 5},  {0x20FF, OrderStepKind::kWait, 255},
               {0x6000, OrderStepKind::kWait, 0},  {0x4001, OrderStepKind::kStop, 0},
               {0x0009, OrderStepKind::kStop, 0},  {0x0000, OrderStepKind::kDevice, 0},
               {0x0008, OrderStepKind::kDevice, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const OrderStep step = ClassifyOrderStep(c.code);
    EXPECT_EQ(step.kind, c.kind);
    if (step.kind == OrderStepKind::kDevice) {
      EXPECT_EQ(step.device, c.value);
    }
    if (step.kind == OrderStepKind::kWait) {
      EXPECT_EQ(step.seconds, c.value);
    }
  }
}

TEST(OrderOfDevices, TakesEachDeviceOnceAndEnds) {
  const ProgramOrder order = OrderOfDevices({7, 1, 7, 0, 12, 1});
  EXPECT_THAT(std::vector<std::uint16_t>(order.begin(), order.begin() + 4),
              ElementsAre(7, 1, 0, ORDER_END));
  EXPECT_EQ(order[63], ORDER_END);
  EXPECT_EQ(OrderOfDevices({})[0], ORDER_END);
}

TEST(DevicePauses, FollowTheDeviceKind) {
  EXPECT_EQ(ProgramPauseMilliseconds(DEVICE_BOOT_UP), 2000u);
  EXPECT_EQ(ProgramPauseMilliseconds(DEVICE_MAIN_UP), 1000u);
  EXPECT_EQ(ProgramPauseMilliseconds(DEVICE_POWER_UP), 40000u);
  EXPECT_EQ(ProgramPauseMilliseconds(DEVICE_HDSDI_FPGA), 4000u);
  EXPECT_EQ(VerifyPauseMilliseconds(DEVICE_COLOR_DATA), 4000u);
  EXPECT_EQ(VerifyPauseMilliseconds(DEVICE_BOOT_FPGA), 2000u);
  EXPECT_EQ(VerifyPauseMilliseconds(DEVICE_MEM_FPGA_2), 1000u);
}

class RunnableOrderOfPacket : public ::testing::Test {
 protected:
  CFirmwarePacket& Load(const std::vector<DeviceIndex>& devices, const ProgramOrder* order) {
    CFirmwarePacket build;
    EXPECT_TRUE(build.CreatePacket());
    const std::vector<std::uint8_t> bytes(16, 0x42);
    for (DeviceIndex device : devices) {
      EXPECT_TRUE(build.AddImage(static_cast<std::uint16_t>(device), 0, 16, bytes.data(), {}));
    }
    if (order != nullptr) {
      EXPECT_TRUE(build.SetOrder(*order));
    }
    EXPECT_TRUE(build.SealPacket());
    const std::string path = temp_.File("p.tvf");
    EXPECT_TRUE(build.SavePacket(path));
    EXPECT_TRUE(packet_.LoadPacket(path)) << packet_.LastError();
    return packet_;
  }
  TempFolder temp_;
  CFirmwarePacket packet_;
};

// Older backups stored 64 zero codes: run as-is that programs Boot uP 64 times and nothing else.
TEST_F(RunnableOrderOfPacket, ZeroOrderBecomesTheEntriesOnce) {
  const ProgramOrder order = RunnableOrder(Load({2, 0, 5}, nullptr));
  EXPECT_THAT(std::vector<std::uint16_t>(order.begin(), order.begin() + 4),
              ElementsAre(2, 0, 5, ORDER_END));
}

TEST_F(RunnableOrderOfPacket, StoredOrderIsKept) {
  ProgramOrder stored;
  stored.fill(ORDER_END);
  stored[0] = 0;
  stored[1] = ORDER_REBOOT;
  stored[2] = 0;
  EXPECT_EQ(RunnableOrder(Load({0, 5}, &stored)), stored);
  // One zero code among others is Boot uP, not an old backup.
  ProgramOrder mostlyZero{};
  mostlyZero[63] = ORDER_END;
  EXPECT_EQ(RunnableOrder(Load({0}, &mostlyZero)), mostlyZero);
}

TEST(RunnableOrder, NothingLoadedRunsNothing) {
  CFirmwarePacket empty;
  EXPECT_EQ(RunnableOrder(empty)[0], ORDER_END);
}

}  // namespace
}  // namespace tarvo::test
