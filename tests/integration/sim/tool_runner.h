// Runs tarvo-camsim as its own process and collects what it prints.
#pragma once

#include <string>

#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tarvo::simtest {

using ToolRun = test::ProgramRun;

inline ToolRun RunTool(const std::string& arguments) {
  const test::TempFolder scratch;
  return test::RunProgram(TARVO_CAMSIM_PATH, arguments, scratch.Path());
}

}  // namespace tarvo::simtest
