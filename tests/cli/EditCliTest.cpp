// olm edit on a project made by olm reduce from samples/tensile_1.csv.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CliRunner.hpp"
#include "TestSupport.hpp"
#include "plot/Project.hpp"

namespace olm::test {
namespace {

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

// A processed project of one replicate: time, strain and stress, x = strain.
class EditCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("p.olm");
    const CliResult r = RunCli("reduce --columns 3 --x 2 --y 3 --delimiters comma " +
                               Quote(SourcePath("samples/tensile_1.csv")) +
                               " --zone 0:0.0017 --zone 0.0017:0.21 -o " + Quote(path));
    ASSERT_EQ(r.status, 0) << r.output;
    ASSERT_TRUE(original.Open(path));
  }
  CliResult Edit(const std::string& args, bool mergeStderr = true) {
    return RunCli("edit " + Quote(path) + " " + args, mergeStderr);
  }

  CTempDir dir;
  std::string path;
  CProject original;
};

TEST_F(EditCliTest, CommandsRunInOrderAndTheProjectIsSaved) {
  const CliResult r = Edit("'ds1_c4_raw = ds1_c3_raw * 2' 'zero, 1, 3'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, "");
  CProject edited;
  ASSERT_TRUE(edited.Open(path));
  const CReplicate& before = original.Database().Replicate(1);
  const CReplicate& after = edited.Database().Replicate(1);
  ASSERT_EQ(after.columnCount, 4);
  ASSERT_EQ(after.pointCount, before.pointCount);
  const double first = before.raw(1, 3);
  for (int i = 1; i <= after.pointCount; ++i) {
    EXPECT_EQ(after.raw(i, 4), 2 * before.raw(i, 3)) << i;
    EXPECT_EQ(after.raw(i, 3), before.raw(i, 3) - first) << i;
    EXPECT_EQ(after.raw(i, 2), before.raw(i, 2)) << i;
  }
  // Still processed; the processed data were widened to the new column count.
  EXPECT_TRUE(edited.Database().IsLocked());
  EXPECT_EQ(after.smoothedData.GetColumns(), 4);
  // The extents follow the shifted stress.
  double lowest = after.raw(1, 3);
  for (int i = 1; i <= after.pointCount; ++i) lowest = std::min(lowest, after.raw(i, 3));
  EXPECT_LE(edited.Database().GetExtent(kRawMin, 2), lowest);
  EXPECT_EQ(RunCli("show " + Quote(path)).status, 0);
}

TEST_F(EditCliTest, NoticesGoToStdoutAndFailuresToStderr) {
  const CliResult out = Edit("'createrep, copy, raw, 1, 2, 1, 3' 'deleterep 1'", false);
  EXPECT_EQ(out.status, 1);
  EXPECT_EQ(out.output, "Creating new replicate 2.\n");
  const std::string all = Edit("'deleterep 1'").output;
  EXPECT_NE(all.find("Unrecognized command\n"), std::string::npos) << all;
  EXPECT_NE(all.find("command 1 \"deleterep 1\" failed; the project was not saved"),
            std::string::npos)
      << all;
  // Nothing was saved: the file still holds one replicate.
  CProject reopened;
  ASSERT_TRUE(reopened.Open(path));
  EXPECT_EQ(reopened.Database().GetReplicateCount(), 1);
}

TEST_F(EditCliTest, OutputOptionLeavesTheProjectAlone) {
  const std::string out = dir.File("out.olm");
  const std::string before = ReadFile(path);
  const CliResult r =
      Edit("-o " + Quote(out) + " 'createrep, copy, raw, 1, 2, 1, 3' 'deleterep, 1'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output,
            "Creating new replicate 2.\n"
            "Replicate 1 has been deleted. There are 1 remaining replicates.\n");
  EXPECT_EQ(ReadFile(path), before);
  CProject edited;
  ASSERT_TRUE(edited.Open(out));
  ASSERT_EQ(edited.Database().GetReplicateCount(), 1);
  EXPECT_EQ(edited.Database().Replicate(1).GetTitle(), "copy");
}

TEST_F(EditCliTest, ExportWritesTheXAndYData) {
  const std::string file = dir.File("xy.txt");
  const CliResult r = Edit("--export 1 " + Quote(file));
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string text = ReadFile(file);
  const CReplicate& rep = original.Database().Replicate(1);
  const std::string head = rep.GetTitle() + "\nx and y data\n";
  ASSERT_EQ(text.substr(0, head.size()), head);
  // The first sample point: strain 0, stress -1.8361, each 15 wide.
  EXPECT_EQ(text.substr(head.size(), 34), "              0,          -1.8361\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), rep.pointCount + 2);
  // Nothing was edited, so nothing was saved.
  EXPECT_EQ(Edit("--export 2 " + Quote(file)).status, 1);
}

TEST_F(EditCliTest, ListShowsTheReplicateList) {
  const CliResult r = Edit("--list 'createrep, copy, raw, 1, 1, 1, 3'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("Set #  Data Set"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("\n2      copy       1500"), std::string::npos) << r.output;
}

TEST_F(EditCliTest, UsageErrors) {
  EXPECT_EQ(Edit("").status, 2);
  EXPECT_EQ(Edit("--kind all --export 1 x.txt").status, 2);
  EXPECT_EQ(RunCli("edit " + Quote(dir.File("none.olm")) + " 'zero,1,1'").status, 1);
}

}  // namespace
}  // namespace olm::test
