#include "support/program_run.h"

#include <sys/wait.h>

#include <cstdio>

#include "support/temp_folder.h"

namespace tarvo::test {

ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& scratchFolder, const std::string& input) {
  const std::string errPath = scratchFolder + "/stderr.txt";
  const std::string inPath = scratchFolder + "/stdin.txt";
  WriteFileText(inPath, input);
  const std::string command =
      "'" + program + "' " + arguments + " <'" + inPath + "' 2>'" + errPath + "'";
  ProgramRun run;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = ReadFileText(errPath);
  return run;
}

}  // namespace tarvo::test
