#pragma once
// Runs the olm binary as a child process and captures what it prints.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "TestSupport.hpp"

namespace olm::test {

struct CliResult {
  int status = -1;     // exit status, -1 when the process did not exit normally
  std::string output;  // stdout, and stderr too unless separated
  bool operator==(const CliResult&) const = default;
};
inline void PrintTo(const CliResult& r, std::ostream* os) {
  *os << "status " << r.status << ", output \"" << r.output << "\"";
}

// Whether a text, or what a run printed, holds part.
inline bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}
inline bool Has(const CliResult& r, const std::string& part) {
  return Has(r.output, part);
}

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

// Every member that `expected` names, at any depth, equals the one in
// `actual`; arrays hold as many elements, compared by position; numbers
// compare by value.
inline void ExpectSubset(const nlohmann::json& actual, const nlohmann::json& expected,
                         const std::string& where = "") {
  if (expected.is_array()) {
    ASSERT_TRUE(actual.is_array() && actual.size() == expected.size()) << where << ": " << actual;
    for (size_t i = 0; i < expected.size(); ++i)
      ExpectSubset(actual[i], expected[i], where + "/" + std::to_string(i));
  } else if (expected.is_object()) {
    ASSERT_TRUE(actual.is_object()) << where;
    for (const auto& [key, value] : expected.items()) {
      ASSERT_TRUE(actual.contains(key)) << where << "/" << key;
      ExpectSubset(actual.at(key), value, where + "/" + key);
    }
  } else {
    EXPECT_EQ(actual, expected) << where;
  }
}

// A path quoted for the shell.
inline std::string Quoted(const std::string& s) {
  return "'" + s + "'";
}

// olm reduce of the first sample file (time, strain, stress; x = strain)
// with the given zone options and further arguments.
inline CliResult ReduceSample(const std::string& args, bool mergeStderr = true) {
  return RunCli("reduce --columns 3 --x 2 --y 3 --delimiters comma " +
                    Quoted(SourcePath("samples/tensile_1.csv")) + " " + args,
                mergeStderr);
}

}  // namespace olm::test
