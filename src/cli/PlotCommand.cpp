// olm plot: draw a saved project's plot into a PNG, SVG or PDF file.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.hpp"
#include "cli/Reduction.hpp"
#include "numerics/TextFields.hpp"
#include "numerics/UserInterface.hpp"
#include "plot/PlotPainter.hpp"
#include "plot/Project.hpp"

namespace olm::cli {

namespace {

struct PlotOptions {
  std::string project;
  std::string output;
  std::string axes = kGraphAxes[0].keyword;
  std::string size = "1600x1000";
  std::string window;
  bool bestFit = false;
};

constexpr int kMinSide = 16;
constexpr int kMaxSide = 8192;

// "linear, logx, logy or loglog"
std::string AxisKeywords() {
  return JoinColumn(kGraphAxes, &CAxisKindInfo::keyword, ", ", " or ");
}

int AxisKind(const std::string& name) {
  const int i = KeywordIndex(kGraphAxes, name);
  if (i < 0) throw UsageError("--axes must be " + AxisKeywords() + ", not \"" + name + "\"");
  return kGraphAxes[static_cast<size_t>(i)].stored;
}

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, value);
  return r.ec == std::errc() && r.ptr == end && !text.empty();
}

void ParseSize(const std::string& text, int& width, int& height) {
  std::string lower = text;
  for (char& c : lower) c = c == 'X' ? 'x' : c;
  const std::vector<std::string> parts = Split(lower, 'x');
  if (parts.size() != 2 || !ParseInt(parts[0], width) || !ParseInt(parts[1], height) ||
      width < kMinSide || height < kMinSide || width > kMaxSide || height > kMaxSide)
    throw UsageError(
        Format("--size must be WIDTHxHEIGHT with each side %d to %d pixels, not \"%s\"", kMinSide,
               kMaxSide, text.c_str()));
}

// XMIN:XMAX:YMIN:YMAX into the plot limits, as a zoom would store them.
void ApplyWindow(const std::string& text, CPlotSettings& s) {
  const std::vector<std::string> parts = Split(text, ':');
  double v[4] = {0, 0, 0, 0};
  bool ok = parts.size() == 4;
  for (size_t i = 0; ok && i < 4; ++i) ok = ParseFiniteNumber(parts[i], v[i]);
  const auto fits = [](double d) { return std::fabs(d) <= std::numeric_limits<float>::max(); };
  if (!ok || !(v[0] < v[1]) || !(v[2] < v[3]) || !fits(v[0]) || !fits(v[1]) || !fits(v[2]) ||
      !fits(v[3]))
    throw UsageError(
        "--window must be XMIN:XMAX:YMIN:YMAX with XMIN < XMAX and YMIN < YMAX, not \"" + text +
        "\"");
  s.plotXMin = static_cast<float>(v[0]);
  s.plotXMax = static_cast<float>(v[1]);
  s.plotYMin = static_cast<float>(v[2]);
  s.plotYMax = static_cast<float>(v[3]);
}

int RunPlot(const PlotOptions& o) {
  int width = 0, height = 0;
  ParseSize(o.size, width, height);
  const int kind = AxisKind(o.axes);
  if (PlotFileFormatOf(o.output) == PlotFileFormat::kUnknown)
    throw UsageError("the output file must end in .png, .svg or .pdf: " + o.output);

  if (!CheckOutputTarget("plot", o.output, {o.project})) return kExitFailure;
  CProject project;
  if (!project.Open(o.project)) return kExitFailure;
  CReplicateDB& db = project.Database();
  if (!o.window.empty()) ApplyWindow(o.window, db.plotSettings);

  CGuiApplicationScope gui;
  CPlotView view;
  view.SetAxisKind(kind);
  view.SetPlotKind(o.bestFit ? kBestFitPlot : kRawDataPlot);
  // The log axes refuse a window that reaches zero; nothing is drawn then.
  const CPlotSettings& s = db.plotSettings;
  if (!view.Graph().SetWorldWindow(s.plotXMin, s.plotYMin, s.plotXMax, s.plotYMax)) {
    std::fprintf(stderr,
                 "olm plot: the plot window x %g..%g, y %g..%g does not suit these axes (choose "
                 "another with --window); nothing written\n",
                 s.plotXMin, s.plotXMax, s.plotYMin, s.plotYMax);
    return kExitFailure;
  }
  if (o.bestFit && db.bestFitX.GetSize() == 0)
    std::fprintf(stderr, "olm plot: the project holds no best-fit curve\n");

  CPlotPaintResult result;
  if (!ExportPlot(o.output, width, height, view, db, project.Objects(), view.PaintOptions(),
                  &result, {o.project}))
    return kExitFailure;
  if (result.visibleCurves == 0)
    std::fprintf(stderr, "olm plot: no curve is shown; the picture holds only the background\n");
  std::printf("wrote %s (%dx%d, %s, %d curve(s))\n", o.output.c_str(), width, height,
              CGraph::KindCommand(kind), result.visibleCurves);
  return kExitOk;
}

}  // namespace

Command AddPlotCommand(CLI::App& app) {
  auto o = std::make_shared<PlotOptions>();
  CLI::App* sub = app.add_subcommand(
      "plot",
      "Draw a saved project's plot (curves, grid, axes, labels, annotations) into a "
      "PNG, SVG or PDF file");
  sub->add_option("PROJECT", o->project, "Project file (.olm)")->required();
  sub->add_option("-o,--output", o->output, "Picture file: FILE.png, FILE.svg or FILE.pdf")
      ->required();
  sub->add_option(
      "--axes", o->axes,
      "Axis kind: " + AxisKeywords().insert(std::strlen(kGraphAxes[0].keyword), " (default)"));
  sub->add_option("--size", o->size, "Picture size in pixels, WIDTHxHEIGHT (default 1600x1000)");
  sub->add_option("--window", o->window,
                  "Draw this window instead of the project's plot limits: XMIN:XMAX:YMIN:YMAX");
  sub->add_flag("--best-fit", o->bestFit,
                "Best-fit plot: the shown curves and the project's best-fit curve");
  return {sub, [o] { return RunPlot(*o); }};
}

}  // namespace olm::cli
