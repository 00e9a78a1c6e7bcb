// olm reduce -o, show, process, edit and plot on a project made by olm
// reduce from samples/tensile_1.csv.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "CliRunner.hpp"
#include "TestSupport.hpp"
#include "plot/Project.hpp"

namespace olm::test {
namespace {

using nlohmann::json;

// A processed project of one replicate (time, strain, stress; x = strain)
// with a linear and a power-law zone.
class ProjectCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const CliResult r = ReduceSample(kZones + " -o " + Quoted(path));
    ASSERT_EQ(r.status, 0) << r.output;
    ASSERT_TRUE(original.Open(path));
  }
  CliResult Run(const std::string& command, const std::string& args, bool mergeStderr = true) {
    return RunCli(command + " " + Quoted(path) + " " + args, mergeStderr);
  }

  const std::string kZones = "--zone 0:0.0017,fit=linear --zone 0.0017:0.21,fit=power";
  CTempDir dir;
  const std::string path = dir.File("p.olm");
  CProject original;
};

TEST_F(ProjectCliTest, ShowPrintsWhatReduceDidWithPlotSettingsAndAnnotations) {
  const CliResult reduced = ReduceSample(kZones + " --json", false);
  const CliResult shown = Run("show", "--json", false);
  ASSERT_EQ(shown.status, 0) << shown.output;
  json a = json::parse(reduced.output), b = json::parse(shown.output);
  ExpectSubset(b, R"({"annotations": {"objects": []}, "plot_settings": {"x_format": "%-g"}})"_json);
  EXPECT_EQ(b["plot_settings"]["curve_styles"][1]["shown"], true);  // the smoothed curve
  b.erase("plot_settings");
  b.erase("annotations");
  EXPECT_EQ(a, b);
  CProject project;
  auto text = std::make_unique<CText>();
  text->text = "Yield";
  text->SetEndPoints({{0.002, 300, 0}});
  project.Objects().Add(std::move(text));
  ASSERT_TRUE(project.Save(dir.File("a.olm")));
  const CliResult r = RunCli("show " + Quoted(dir.File("a.olm")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(r, "Database \"Untitled\": 0 replicate(s), open"));
  EXPECT_TRUE(
      Has(r, "Annotations: 1 (greatest depth 0)\n  1. CText \"Yield\" at (0.002, 300), depth 0"))
      << r.output;
}

TEST_F(ProjectCliTest, ProcessRunsTheAnalysisAndSavesFailuresKeepTheFile) {
  original.Database().ClearProcessed();
  ASSERT_TRUE(original.Save(path));
  const CliResult r = Run("process", "-o " + Quoted(dir.File("out.olm")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(r, "1 replicate(s), locked")) << r.output;
  CProject unchanged, processed;
  ASSERT_TRUE(unchanged.Open(path));
  EXPECT_FALSE(unchanged.Database().IsLocked());
  ASSERT_TRUE(processed.Open(dir.File("out.olm")));
  EXPECT_TRUE(processed.Database().IsLocked());
  EXPECT_GT(processed.Database().Replicate(1).smoothedCount, 0);
  ASSERT_EQ(Run("process", "").status, 0);  // without -o the project itself
  ASSERT_TRUE(unchanged.Open(path));
  EXPECT_TRUE(unchanged.Database().IsLocked());

  const std::string empty = dir.File("empty.olm");
  ASSERT_TRUE(CProject().Save(empty));
  const std::string before = ReadFile(empty);
  CliResult f = RunCli("process " + Quoted(empty));
  EXPECT_EQ(f.status, 1);
  EXPECT_TRUE(Has(f, "No raw data defined.")) << f.output;
  EXPECT_EQ(ReadFile(empty), before);
  const std::string damaged = dir.Write("bad.olm", before.substr(0, 40));
  f = RunCli("show " + Quoted(damaged));
  EXPECT_EQ(f.status, 1);
  EXPECT_TRUE(Has(f, "The project file " + damaged + " is damaged and was not opened")) << f.output;
  f = ReduceSample("-o " + Quoted(dir.File("missing/x.olm")));
  EXPECT_EQ(f.status, 1);
  EXPECT_TRUE(Has(f, "Cannot open output file.")) << f.output;
  EXPECT_EQ(RunCli("show").status, 2);
}

TEST_F(ProjectCliTest, EditRunsCommandsInOrderAndSaves) {
  const CliResult r = Run("edit", "'ds1_c4_raw = ds1_c3_raw * 2' 'zero, 1, 3'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, "");
  CProject edited;
  ASSERT_TRUE(edited.Open(path));
  const CReplicate& before = original.Database().Replicate(1);
  const CReplicate& after = edited.Database().Replicate(1);
  ASSERT_EQ(after.columnCount, 4);
  ASSERT_EQ(after.pointCount, before.pointCount);
  for (int i = 1; i <= after.pointCount; ++i) {
    EXPECT_EQ(after.raw(i, 4), 2 * before.raw(i, 3)) << i;
    EXPECT_EQ(after.raw(i, 3), before.raw(i, 3) - before.raw(1, 3)) << i;
    EXPECT_EQ(after.raw(i, 2), before.raw(i, 2)) << i;
  }
  // Still processed; the processed data widened to the new column count;
  // the extents follow the shifted stress.
  EXPECT_TRUE(edited.Database().IsLocked());
  EXPECT_EQ(after.smoothedData.GetColumns(), 4);
  double lowest = after.raw(1, 3);
  for (int i = 1; i <= after.pointCount; ++i) lowest = std::min(lowest, after.raw(i, 3));
  EXPECT_LE(edited.Database().GetExtent(kRawMin, 2), lowest);
  EXPECT_EQ(RunCli("show " + Quoted(path)).status, 0);
}

TEST_F(ProjectCliTest, EditNoticesFailuresOutputListAndExport) {
  // Notices go to stdout, failures to stderr; a failure saves nothing.
  const std::string before = ReadFile(path);
  const CliResult out = Run("edit", "'createrep, copy, raw, 1, 2, 1, 3' 'deleterep 1'", false);
  EXPECT_EQ(out.status, 1);
  EXPECT_EQ(out.output, "Creating new replicate 2.\n");
  const CliResult all = Run("edit", "'deleterep 1'");
  EXPECT_TRUE(Has(all, "Unrecognized command\n")) << all.output;
  EXPECT_TRUE(Has(all, "command 1 \"deleterep 1\" failed; the project was not saved"))
      << all.output;
  EXPECT_EQ(ReadFile(path), before);
  // -o leaves the project alone.
  const std::string copy = dir.File("out.olm");
  const CliResult r =
      Run("edit", "-o " + Quoted(copy) + " 'createrep, copy, raw, 1, 2, 1, 3' 'deleterep, 1'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output,
            "Creating new replicate 2.\n"
            "Replicate 1 has been deleted. There are 1 remaining replicates.\n");
  EXPECT_EQ(ReadFile(path), before);
  CProject edited;
  ASSERT_TRUE(edited.Open(copy));
  ASSERT_EQ(edited.Database().GetReplicateCount(), 1);
  EXPECT_EQ(edited.Database().Replicate(1).GetTitle(), "copy");
  const CliResult list = Run("edit", "--list 'createrep, copy, raw, 1, 1, 1, 3'");
  ASSERT_EQ(list.status, 0) << list.output;
  EXPECT_TRUE(Has(list, "Set #  Data Set")) << list.output;
  EXPECT_TRUE(Has(list, "\n2      copy       1500")) << list.output;
  // --export writes the x and y data: the first sample point is strain 0,
  // stress -1.8361, each 15 wide.
  const std::string file = dir.File("xy.txt");
  ASSERT_EQ(Run("edit", "--export 1 " + Quoted(file)).status, 0);
  const std::string text = ReadFile(file);
  const CReplicate& rep = original.Database().Replicate(1);
  const std::string head = rep.GetTitle() + "\nx and y data\n";
  ASSERT_EQ(text.substr(0, head.size()), head);
  EXPECT_EQ(text.substr(head.size(), 34), "              0,          -1.8361\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), rep.pointCount + 2);
  EXPECT_EQ(Run("edit", "--export 3 " + Quoted(file)).status, 1);  // no replicate 3
  EXPECT_EQ(Run("edit", "").status, 2);
  EXPECT_EQ(Run("edit", "--kind all --export 1 x.txt").status, 2);
  EXPECT_EQ(RunCli("edit " + Quoted(dir.File("none.olm")) + " 'zero,1,1'").status, 1);
}

TEST_F(ProjectCliTest, PlotWritesPngSvgAndPdf) {
  const std::string png = dir.File("p.png");
  CliResult r = Run("plot", "-o " + Quoted(png) + " --size 640x480");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(r, "wrote " + png + " (640x480, Graph: Linear, 3 curve(s))")) << r.output;
  EXPECT_FALSE(Has(r, "XDG_RUNTIME_DIR")) << r.output;
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
  ASSERT_EQ(Run("plot", "-o " + Quoted(dir.File("d.png"))).status, 0);
  EXPECT_EQ(QImage(QString::fromStdString(dir.File("d.png"))).size(), QSize(1600, 1000));
  ASSERT_EQ(Run("plot", "-o " + Quoted(dir.File("p.svg"))).status, 0);
  EXPECT_NE(ReadFile(dir.File("p.svg")).find("<svg"), std::string::npos);
  r = Run("plot", "-o " + Quoted(dir.File("p.pdf")) +
                      " --axes loglog --window 0.0001:0.3:1:1000 --best-fit");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(r, "the project holds no best-fit curve"));
  EXPECT_EQ(ReadFile(dir.File("p.pdf")).substr(0, 5), "%PDF-");
}

TEST_F(ProjectCliTest, PlotRefusesLogWindowsFromZeroUsageErrorsAndMissingFiles) {
  const std::string png = dir.File("log.png"), o = "-o " + Quoted(png) + " ";
  // The strain and the stress start at zero.
  const CliResult x = Run("plot", o + "--axes logx");
  EXPECT_EQ(x.status, 1);
  EXPECT_TRUE(Has(x, "The X minimum value must be larger than 0.000001")) << x.output;
  EXPECT_TRUE(Has(x, "nothing written")) << x.output;
  EXPECT_EQ(Run("plot", o + "--axes logy --best-fit").status, 1);
  for (const std::string& args :
       {"-o " + Quoted(dir.File("p.bmp")), o + "--axes polar", o + "--size 12x", o + "--size 10x10",
        o + "--size 99999999999x500", o + "--window 0:1:0:1e999", o + "--window 1:0:0:1"})
    EXPECT_EQ(Run("plot", args).status, 2) << args;
  EXPECT_EQ(Run("plot", "").status, 2);
  EXPECT_FALSE(std::filesystem::exists(png));
  const CliResult r = RunCli("plot " + Quoted(dir.File("none.olm")) + " -o " + Quoted(png));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r, "Cannot open the project file")) << r.output;
  EXPECT_EQ(Run("plot", "-o " + Quoted(dir.File("no/folder/p.png"))).status, 1);
}

}  // namespace
}  // namespace olm::test
