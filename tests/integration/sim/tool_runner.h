// Runs tarvo-camsim as its own process and collects what it prints.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tarvo::simtest {

struct ToolRun {
  int exitCode = -1;
  std::string output;
};

inline ToolRun RunTool(const std::string& arguments) {
  ToolRun run;
  std::string command = std::string(TARVO_CAMSIM_PATH) + " " + arguments + " 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
    run.output.append(buffer, got);
  }
  int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace tarvo::simtest
