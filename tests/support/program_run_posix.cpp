#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tarvo::test {

namespace {

// Runs the program with its standard streams on the given files; the child's wait status.
pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::string& inPath, const std::string& outPath, const std::string& errPath) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int in = open(inPath.c_str(), O_RDONLY);
  const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(in, STDIN_FILENO);
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& scratchFolder, const std::string& input) {
  const std::string inPath = scratchFolder + "/stdin.txt";
  const std::string outPath = scratchFolder + "/stdout.txt";
  const std::string errPath = scratchFolder + "/stderr.txt";
  WriteFileText(inPath, input);
  ProgramRun run;
  const pid_t pid = Spawn(program, ShellWords(arguments), inPath, outPath, errPath);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFileText(outPath);
  run.err = ReadFileText(errPath);
  return run;
}

StartedProgram::StartedProgram(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& errPath) {
  WriteFileText(errPath, "");
  const pid_t pid = Spawn(program, arguments, "/dev/null", "/dev/null", errPath);
  started_ = pid > 0;
  process_ = pid;
  id_ = static_cast<std::uint32_t>(pid);
}

StartedProgram::~StartedProgram() {
  if (!started_) return;
  Kill();
  Wait();
}

void StartedProgram::Kill() {
  if (started_) kill(static_cast<pid_t>(process_), SIGKILL);
}

namespace {

constexpr struct {
  StartedProgram::StopRequest request;
  int signal;
} kStopSignals[] = {{StartedProgram::StopRequest::kInterrupt, SIGINT},
                    {StartedProgram::StopRequest::kTerminate, SIGTERM},
                    {StartedProgram::StopRequest::kHangUp, SIGHUP}};

}  // namespace

void StartedProgram::RequestStop(StopRequest request) {
  for (const auto& stop : kStopSignals) {
    if (started_ && stop.request == request) kill(static_cast<pid_t>(process_), stop.signal);
  }
}

StartedProgram::End StartedProgram::Wait() {
  End end;
  int status = 0;
  if (!started_ || waitpid(static_cast<pid_t>(process_), &status, 0) != process_) return end;
  started_ = false;
  end.exited = WIFEXITED(status);
  end.status = end.exited ? WEXITSTATUS(status) : -1;
  for (const auto& stop : kStopSignals) {
    if (WIFSIGNALED(status) && WTERMSIG(status) == stop.signal) end.endedBy = stop.request;
  }
  return end;
}

int RunOnFullDisk(std::uint64_t limitBytes, const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = limitBytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(body());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace tarvo::test
