#include <windows.h>

#include "platform/folders.h"
#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tarvo::test {

namespace {

// One argument as the C runtime of the started program splits it again (CommandLineToArgvW's
// rules: backslashes count only in front of a quote).
std::string QuotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = QuotedArgument(program);
  for (const std::string& argument : arguments) line += " " + QuotedArgument(argument);
  return line;
}

HANDLE OpenInherited(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts the command line with the standard streams on the files; an empty record when it
// cannot.
PROCESS_INFORMATION Spawn(std::string commandLine, const std::string& inPath,
                          const std::string& outPath, const std::string& errPath, DWORD flags) {
  PROCESS_INFORMATION process{};
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = OpenInherited(inPath, GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = OpenInherited(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = OpenInherited(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                      &startup, &process)) {
    process = PROCESS_INFORMATION{};
  }
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  return process;
}

// Text streams of Windows programs end their lines in CR LF.
std::string WithLineFeeds(const std::string& text) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& scratchFolder, const std::string& input) {
  const std::string inPath = platform::JoinPath(scratchFolder, "stdin.txt");
  const std::string outPath = platform::JoinPath(scratchFolder, "stdout.txt");
  const std::string errPath = platform::JoinPath(scratchFolder, "stderr.txt");
  WriteFileText(inPath, input);
  ProgramRun run;
  const PROCESS_INFORMATION process =
      Spawn(CommandLine(program, ShellWords(arguments)), inPath, outPath, errPath, 0);
  if (process.hProcess == nullptr) return run;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  if (GetExitCodeProcess(process.hProcess, &status)) run.status = static_cast<int>(status);
  CloseHandle(process.hProcess);
  run.out = WithLineFeeds(ReadFileText(outPath));
  run.err = WithLineFeeds(ReadFileText(errPath));
  return run;
}

StartedProgram::StartedProgram(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& errPath) {
  WriteFileText(errPath, "");
  // A process group of its own, so that the interrupt reaches this program only.
  const PROCESS_INFORMATION process =
      Spawn(CommandLine(program, arguments), "NUL", "NUL", errPath, CREATE_NEW_PROCESS_GROUP);
  started_ = process.hProcess != nullptr;
  process_ = reinterpret_cast<std::intptr_t>(process.hProcess);
  id_ = process.dwProcessId;
}

StartedProgram::~StartedProgram() {
  if (!started_) return;
  Kill();
  Wait();
}

void StartedProgram::Kill() {
  if (started_) TerminateProcess(reinterpret_cast<HANDLE>(process_), 1);
}

void StartedProgram::RequestStop(StopRequest request) {
  lastRequest_ = request;
  if (started_) GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, id_);
}

StartedProgram::End StartedProgram::Wait() {
  End end;
  if (!started_) return end;
  HANDLE process = reinterpret_cast<HANDLE>(process_);
  WaitForSingleObject(process, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process, &status);
  CloseHandle(process);
  started_ = false;
  // The default console control handler ends a process with STATUS_CONTROL_C_EXIT.
  const bool stopped = status == static_cast<DWORD>(STATUS_CONTROL_C_EXIT);
  end.endedBy = stopped ? lastRequest_ : StopRequest::kNone;
  end.exited = !stopped;
  end.status = end.exited ? static_cast<int>(status) : -1;
  return end;
}

// Windows has no file size limit for a process: the tests that need a full disk are left out of
// the Windows run (NOT_ON_WINDOWS in their CMakeLists.txt).
int RunOnFullDisk(std::uint64_t, const std::function<int()>&) {
  return -1;
}

}  // namespace tarvo::test
