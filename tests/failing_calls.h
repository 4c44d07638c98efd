// Runs test code in a child process where chosen system calls fail, for the file layer's paths
// that only a failing kernel takes (Linux: a seccomp filter answers them with an error).
#pragma once

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "tests/child_process.h"

namespace protowrap::testing {

/// The child's exit status when the filter could not be installed (an emulator may refuse it).
constexpr int kNoFilter = 254;

/// Runs `body` in a child process in which every system call numbered in `calls` fails with
/// `error` and does nothing (with 0, it returns 0: a read or write of no bytes); returns the
/// child's exit status (`body`'s result, 99 when it threw, 100 + the signal when a signal ended
/// it, SIGALRM after 20 s, kNoFilter when calls could not be made to fail).
template <typename Body>
int WithFailingCalls(const std::vector<long>& calls, int error, Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::vector<sock_filter> program;
    program.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
    for (const long call : calls) {
      program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<__u32>(call), 0, 1));
      program.push_back(BPF_STMT(
          BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<__u32>(error) & SECCOMP_RET_DATA)));
    }
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0) {
      std::_Exit(kNoFilter);
    }
    ::alarm(20);  // a call retried for ever ends the child
    // _Exit: what exit does (coverage counters written to files) may need the failing calls.
    std::_Exit(ExitCodeOf(body));
  }
  return StatusOf(child);
}

}  // namespace protowrap::testing
