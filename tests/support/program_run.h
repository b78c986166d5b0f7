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

  // The requests to stop that a user or the system sends: on Linux SIGINT (the terminal's
  // interrupt key), SIGTERM and SIGHUP; on Windows each is Ctrl-Break (a program in a process
  // group of its own takes no Ctrl-C from others, and a console's closing cannot be sent).
  enum class StopRequest { kNone, kInterrupt, kTerminate, kHangUp };
  void RequestStop(StopRequest request);

  // Ends the program at once, as a crash or a power loss would (SIGKILL, TerminateProcess).
  void Kill();

  struct End {
    bool exited = false;                       // ended by itself with an exit status
    int status = -1;                           // that status
    StopRequest endedBy = StopRequest::kNone;  // ended by this request's default action
  };
  End Wait();

 private:
  bool started_ = false;
  std::intptr_t process_ = -1;  // pid or process HANDLE
  std::uint32_t id_ = 0;
  StopRequest lastRequest_ = StopRequest::kNone;
};

}  // namespace tarvo::test
