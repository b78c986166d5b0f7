// How the runs read programming order codes: end is tested first, then reboot, then the wait
// bit, then a device index; anything else ends the list. What the runs do with each step is
// pinned against the camera by the engine's integration tests.
#include "engine/program_order.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(OrderSteps, CodesAreTestedInTheirFixedOrder) {
  const struct {
    std::uint16_t code;
    OrderStepKind kind;
    std::uint32_t value;  // device or seconds
  } cases[] = {{0xFFFF, OrderStepKind::kEnd, 0},    {0x4000, OrderStepKind::kReboot, 0},
               {0x20FF, OrderStepKind::kWait, 255}, {0x6000, OrderStepKind::kWait, 0},
               {0x4001, OrderStepKind::kStop, 0},   {0x0009, OrderStepKind::kStop, 0},
               {0x0008, OrderStepKind::kDevice, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const OrderStep step = ClassifyOrderStep(c.code);
    EXPECT_EQ(step.kind, c.kind);
    EXPECT_EQ(step.kind == OrderStepKind::kDevice ? step.device : step.seconds, c.value);
  }
}

}  // namespace
}  // namespace tarvo
