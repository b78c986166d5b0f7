// What tarvo-cli prints after a run, rendered from the engine's run report: the devices that
// failed with what the log holds about them (function return, failed address, the device error
// text), an incomplete backup, a camera that did not come back as itself, the version check,
// and the exit status.
#pragma once

#include <string>
#include <vector>

#include "engine/run_report.h"

namespace tarvo::cli {

// 0 when the run succeeded, 1 otherwise.
int RunExitStatus(const RunReport& report);

// The lines that tell what went wrong, one problem a line, beside the summary line the run
// itself shows; none for a run that succeeded.
std::vector<std::string> RunProblemLines(const RunReport& report);

// Prints "Backup file: PATH" on stdout (when a backup was written) and the problem lines on
// stderr.
void PrintRunSummary(const RunReport& report);

}  // namespace tarvo::cli
