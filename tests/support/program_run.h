// Runs one of the project's programs as its own process: to the end, collecting its exit status,
// standard output and standard error, or started in the background so that a test can interrupt
// it as a user at the terminal would. POSIX (fork, exec, signals) and Win32 (CreateProcess,
// console control events) implementations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::test {

struct ProgramRun {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out;  // standard output and error, with line ends as "\n" on every system
  std::string err;
};

// The program gets the arguments as shell words (blanks separate words; single or double
// quotes group them, so quote paths), the input on standard input. Its output passes through
// files in the scratch folder.
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& scratchFolder, const std::string& input = "");

// The words of an argument text as RunProgram reads it.
std::vector<std::string> ShellWords(const std::string& arguments);

// A program running in the background, its standard output discarded and its standard error
// going to a file (emptied before it starts).
class StartedProgram {
 public:
  StartedProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& errPath);
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool Started() const { return started_; }
  // The terminal's interrupt key: SIGINT on Linux, Ctrl-Break on Windows (a program in a
  // process group of its own takes no Ctrl-C from others).
  void Interrupt();

  struct End {
    bool exited = false;       // ended by itself with an exit status
    int status = -1;           // that status
    bool interrupted = false;  // ended by the interrupt's default action
  };
  End Wait();

 private:
  bool started_ = false;
  std::intptr_t process_ = -1;  // pid or process HANDLE
  std::uint32_t id_ = 0;
};

}  // namespace tarvo::test
