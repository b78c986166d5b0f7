// A step of a run as tarvo-cli shows it. A packet's programming order, the plan of a dry run and
// the progress of a running command describe their steps alike, so a step reads the same in
// `packet show`, in `program --dry-run` and on the progress line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/run_plan.h"
#include "link/link.h"

namespace tarvo::cli {

struct PlannedStep {
  // program, pass-over, reboot, wait, unknown (order steps); backup, final-reboot,
  // version-check, verify, verify-pass-over, verify-reboot (steps a run adds).
  std::string kind;
  int device = -1;            // the device of a program, pass-over or verify step
  int code = -1;              // the programming order's code of the step; -1 for added steps
  std::uint32_t waitMs = 0;   // a wait step's wait; a reboot's countdown
  std::uint32_t pauseMs = 0;  // the pause after a device step
  std::string text;           // the step in words
};

// The steps of a programming order, code by code, as a run on this interface takes them: up
// to the end mark, or up to a code no run knows, which ends the order as well (kind "unknown").
std::vector<PlannedStep> OrderSteps(const ProgramOrder& order, InterfaceType interfaceType);

// The steps of a run's plan (run_plan.h), in words.
void AppendRunSteps(const std::vector<RunStep>& planned, std::vector<PlannedStep>* steps);

// Steps that take no time: a device passed over, the version check that ends an update.
bool IsInstantStep(const PlannedStep& step);

}  // namespace tarvo::cli
