// olm plot and the demo's plot image.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

// A processed one-replicate project of the first sample file.
std::string ReducedProject(const CTempDir& dir) {
  const std::string path = dir.File("r.olm");
  const CliResult r =
      RunCli("reduce --columns 3 --x 2 --y 3 --delimiters comma " +
                 Quote(SourcePath("samples/tensile_1.csv")) +
                 " --zone 0:0.0017,fit=linear --zone 0.0017:0.21,fit=power -o " + Quote(path),
             false);
  EXPECT_EQ(r.status, 0) << r.output;
  return path;
}

bool Exists(const std::string& path) {
  return std::filesystem::exists(path);
}

TEST(PlotCliTest, WritesAPngOfTheRequestedSize) {
  CTempDir dir;
  const std::string project = ReducedProject(dir);
  const std::string png = dir.File("p.png");
  CliResult r = RunCli("plot " + Quote(project) + " -o " + Quote(png) + " --size 640x480");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("wrote " + png + " (640x480, Graph: Linear, 3 curve(s))"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(r.output.find("XDG_RUNTIME_DIR"), std::string::npos) << r.output;
  const QImage image(QString::fromStdString(png));
  ASSERT_EQ(image.size(), QSize(640, 480));
  EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
  // Raw, smoothed and fitted curves: red, green and blue (palette entries
  // 1 to 3), drawn in that order over one another.
  int red = 0, curves = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      red += c == QColor(255, 0, 0);
      curves += c == QColor(255, 0, 0) || c == QColor(0, 255, 0) || c == QColor(0, 0, 255);
    }
  EXPECT_GT(red, 0);
  EXPECT_GT(curves, 1000);

  r = RunCli("plot " + Quote(project) + " -o " + Quote(dir.File("d.png")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(QImage(QString::fromStdString(dir.File("d.png"))).size(), QSize(1600, 1000));
}

TEST(PlotCliTest, WritesSvgAndPdf) {
  CTempDir dir;
  const std::string project = ReducedProject(dir);
  ASSERT_EQ(RunCli("plot " + Quote(project) + " -o " + Quote(dir.File("p.svg"))).status, 0);
  EXPECT_NE(ReadFile(dir.File("p.svg")).find("<svg"), std::string::npos);
  ASSERT_EQ(RunCli("plot " + Quote(project) + " -o " + Quote(dir.File("p.pdf")) +
                   " --axes logy --best-fit")
                .status,
            1);  // the stress starts at zero: no log y axis
  CliResult r = RunCli("plot " + Quote(project) + " -o " + Quote(dir.File("p.pdf")) +
                       " --axes loglog --window 0.0001:0.3:1:1000 --best-fit");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("the project holds no best-fit curve"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("p.pdf")).substr(0, 5), "%PDF-");
}

TEST(PlotCliTest, LogAxisRefusesAWindowFromZeroAndWritesNothing) {
  CTempDir dir;
  const std::string project = ReducedProject(dir);
  const std::string png = dir.File("log.png");
  const CliResult r = RunCli("plot " + Quote(project) + " -o " + Quote(png) + " --axes logx");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("The X minimum value must be larger than 0.000001"), std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("nothing written"), std::string::npos);
  EXPECT_FALSE(Exists(png));
}

TEST(PlotCliTest, UsageErrorsAndMissingProjects) {
  CTempDir dir;
  const std::string project = ReducedProject(dir);
  const std::string base = "plot " + Quote(project) + " -o ";
  EXPECT_EQ(RunCli(base + Quote(dir.File("p.bmp"))).status, 2);
  EXPECT_EQ(RunCli(base + Quote(dir.File("p.png")) + " --axes polar").status, 2);
  EXPECT_EQ(RunCli(base + Quote(dir.File("p.png")) + " --size 12x").status, 2);
  EXPECT_EQ(RunCli(base + Quote(dir.File("p.png")) + " --size 10x10").status, 2);
  EXPECT_EQ(RunCli(base + Quote(dir.File("p.png")) + " --size 99999999999x500").status, 2);
  EXPECT_EQ(RunCli(base + Quote(dir.File("p.png")) + " --window 0:1:0:1e999").status, 2);
  EXPECT_EQ(RunCli(base + Quote(dir.File("p.png")) + " --window 1:0:0:1").status, 2);
  EXPECT_EQ(RunCli("plot " + Quote(project)).status, 2);
  EXPECT_FALSE(Exists(dir.File("p.png")));
  const CliResult r =
      RunCli("plot " + Quote(dir.File("none.olm")) + " -o " + Quote(dir.File("p.png")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Cannot open the project file"), std::string::npos) << r.output;
  EXPECT_EQ(RunCli(base + Quote(dir.File("no/folder/p.png"))).status, 1);
}

TEST(PlotCliTest, DemoWritesAPlotImage) {
  CTempDir dir;
  const CliResult r = RunCli("demo " + Quote(dir.Path()));
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string png = dir.File("tensile.png");
  EXPECT_NE(r.output.find("wrote " + png), std::string::npos);
  const QImage image(QString::fromStdString(png));
  ASSERT_EQ(image.size(), QSize(1600, 1000));
  // Replicate 2's smoothed curve is green (palette entry 2).
  int green = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) green += image.pixelColor(x, y) == QColor(0, 255, 0);
  EXPECT_GT(green, 500);
}

}  // namespace
}  // namespace olm::test
