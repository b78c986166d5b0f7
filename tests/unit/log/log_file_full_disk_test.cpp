// A disk that fills up while the log is written, made with the file size limit of the process.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "log_file_fixture.h"

namespace tarvo {
namespace {

TEST_F(LogFileTest, WriteErrorStopsLoggingAndKeepsWhatTheFileHeld) {
  Run({"before"});
  const std::string before = Content();
  const pid_t child = fork();
  if (child == 0) {
    // The disk fills up a little after the banner.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = before.size() + 150;
    setrlimit(RLIMIT_FSIZE, &limit);
    LogFile log(&FixedTime);
    if (!log.Open(Folder())) _exit(2);
    for (int i = 0; i < 100 && log.IsOpen(); ++i)
      log.WriteLog("line %d of a run on a full disk", i);
    const bool stopped = !log.IsOpen();
    log.Close();
    _exit(stopped ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string after = Content();
  const std::size_t kept = before.size() - 8;
  EXPECT_EQ(after.substr(0, kept), before.substr(0, kept));
  EXPECT_LE(after.size(), before.size() + 150);
}

}  // namespace
}  // namespace tarvo
