#include "cli/plan_steps.h"

#include "engine/program_order.h"
#include "log/format_text.h"

namespace tarvo::cli {

namespace {

std::string Seconds(std::uint32_t milliseconds) {
  return FormatText("%u s", milliseconds / 1000);
}

// A reboot of the order carries its code; the reboots a run adds have none.
PlannedStep RebootStep(const char* kind, int code, std::uint32_t waitMs) {
  return {kind, -1, code, waitMs, 0, "Reboot the camera and wait " + Seconds(waitMs) + " for it"};
}

PlannedStep WaitStep(std::uint32_t waitMs) {
  return {"wait", -1, static_cast<int>(ORDER_WAIT | (waitMs / 1000)),
          waitMs, 0,  "Wait " + Seconds(waitMs)};
}

PlannedStep ProgramStep(DeviceIndex device, std::uint32_t pauseMs) {
  return {"program",
          static_cast<int>(device),
          static_cast<int>(device),
          0,
          pauseMs,
          FormatText("Erase and program %s, then pause %s", DeviceDisplayName(device),
                     Seconds(pauseMs).c_str())};
}

}  // namespace

std::vector<PlannedStep> OrderSteps(const ProgramOrder& order, InterfaceType interfaceType) {
  std::vector<PlannedStep> steps;
  for (std::uint16_t code : order) {
    const OrderStep step = ClassifyOrderStep(code);
    switch (step.kind) {
      case OrderStepKind::kEnd:
        return steps;
      case OrderStepKind::kStop:
        steps.push_back({"unknown", -1, code, 0, 0,
                         FormatText("Unknown step 0x%04x: the order ends here", code)});
        return steps;
      case OrderStepKind::kReboot:
        steps.push_back(
            RebootStep("reboot", ORDER_REBOOT,
                       static_cast<std::uint32_t>(RebootWaitSeconds(interfaceType)) * 1000u));
        break;
      case OrderStepKind::kWait:
        steps.push_back(WaitStep(step.seconds * 1000u));
        break;
      case OrderStepKind::kDevice:
        steps.push_back(ProgramStep(step.device, ProgramPauseMilliseconds(step.device)));
        break;
    }
  }
  return steps;
}

void AppendRunSteps(const std::vector<RunStep>& planned, std::vector<PlannedStep>* steps) {
  for (const RunStep& step : planned) {
    const int device = static_cast<int>(step.device);
    const char* name = DeviceDisplayName(step.device);
    switch (step.kind) {
      case RunStepKind::kReboot:
        steps->push_back(RebootStep("reboot", ORDER_REBOOT, step.waitMs));
        break;
      case RunStepKind::kWait:
        steps->push_back(WaitStep(step.waitMs));
        break;
      case RunStepKind::kPassOver:
        steps->push_back(
            {"pass-over", device, device, 0, 0, FormatText("Pass over %s (not selected)", name)});
        break;
      case RunStepKind::kProgram:
        steps->push_back(ProgramStep(step.device, step.pauseMs));
        break;
      case RunStepKind::kFinalReboot:
        steps->push_back(RebootStep("final-reboot", -1, step.waitMs));
        steps->push_back({"version-check", -1, -1, 0, 0,
                          "Connect, read the versions and check that every selected device "
                          "carries the packet's version"});
        break;
      case RunStepKind::kVerify:
        steps->push_back(
            {"verify", device, -1, 0, step.pauseMs,
             FormatText("Verify %s, then pause %s", name, Seconds(step.pauseMs).c_str())});
        break;
      case RunStepKind::kVersionDiffers:
      case RunStepKind::kNotVerifiable:
        steps->push_back({"verify-pass-over", device, -1, 0, 0,
                          FormatText("Pass over %s (%s)", name,
                                     step.kind == RunStepKind::kNotVerifiable
                                         ? "cannot be read back"
                                         : "the camera's version will differ from the packet's")});
        break;
      case RunStepKind::kVerifyReboot:
        steps->push_back(RebootStep("verify-reboot", -1, step.waitMs));
        break;
    }
  }
}

bool IsInstantStep(const PlannedStep& step) {
  return step.kind == "pass-over" || step.kind == "verify-pass-over" ||
         step.kind == "version-check" || step.kind == "unknown";
}

}  // namespace tarvo::cli
