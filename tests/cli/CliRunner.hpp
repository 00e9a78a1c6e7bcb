#pragma once
// Runs the olm binary as a child process and captures what it prints.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace olm::test {

struct CliResult {
  int status = -1;     // exit status, -1 when the process did not exit normally
  std::string output;  // stdout, and stderr too unless separated
};

// Runs `olm ARGS` through the shell (ARGS is shell text: quote paths).
// With mergeStderr false stderr is discarded.
inline CliResult RunCli(const std::string& args, bool mergeStderr = true) {
  const std::string cmd =
      std::string(OLM_BINARY) + " " + args + (mergeStderr ? " 2>&1" : " 2>/dev/null");
  CliResult r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.output.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace olm::test
