#pragma once
// Runs a piece of a test in a forked child, for limits (address space, file
// size) that must not touch the test process itself.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

namespace olm::test {

// What a child ended with: its exit status, or the signal that ended it.
struct ChildOutcome {
  bool exited = false;
  int status = -1;  // exit status when exited
  int signal = 0;   // the ending signal otherwise
};

// Runs body in a forked child (its return value is the exit status, output
// flushed first) and waits for it.
inline ChildOutcome RunInChild(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    int status = 99;
    try {
      status = body();
    } catch (...) {
      status = 98;
    }
    std::fflush(nullptr);
    ::_exit(status);
  }
  ChildOutcome outcome;
  int st = 0;
  if (pid < 0 || ::waitpid(pid, &st, 0) != pid) return outcome;
  outcome.exited = WIFEXITED(st);
  if (outcome.exited) outcome.status = WEXITSTATUS(st);
  if (WIFSIGNALED(st)) outcome.signal = WTERMSIG(st);
  return outcome;
}

// The calling process's address space now, in bytes.
inline long long AddressSpace() {
  long long pages = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%lld", &pages) != 1) pages = 0;
    std::fclose(f);
  }
  return pages * ::sysconf(_SC_PAGESIZE);
}

// Lowers a soft limit of the calling process (for use inside RunInChild).
inline bool LowerLimit(int resource, rlim_t value) {
  struct rlimit r {};
  if (::getrlimit(resource, &r) != 0) return false;
  r.rlim_cur = value;
  return ::setrlimit(resource, &r) == 0;
}

}  // namespace olm::test
