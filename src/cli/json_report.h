// The pieces every JSON document of tarvo-cli (--json) is built from: the run report's pieces
// (report/run_report_json.h), shared with the service history, and the plan's step. docs/json.md
// describes them.
#pragma once

#include "cli/plan_steps.h"
#include "report/run_report_json.h"

namespace tarvo::cli::json {

using report_json::Device;
using report_json::DeviceOutcome;
using report_json::Hex;
using report_json::InterfaceName;
using report_json::Json;
using report_json::Log;
using report_json::Packet;
using report_json::Run;
using report_json::RunErrorCode;
using report_json::Version;

// Raised whenever a key changes its meaning or goes away; new keys keep the version.
inline constexpr int kSchemaVersion = 1;

Json Step(const PlannedStep& step);

}  // namespace tarvo::cli::json
