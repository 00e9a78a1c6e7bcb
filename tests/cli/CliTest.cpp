// The tool as a whole: usage errors, the version, and the demo's outputs.
#include <gtest/gtest.h>

#include <QImage>
#include <nlohmann/json.hpp>

#include "CliRunner.hpp"
#include "TestSupport.hpp"
#include "plot/Project.hpp"

namespace olm::test {
namespace {

TEST(CliTest, UnknownCommandIsAUsageErrorAndVersionPrints) {
  EXPECT_EQ(RunCli("no-such-command").status, 2);
  const CliResult r = RunCli("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(r, "olm 1.0")) << r.output;
}

TEST(CliTest, DemoWritesItsOutputsIntoTheFolder) {
  CTempDir dir;
  const std::string out = dir.Path() + "/out";
  const CliResult r = RunCli("demo " + Quoted(out));
  ASSERT_EQ(r.status, 0) << r.output;
  for (const char* name : {"summary.txt", "tensile.olm", "tensile.png"})
    EXPECT_TRUE(Has(r, "wrote " + out + "/" + name)) << name;
  const nlohmann::json j = nlohmann::json::parse(ReadFile(out + "/reduction.json"));
  EXPECT_EQ(std::pair(j["replicates"].size(), j["state"]),
            std::pair(size_t(3), nlohmann::json("locked")));
  const std::string report = ReadFile(out + "/tensile.out");
  EXPECT_TRUE(Has(report, "FITTING DATA USING POWER LAW CURVE, y = a*x^b"));
  EXPECT_TRUE(Has(report, "STATISTICAL ANALYSIS over all REPLICATES"));
  const CliResult best = RunCli("show " + Quoted(out + "/tensile-bestfit.olm") + " --json", false);
  ASSERT_EQ(best.status, 0);
  EXPECT_EQ(nlohmann::json::parse(best.output)["replicates"][3]["title"], "mean curve");
  CProject project;
  ASSERT_TRUE(project.Open(out + "/tensile.olm"));
  EXPECT_TRUE(project.Database().GetReplicateCount() == 3 && project.Database().IsLocked());
  ASSERT_EQ(project.Objects().GetCount(), 1);
  EXPECT_EQ(static_cast<const CText&>(project.Objects().At(0)).text,
            "Generated sample tests 1 to 3");
  // Replicate 2's smoothed curve is green (palette entry 2).
  const QImage image(QString::fromStdString(out + "/tensile.png"));
  ASSERT_EQ(image.size(), QSize(1600, 1000));
  int green = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) green += image.pixelColor(x, y) == QColor(0, 255, 0);
  EXPECT_GT(green, 500);
}

}  // namespace
}  // namespace olm::test
