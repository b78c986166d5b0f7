// How a dry run's plan reads as text (docs/json.md's examples pin its JSON).
#include "cli/dry_run_plan.h"

#include <gtest/gtest.h>

namespace tarvo::cli {
namespace {

DryRunPlan SmallPlan() {
  DryRunPlan plan;
  plan.serialNumber = 1234;
  plan.interfaceName = "gige";
  plan.packet.path = "/p/update.tvf";
  plan.devices.push_back(
      {2, {1, 4, 10}, {1, 4, 11}, PlanDecision::kProgram, "the packet's version is newer"});
  plan.devices.push_back(
      {7, {2, 1, 0}, {}, PlanDecision::kRefused, "the packet has no image for it"});
  plan.steps.push_back({"program", 2, 2, 0, 1000, "Erase and program Main FPGA, then pause 1 s"});
  plan.steps.push_back(
      {"final-reboot", -1, -1, 80000, 0, "Reboot the camera and wait 80 s for it"});
  return plan;
}

TEST(DryRunPlanTest, TextListsDevicesWithTheirVersionsThenTheNumberedSteps) {
  EXPECT_EQ(
      PlanText(SmallPlan()),
      "Dry run: camera SN 1234 on GigE, packet /p/update.tvf; nothing on the camera is "
      "changed.\n"
      "Device       Camera      Packet      Decision\n"
      "Main FPGA    001 V04.10  001 V04.11  will be programmed: the packet's version is newer\n"
      "HDSDI FPGA   002 V01.00  -           refused: the packet has no image for it\n"
      "Steps as they would run:\n"
      "   1. Erase and program Main FPGA, then pause 1 s\n"
      "   2. Reboot the camera and wait 80 s for it\n");

  DryRunPlan idle = SmallPlan();
  idle.steps.clear();
  idle.emergencyMode = true;
  const std::string text = PlanText(idle);
  EXPECT_NE(text.find("\nEmergency mode: version safeguards lifted, no backup.\n"),
            std::string::npos);
  const std::string last = "\nNo device is selected: the run would do nothing.\n";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

}  // namespace
}  // namespace tarvo::cli
