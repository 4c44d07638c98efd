// Runs test code in a child process under an address-space limit, for what must happen when
// memory runs out (POSIX).
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace protowrap::testing {

/// Runs `body` in a child limited to `limit` bytes of address space; returns its exit status
/// (99 when `body` threw, 100 + the signal when a signal ended it).
template <typename Body>
int InLimitedChild(rlim_t limit, Body body) {
  const pid_t child = fork();
  if (child == 0) {
    const rlimit cap{limit, limit};
    setrlimit(RLIMIT_AS, &cap);
    // exit, not _Exit: coverage counters are written at exit. The child never returns into the
    // test runner, whatever `body` does.
    int code = 99;
    try {
      code = body();
    } catch (...) {
    }
    std::exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

/// Tests that limit memory; skipped where sanitizers or an emulator need more address space.
class MemoryLimitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("PROTOWRAP_NO_MEMORY_LIMITS") != nullptr) {
      GTEST_SKIP() << "sanitizers and emulators need more address space than the limits allow";
    }
  }
};

}  // namespace protowrap::testing
