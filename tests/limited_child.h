// Runs test code in a child process under an address-space limit, for what must happen when
// memory runs out (POSIX).
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/child_process.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace protowrap::testing {

/// Runs `body` in a child process whose address space `limit()` caps (it returns the cap, or 0 when
/// it cannot tell one); returns the child's exit status: 99 when `body` threw, 100 + the signal
/// when a signal ended it, 255 when there was no cap.
template <typename Limit, typename Body>
int InChild(Limit limit, Body body) {
  const pid_t child = fork();
  if (child == 0) {
    const rlim_t cap = limit();
    if (cap == 0) {
      std::exit(255);
    }
    const rlimit both{cap, cap};
    setrlimit(RLIMIT_AS, &both);
    // exit, not _Exit: coverage counters are written at exit. The child never returns into the
    // test runner, whatever `body` does.
    std::exit(ExitCodeOf(body));
  }
  return StatusOf(child);
}

/// Runs `body` in a child limited to `limit` bytes of address space; returns its exit status
/// (99 when `body` threw, 100 + the signal when a signal ended it).
template <typename Body>
int InLimitedChild(rlim_t limit, Body body) {
  return InChild([limit] { return limit; }, body);
}

/// The address space this process takes now, in bytes (Linux), or 0 when unknown.
inline rlim_t AddressSpaceNow() {
  std::ifstream status("/proc/self/status");
  std::string field;
  rlim_t kilobytes = 0;
  while (status >> field) {
    if (field == "VmSize:" && status >> kilobytes) {
      return kilobytes * 1024;
    }
  }
  return 0;
}

/// Runs `body` in a child that may take `spare` bytes of address space beyond what it holds once
/// the heap has handed back what it can (what earlier code released would serve `body` too);
/// returns its exit status as InLimitedChild does, or -1 when the address space is unknown.
template <typename Body>
int WithSpareAddressSpace(rlim_t spare, Body body) {
  const int code = InChild(
      [spare]() -> rlim_t {
#if defined(__GLIBC__)
        malloc_trim(0);
#endif
        const rlim_t now = AddressSpaceNow();
        return now == 0 ? 0 : now + spare;
      },
      body);
  return code == 255 ? -1 : code;
}

/// The header check's dearest input: a wrap header of `bytes` of enumerators inside a conditional
/// block (it keeps a place for each, and a hash of each name).
inline std::string CostlyWrapHeader(std::size_t bytes) {
  std::string text = "PROTOCOL_STRUCT sCG_X_PROTOCOL[] = {\n//#ifdef _DEBUG\n";
  for (int i = 0; text.size() < bytes; ++i) {
    text += "MAKE_PROTOCOL_INFO(CG_A" + std::to_string(i) + "), ";
  }
  text += "\n//#endif\nMAKE_PROTOCOL_INFO_EOR() };\n";
  return text;
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
