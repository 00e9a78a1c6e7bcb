// olm demo: the whole reduction on the bundled sample files.
#include <cstdio>
#include <memory>

#include "cli/Commands.hpp"
#include "cli/Paths.hpp"
#include "cli/ProjectJson.hpp"
#include "cli/Reduction.hpp"
#include "document/Document.hpp"
#include "engine/BestFit.hpp"
#include "engine/Report.hpp"
#include "plot/PlotPainter.hpp"

namespace olm::cli {

namespace {

struct DemoSample {
  const char* file;
  const char* delimiters;
  int headerLines;
};

// Three exports of the same tensile test: time, strain, stress.
constexpr DemoSample kSamples[] = {
    {"tensile_1.csv", "comma", 2},
    {"tensile_2.dat", "blank", 2},
    {"tensile_3.txt", "tab", 3},
};

// Elastic part (modulus: linear fit), hardening (outliers removed, median
// filter, power law) and necking (robust Lowess, quadratic); x = strain.
constexpr const char* kZones[] = {
    "0:0.0017,fit=linear,smooth=sma,points=5",
    "0.0017:0.15,fit=power,smooth=median,points=5,outliers=chauvenet",
    "0.15:0.21,fit=quadratic,smooth=robust-lowess,points=25,repeats=2"};

std::string Capture(void (*print)(const CReplicateDB&, std::FILE*), const CReplicateDB& db) {
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* mem = open_memstream(&buffer, &size);
  print(db, mem);
  std::fclose(mem);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

int RunDemo(const std::string& dirArg) {
  const std::string samples = SamplesDir();
  const std::string dir = MakeOutputDir(dirArg, "olm-demo");
  std::printf("OLM demo: reducing the sample tensile tests in %s\n", samples.c_str());

  COLMDoc doc;
  doc.SetHistory(false);  // nothing is undone here: change replicates in place
  doc.Modify("Title", kChangeData, [](CReplicateDB& db, CGEList&) {
    db.title = "Tensile tests, steel strip";
    return true;
  });
  for (const DemoSample& s : kSamples) {
    CImportOptions import;
    import.columns = 3;
    import.xColumn = 2;
    import.yColumn = 3;
    import.headerLines = s.headerLines;
    import.delimiters = ParseDelimiters(s.delimiters);
    const std::string path = samples + "/" + s.file;
    if (!ImportFile(doc, path, BaseName(path), import)) return kExitFailure;
  }
  std::vector<CZoneControls> zones;
  for (const char* spec : kZones) zones.push_back(ParseZoneSpec(spec));
  if (!doc.ApplyZonesToAll(zones)) return kExitFailure;
  if (!doc.Analyse()) return kExitFailure;
  const CReplicateDB& db = doc.Database();

  const std::string summary = Capture(PrintSummary, db);
  std::fwrite(summary.data(), 1, summary.size(), stdout);
  const std::string summaryPath = dir + "/summary.txt";
  const std::string jsonPath = dir + "/reduction.json";
  if (!WriteTextFile(summaryPath, summary)) return kExitFailure;
  if (!WriteTextFile(jsonPath, DatabaseToJson(db, false).dump(
                                   2, ' ', false, nlohmann::json::error_handler_t::replace) +
                                   "\n"))
    return kExitFailure;
  doc.Modify("Graph Settings", kChangeSettings, [](CReplicateDB& db, CGEList&) {
    db.plotSettings.graphTitle = "Tensile tests, steel strip";
    db.plotSettings.xAxisLabel = "Strain (mm/mm)";
    db.plotSettings.yAxisLabelLeft = "Stress (MPa)";
    // Curve styles of the plot: raw data light grey, smoothed curves in
    // colour, fits black and dashed.
    for (int r = 1; r <= db.GetReplicateCount(); ++r) {
      db.plotSettings.Style(CPlotSettings::CurveRow(r, kCurveRaw)).colourIndex = 13;
      db.plotSettings.Style(CPlotSettings::CurveRow(r, kCurveSmoothed)).colourIndex = r;
      CCurveStyle& fit = db.plotSettings.Style(CPlotSettings::CurveRow(r, kCurveFitted));
      fit.colourIndex = 0;
      fit.lineStyleIndex = 1;
      fit.lineWidth = 1;
    }
    return true;
  });
  // The project file, with a label over the plot.
  const std::string projectPath = dir + "/tensile.olm";
  auto label = std::make_unique<CText>();
  label->text = "Generated sample tests 1 to 3";
  label->SetEndPoints({{db.GetExtent(kOverallMin, 1), db.GetExtent(kOverallMax, 2), 0.0}});
  doc.AddObject(std::move(label));
  if (!doc.SaveAs(projectPath)) return kExitFailure;
  // The plot as the desktop program shows it, with its curve labels.
  const std::string plotPath = dir + "/tensile.png";
  CGEList objects = doc.Objects().Clone();
  {
    CGuiApplicationScope gui;
    CPlotView view;
    if (!ExportPlot(plotPath, 1600, 1000, view, db, objects, view.PaintOptions()))
      return kExitFailure;
  }

  // The report: data, smoothed and fitted points, statistics over the tests.
  std::string reportPath;
  if (!doc.WriteReport({false, true, true, true, true, true}, "", &reportPath)) return kExitFailure;

  // One representative curve over the three smoothed curves, in a second
  // project so that the first keeps the plain reduction.
  doc.Modify("Show Smoothed Curves", kChangeSettings, [](CReplicateDB& db, CGEList&) {
    for (int r = 1; r <= db.GetReplicateCount(); ++r) {
      db.plotSettings.SetShown(r, kCurveRaw, false);
      db.plotSettings.SetShown(r, kCurveFitted, false);
    }
    return true;
  });
  CBestFitForm bestFit;
  bestFit.name = "mean curve";
  bestFit.points = 100;
  bestFit.endIndex = 2;  // cut at the shortest test
  if (!doc.BestFit(bestFit)) return kExitFailure;
  const std::string bestFitPath = dir + "/tensile-bestfit.olm";
  if (!doc.SaveAs(bestFitPath)) return kExitFailure;
  const std::string bestFitPlotPath = dir + "/tensile-bestfit.png";
  {
    CGuiApplicationScope gui;
    CPlotView view;
    view.SetPlotKind(kBestFitPlot);
    if (!ExportPlot(bestFitPlotPath, 1600, 1000, view, db, objects, view.PaintOptions()))
      return kExitFailure;
  }

  std::printf("\n");
  for (const std::string* path :
       std::initializer_list<const std::string*>{&summaryPath, &jsonPath, &projectPath, &plotPath,
                                                 &reportPath, &bestFitPath, &bestFitPlotPath})
    std::printf("wrote %s\n", path->c_str());
  return kExitOk;
}

}  // namespace

Command AddDemoCommand(CLI::App& app) {
  auto dir = std::make_shared<std::string>();
  CLI::App* sub = app.add_subcommand(
      "demo", "Run the whole reduction on the bundled sample files and write its outputs");
  sub->add_option("DIR", *dir,
                  "Output folder (default: a new folder olm-demo under the current one)");
  return {sub, [dir] { return RunDemo(*dir); }};
}

}  // namespace olm::cli
