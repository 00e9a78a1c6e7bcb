// olm on bad inputs: refused settings, non-finite results, misleading
// messages, inputs that are not regular files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

const std::string kReduce = "reduce --columns 3 --x 2 --y 3 --delimiters comma ";

TEST(RobustnessCliTest, OverlappingZonesAreRefusedWithOrWithoutSmoothing) {
  // Without smoothing the areas would be counted twice; with it the message
  // once spoke of a gap.
  for (const std::string zones :
       {"--zone 0:0.02 --zone 0.01:0.04", "--zone 0:0.02,smooth=sma --zone 0.01:0.04,smooth=sma"}) {
    const CliResult r = ReduceSample(zones);
    EXPECT_EQ(r.status, 1) << zones << ": " << r.output;
    EXPECT_TRUE(Has(r, "Zones 1 and 2 overlap.")) << zones << ": " << r.output;
    EXPECT_FALSE(Has(r, "Gap between zones.")) << r.output;
  }
  // Zones that share a border are fine.
  EXPECT_EQ(ReduceSample("--zone 0:0.02 --zone 0.02:0.04").status, 0);
}

TEST(RobustnessCliTest, RepeatsFarBeyondAnySensibleUseAreCode31) {
  const CliResult r = ReduceSample("--zone 0:0.02,smooth=sma,points=5,repeats=2000000000");
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_TRUE(Has(r, "Invalid number of repeats.")) << r.output;
}

TEST(RobustnessCliTest, TwentyOneFilesNameTheLimitOfTwenty) {
  std::string files;
  for (int i = 0; i < 21; ++i) files += " " + Quoted(SourcePath("samples/tensile_1.csv"));
  const CliResult r = RunCli(kReduce + files);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r, "Number of data sets must be between 1 and 20")) << r.output;
}

TEST(RobustnessCliTest, ReaderMessagesNameTheFileAndCarriageReturnsEndLines) {
  CTempDir dir;
  // Old exports end lines with CR alone.
  std::string text = "t,x,y\rs,-,N\r";
  for (int i = 0; i < 20; ++i) text += Format("%d,%g,%g\r", i, i * 0.001, i * 2.0);
  const CliResult ok = RunCli(kReduce + Quoted(dir.Write("old.csv", text)) + " --json");
  EXPECT_EQ(ok.status, 0) << ok.output;
  const std::string bad = dir.Write("bad.csv", "t,x,y\ns,-,N\n1,2,3\n4,z,6\n");
  const CliResult r = RunCli(kReduce + Quoted(bad));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r, bad + ": Invalid input. on line number 4.")) << r.output;
  // A heading too long for a column is not a "replicate title".
  const std::string heading =
      dir.Write("heading.csv", "t,x," + std::string(32, 'h') + "\ns,-,N\n1,2,3\n4,5,6\n");
  const CliResult h = RunCli(kReduce + Quoted(heading));
  EXPECT_EQ(h.status, 1);
  EXPECT_TRUE(Has(h, heading + ": the column heading or unit")) << h.output;
  EXPECT_FALSE(Has(h, "replicate title")) << h.output;
}

TEST(RobustnessCliTest, AFifoAsInputIsRefusedInsteadOfWaiting) {
  CTempDir dir;
  const std::string fifo = dir.File("in.csv");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const CliResult r = RunCli(kReduce + Quoted(fifo));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r, fifo + ": not a regular file")) << r.output;
  // The other readers too: a project, a distribution input, a model file.
  for (const std::string& args :
       {"process " + Quoted(fifo), "dist " + Quoted(fifo) + " -o " + Quoted(dir.File("d.out")),
        "flowrule " + Quoted(fifo) + " " + Quoted(dir.File("r.txt")) + " " +
            Quoted(dir.File("c.k"))}) {
    const CliResult other = RunCli(args);
    EXPECT_EQ(other.status, 1) << args << ": " << other.output;
  }
  // /dev/zero never ends: refused, not read until memory runs out.
  EXPECT_EQ(RunCli(kReduce + "/dev/zero").status, 1);
}

TEST(RobustnessCliTest, NonFiniteResultsAreFailuresAndNullInJson) {
  CTempDir dir;
  // An exponent of 1e9 overflows the envelopes: nothing is written.
  const CliResult fs = RunCli(
      "failure-surface --s1t 1500 --s1c 1200 --s2t 50 --s2c 200 --s3t 50 --s3c 200 --s12 70 "
      "--s23 40 --s13 70 --n 1e9 --s12-value 20 --s33-value 10 -o " +
      Quoted(dir.File("fs.txt")));
  EXPECT_EQ(fs.status, 1) << fs.output;
  EXPECT_TRUE(Has(fs, "not finite")) << fs.output;
  EXPECT_FALSE(std::filesystem::exists(dir.File("fs.txt")));

  // Values near 1e-300: no model can be fitted with finite measures.
  std::string text = "*heading\ntiny values\n*data\n";
  for (int i = 1; i <= 12; ++i) text += Format("%de-300\n", i);
  text += "*distribution\nnormal\nlognormal\ngamma\n*minmax\n0, 1e-298\n*end\n";
  const std::string input = dir.Write("tiny.dat", text);
  const CliResult d = RunCli("dist " + Quoted(input) + " --json", false);
  EXPECT_EQ(d.status, 1) << d.output;
  EXPECT_FALSE(Has(d, "\"nan\"")) << d.output;
  EXPECT_FALSE(Has(d, "\"inf\"")) << d.output;
  const auto j = nlohmann::json::parse(d.output, nullptr, false);
  ASSERT_FALSE(j.is_discarded()) << d.output;
  for (const auto& model : j["distributions"]) {
    if (!model["fitted"].get<bool>()) continue;
    for (const char* key : {"ks_distance", "ad_statistic", "chi_square"})
      EXPECT_TRUE(model[key].is_number()) << model;
    EXPECT_GT(model["parameters"].begin()->get<double>(), 0.0) << model;
  }
}

}  // namespace
}  // namespace olm::test
