#include <gtest/gtest.h>

#include "CliRunner.hpp"

namespace olm::test {
namespace {

TEST(CliTest, UnknownCommandIsAUsageError) { EXPECT_EQ(RunCli("no-such-command").status, 2); }

TEST(CliTest, VersionPrintsAndSucceeds) {
  const CliResult r = RunCli("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.output.find("olm 1.0"), std::string::npos);
}

}  // namespace
}  // namespace olm::test
