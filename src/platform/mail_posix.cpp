#include "platform/mail.h"

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace tarvo::platform {
namespace {

constexpr const char* kHandOffProgram = "xdg-email";
constexpr long kPollNanoseconds = 20L * 1000 * 1000;

std::vector<std::string> HandOffArguments(const MailMessage& message) {
  std::vector<std::string> arguments = {kHandOffProgram, "--utf8", "--subject",
                                        message.subject, "--body", message.body};
  for (const std::string& attachment : message.attachments) {
    arguments.push_back("--attach");
    arguments.push_back(attachment);
  }
  arguments.push_back(message.recipient);
  return arguments;
}

int WaitForChild(pid_t child, const std::function<void()>& whileWaiting) {
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(child, &status, whileWaiting ? WNOHANG : 0);
    if (done == child) {
      if (WIFEXITED(status)) return WEXITSTATUS(status);
      if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
      continue;
    }
    if (done < 0 && errno != EINTR) return -1;
    if (whileWaiting) {
      whileWaiting();
      const timespec pause{0, kPollNanoseconds};
      nanosleep(&pause, nullptr);
    }
  }
}

}  // namespace

MailResult HandMailToDesktop(const MailMessage& message,
                             const std::function<void()>& whileWaiting) {
  std::vector<std::string> arguments = HandOffArguments(message);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  MailResult result;
  pid_t child = 0;
  const int spawnError =
      posix_spawnp(&child, kHandOffProgram, nullptr, nullptr, argv.data(), environ);
  if (spawnError != 0) {
    result.outcome = spawnError == ENOENT ? MailOutcome::kNoMailProgram : MailOutcome::kNotStarted;
    result.systemError = spawnError;
    return result;
  }
  result.exitStatus = WaitForChild(child, whileWaiting);
  result.outcome =
      result.exitStatus == 0 ? MailOutcome::kHandedOver : MailOutcome::kMailProgramFailed;
  return result;
}

const char* MailHandOffErrorName(int exitStatus) {
  switch (exitStatus) {
    case 0:
      return "no error";
    case 1:
      return "error in the command line";
    case 2:
      return "the log file was not found";
    case 3:
      return "no mail program is set up";
    case 4:
      return "the action failed";
    case 5:
      return "no permission to read the log file";
    default:
      return "unknown error";
  }
}

}  // namespace tarvo::platform
