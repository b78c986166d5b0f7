// Runs one of the project's programs as its own process and collects its exit status, standard
// output and standard error.
#pragma once

#include <string>

namespace tarvo::test {

struct ProgramRun {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
};

// The program gets the arguments as shell words (quote paths), the input on standard input;
// its standard error passes through a file in the given folder.
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& scratchFolder, const std::string& input = "");

}  // namespace tarvo::test
