#pragma once
// Work a test runs in a child process of its own, so that what it sets up
// (a file-size limit) or how it ends cannot hurt the test runner.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace testing_support {

// Runs `body` in a child process, which ends with what `body` returns, and
// returns how the child ended (as waitpid tells it).
inline int InChild(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

// Runs `body` in a child whose files may grow to `bytes` at most, the
// file-size signal ignored as the program ignores it, so that a write past
// the limit fails with "File too large"; 3 when the limit cannot be set.
inline int InChildUnderFileSizeLimit(rlim_t bytes, const std::function<int()>& body) {
  return InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
    return body();
  });
}

}  // namespace testing_support
