// Output files of olm's commands: devices and inputs are never replaced, and
// a failed write (a file-size limit standing in for a full disk) exits 1
// without a "wrote" line, without a temporary file and with the old file kept.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class OutputCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project = dir.File("p.olm");
    const CliResult r = ReduceSample("--zone 0:0.02 -o " + Quoted(project));
    ASSERT_EQ(r.status, 0) << r.output;
    projectBytes = ReadFile(project);
  }
  // olm with a file-size limit of zero blocks: any write to a file fails.
  static CliResult RunLimited(const std::string& args) {
    return RunCli("--version >/dev/null; ulimit -f 0; " + std::string(OLM_BINARY) + " " + args);
  }

  CTempDir dir;
  std::string project;
  std::string projectBytes;
};

TEST_F(OutputCliTest, ADeviceNodeIsNeverReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "mknod needs root";
  const std::string node = dir.File("n");
  ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0644, makedev(1, 3)), 0);
  fs::create_symlink(node, dir.File("link"));
  fs::create_symlink(node, dir.File("link.png"));
  for (const std::string& args : {"process " + Quoted(project) + " -o " + Quoted(node),
                                  "report " + Quoted(project) + " -o " + Quoted(dir.File("link")),
                                  "plot " + Quoted(project) + " -o " + Quoted(dir.File("link.png")),
                                  "edit " + Quoted(project) + " --export 1 " + Quoted(node)}) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 1) << args << ": " << r.output;
    EXPECT_FALSE(Has(r, "wrote")) << r.output;
    EXPECT_TRUE(fs::is_character_file(node)) << args;
  }
  const CliResult r = RunCli("process " + Quoted(project) + " -o " + Quoted(node));
  EXPECT_TRUE(Has(r, "Cannot write " + node + ": it is not a regular file.")) << r.output;
  EXPECT_EQ(ReadFile(project), projectBytes);
}

TEST_F(OutputCliTest, AFifoAsOutputIsRefusedWithoutWaiting) {
  const std::string fifo = dir.File("fifo.out");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const CliResult r = RunCli("report " + Quoted(project) + " -o " + Quoted(fifo));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r, "Cannot write " + fifo + ": it is not a regular file.")) << r.output;
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(OutputCliTest, AnOutputThatIsAnInputIsRefusedAndTheInputKept) {
  const std::string csv = dir.File("a.csv");
  fs::copy_file(SourcePath("samples/tensile_1.csv"), csv);
  const std::string csvBytes = ReadFile(csv);
  fs::copy_file(SourcePath("samples/dist/strength25.dat"), dir.File("s.dat"));
  const std::string datBytes = ReadFile(dir.File("s.dat"));
  // A project named like a picture, to be drawn over itself.
  const std::string picture = dir.File("q.png");
  fs::copy_file(project, picture);
  struct Case {
    std::string args;
    std::string path;
  };
  const std::vector<Case> cases{
      {"report " + Quoted(project) + " -o " + Quoted(project), project},
      {"report " + Quoted(project) + " --flags 2 -o " + Quoted(project), project},
      {"edit " + Quoted(project) + " --export 1 " + Quoted(project), project},
      {"edit " + Quoted(project) + " 'zero, 1, 2' --export 1 " + Quoted(project), project},
      {"plot " + Quoted(picture) + " -o " + Quoted(picture), picture},
      {"reduce --columns 3 --x 2 --y 3 --delimiters comma " + Quoted(csv) + " --zone 0:0.02 -o " +
           Quoted(csv),
       csv},
      {"reduce --columns 3 --x 2 --y 3 --delimiters comma " + Quoted(csv) +
           " --zone 0:0.02 --report " + Quoted(csv),
       csv},
      {"dist " + Quoted(dir.File("s.dat")) + " -o " + Quoted(dir.File("s.dat")), dir.File("s.dat")},
  };
  for (const Case& c : cases) {
    const CliResult r = RunCli(c.args);
    EXPECT_EQ(r.status, 1) << c.args << ": " << r.output;
    EXPECT_FALSE(Has(r, "wrote")) << r.output;
    EXPECT_TRUE(Has(r, "Cannot write " + c.path + ": it is an input of this command."))
        << c.args << ": " << r.output;
  }
  EXPECT_EQ(ReadFile(project), projectBytes);
  EXPECT_EQ(ReadFile(csv), csvBytes);
  EXPECT_EQ(ReadFile(dir.File("s.dat")), datBytes);
  EXPECT_EQ(ReadFile(picture), projectBytes);
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"a.csv", "p.olm", "q.png", "s.dat"}));
}

TEST_F(OutputCliTest, FlowRuleResultsNamedLikeTheIncludedCurvesAreRefused) {
  for (const char* name : {"flowrule_model.txt", "flowrule_curves.txt"})
    fs::copy_file(SourcePath(std::string("samples/composites/") + name), dir.File(name));
  const std::string curves = ReadFile(dir.File("flowrule_curves.txt"));
  const CliResult r =
      RunCli("flowrule " + Quoted(dir.File("flowrule_model.txt")) + " " +
             Quoted(dir.File("flowrule_curves.txt")) + " " + Quoted(dir.File("card.k")));
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_TRUE(Has(
      r, "Cannot write " + dir.File("flowrule_curves.txt") + ": it is an input of this command."))
      << r.output;
  EXPECT_FALSE(Has(r, "written")) << r.output;
  EXPECT_EQ(ReadFile(dir.File("flowrule_curves.txt")), curves);
  EXPECT_FALSE(fs::exists(dir.File("card.k")));
}

TEST_F(OutputCliTest, AFailedWriteExitsOneAndKeepsTheOldFile) {
  const std::string report = dir.Write("p.out", "the old report");
  const std::string png = dir.Write("p.png", "old png");
  const std::string pdf = dir.Write("p.pdf", "old pdf");
  const std::string surface = dir.Write("fs.txt", "old surface");
  const std::string dist = dir.Write("d.out", "old dist");
  fs::copy_file(SourcePath("samples/dist/strength25.dat"), dir.File("s.dat"));
  const std::vector<std::string> runs{
      "report " + Quoted(project),
      "report " + Quoted(project) + " -o " + Quoted(report),
      "reduce --columns 3 --x 2 --y 3 --delimiters comma " +
          Quoted(SourcePath("samples/tensile_1.csv")) + " --zone 0:0.02 --report " + Quoted(report),
      "plot " + Quoted(project) + " -o " + Quoted(png),
      "plot " + Quoted(project) + " -o " + Quoted(pdf),
      "process " + Quoted(project),
      "edit " + Quoted(project) + " --export 1 " + Quoted(report),
      "dist " + Quoted(dir.File("s.dat")) + " -o " + Quoted(dist),
      "failure-surface --s1t 1500 --s1c 1200 --s2t 50 --s2c 200 --s3t 50 --s3c 200 --s12 70 "
      "--s23 40 --s13 70 --n 2 --s12-value 20 --s33-value 10 -o " +
          Quoted(surface),
  };
  for (const std::string& args : runs) {
    const CliResult r = RunLimited(args);
    EXPECT_EQ(r.status, 1) << args << ": " << r.output;
    EXPECT_FALSE(Has(r, "wrote")) << args << ": " << r.output;
    EXPECT_FALSE(Has(r, "written to")) << args << ": " << r.output;
    EXPECT_TRUE(Has(r, "File too large.")) << args << ": " << r.output;
  }
  EXPECT_EQ(ReadFile(report), "the old report");
  EXPECT_EQ(ReadFile(png), "old png");
  EXPECT_EQ(ReadFile(pdf), "old pdf");
  EXPECT_EQ(ReadFile(surface), "old surface");
  EXPECT_EQ(ReadFile(dist), "old dist");
  EXPECT_EQ(ReadFile(project), projectBytes);
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"d.out", "fs.txt", "p.olm", "p.out",
                                                           "p.pdf", "p.png", "s.dat"}));
}

}  // namespace
}  // namespace olm::test
