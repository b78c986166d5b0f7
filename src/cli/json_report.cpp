#include "cli/json_report.h"

namespace tarvo::cli::json {

Json Step(const PlannedStep& step) {
  return {{"kind", step.kind},
          {"code", step.code < 0 ? Json() : Hex(static_cast<std::uint32_t>(step.code), 4)},
          {"device", step.device < 0 ? Json() : Device(static_cast<unsigned>(step.device))},
          {"waitMs", step.waitMs},
          {"pauseMs", step.pauseMs},
          {"text", step.text}};
}

}  // namespace tarvo::cli::json
