// What the tests that run code in a child process share: the body's result as an exit code,
// and the child's status as a number.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

namespace protowrap::testing {

/// What `body` returned, or 99 when it threw: the code the child exits with.
template <typename Body>
int ExitCodeOf(Body& body) {
  try {
    return body();
  } catch (...) {
    return 99;
  }
}

/// Waits for `child`: its exit code, or 100 + the signal that ended it.
inline int StatusOf(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

}  // namespace protowrap::testing
