// olm reduce -o, olm show, olm process and the demo's project file.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRunner.hpp"
#include "TestSupport.hpp"
#include "plot/Project.hpp"

namespace olm::test {
namespace {

using nlohmann::json;

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

std::string ReduceArgs() {
  return "reduce --columns 3 --x 2 --y 3 --delimiters comma " +
         Quote(SourcePath("samples/tensile_1.csv")) + " --zone 0:0.0017 --zone 0.0017:0.21";
}

TEST(ProjectCliTest, ReduceSavesAProjectThatShowPrintsAsReduceDid) {
  CTempDir dir;
  const std::string path = dir.File("r.olm");
  const CliResult reduced = RunCli(ReduceArgs() + " --json -o " + Quote(path), false);
  ASSERT_EQ(reduced.status, 0) << reduced.output;
  const CliResult shown = RunCli("show --json " + Quote(path), false);
  ASSERT_EQ(shown.status, 0) << shown.output;
  json a = json::parse(reduced.output), b = json::parse(shown.output);
  ASSERT_TRUE(b.contains("plot_settings"));
  ASSERT_TRUE(b.contains("annotations"));
  EXPECT_EQ(b["annotations"]["objects"].size(), 0u);
  EXPECT_EQ(b["plot_settings"]["x_format"], "%-g");
  // The smoothed curve of the processed replicate is shown.
  EXPECT_EQ(b["plot_settings"]["curve_styles"][1]["shown"], true);
  b.erase("plot_settings");
  b.erase("annotations");
  EXPECT_EQ(a, b);
}

TEST(ProjectCliTest, ShowPrintsASummaryWithTheAnnotations) {
  CTempDir dir;
  CProject project;
  auto text = std::make_unique<CText>();
  text->text = "Yield";
  text->SetEndPoints({{0.002, 300, 0}});
  project.Objects().Add(std::move(text));
  ASSERT_TRUE(project.Save(dir.File("p.olm")));
  const CliResult r = RunCli("show " + Quote(dir.File("p.olm")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("Database \"Untitled\": 0 replicate(s), open"), std::string::npos);
  EXPECT_NE(
      r.output.find("Annotations: 1 (greatest depth 0)\n  1. CText \"Yield\" at (0.002, 300), "
                    "depth 0"),
      std::string::npos)
      << r.output;
}

TEST(ProjectCliTest, ProcessRunsTheAnalysisAndSaves) {
  CTempDir dir;
  const std::string path = dir.File("p.olm");
  // An unprocessed project: reduce, then clear the results by hand.
  ASSERT_EQ(RunCli(ReduceArgs() + " -o " + Quote(path)).status, 0);
  {
    CProject project;
    ASSERT_TRUE(project.Open(path));
    project.Database().ClearProcessed();
    ASSERT_TRUE(project.Save(path));
  }
  const CliResult r = RunCli("process " + Quote(path) + " -o " + Quote(dir.File("out.olm")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("1 replicate(s), locked"), std::string::npos) << r.output;
  CProject unchanged, processed;
  ASSERT_TRUE(unchanged.Open(path));
  EXPECT_FALSE(unchanged.Database().IsLocked());
  ASSERT_TRUE(processed.Open(dir.File("out.olm")));
  EXPECT_TRUE(processed.Database().IsLocked());
  EXPECT_GT(processed.Database().Replicate(1).smoothedCount, 0);
  // Without -o the project itself is saved.
  ASSERT_EQ(RunCli("process " + Quote(path)).status, 0);
  ASSERT_TRUE(unchanged.Open(path));
  EXPECT_TRUE(unchanged.Database().IsLocked());
}

TEST(ProjectCliTest, FailuresExitWithStatusOneAndKeepTheFile) {
  CTempDir dir;
  const std::string empty = dir.File("empty.olm");
  CProject project;
  ASSERT_TRUE(project.Save(empty));
  const std::string before = ReadFile(empty);
  CliResult r = RunCli("process " + Quote(empty));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("No raw data defined."), std::string::npos) << r.output;
  EXPECT_EQ(ReadFile(empty), before);

  const std::string damaged = dir.Write("bad.olm", before.substr(0, 40));
  r = RunCli("show " + Quote(damaged));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("The project file " + damaged + " is damaged and was not opened"),
            std::string::npos)
      << r.output;

  r = RunCli(ReduceArgs() + " -o " + Quote(dir.File("missing/x.olm")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Cannot open output file."), std::string::npos) << r.output;
  EXPECT_EQ(RunCli("show").status, 2);
}

TEST(ProjectCliTest, DemoWritesAProjectFile) {
  CTempDir dir;
  const CliResult r = RunCli("demo " + Quote(dir.Path()));
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string path = dir.File("tensile.olm");
  EXPECT_NE(r.output.find("wrote " + path), std::string::npos);
  CProject project;
  ASSERT_TRUE(project.Open(path));
  EXPECT_EQ(project.Database().GetReplicateCount(), 3);
  EXPECT_TRUE(project.Database().IsLocked());
  ASSERT_EQ(project.Objects().GetCount(), 1);
  EXPECT_EQ(static_cast<const CText&>(project.Objects().At(0)).text, "Generated sample tests 1 to 3");
}

}  // namespace
}  // namespace olm::test
