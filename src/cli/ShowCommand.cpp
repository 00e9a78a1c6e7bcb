// olm show: print a saved project.
#include <cstdio>
#include <memory>

#include "cli/Commands.hpp"
#include "cli/ProjectJson.hpp"
#include "cli/Reduction.hpp"
#include "numerics/UserInterface.hpp"
#include "plot/Project.hpp"

namespace olm::cli {

namespace {

struct ShowOptions {
  std::string project;
  bool json = false;
  bool data = false;
};

std::string PointText(const CPoint3& p) {
  return Format("(%g, %g)", p.x, p.y);
}

void PrintPlotAndAnnotations(const CProject& project, std::FILE* out) {
  const CPlotSettings& s = project.Database().plotSettings;
  std::fprintf(out, "\nPlot \"%s\": x \"%s\" from %g to %g, y \"%s\" from %g to %g\n",
               ToUtf8(s.graphTitle).c_str(), ToUtf8(s.xAxisLabel).c_str(), s.plotXMin, s.plotXMax,
               ToUtf8(s.yAxisLabelLeft).c_str(), s.plotYMin, s.plotYMax);
  const CGEList& objects = project.Objects();
  std::fprintf(out, "\nAnnotations: %d (greatest depth %d)\n", objects.GetCount(),
               objects.GetMaxDepth());
  int n = 0;
  for (const auto& o : objects.Objects()) {
    std::string points;
    for (const CPoint3& p : o->GetEndPoints()) points += (points.empty() ? "" : " ") + PointText(p);
    std::string extra;
    if (const auto* text = dynamic_cast<const CText*>(o.get()))
      extra = " \"" + ToUtf8(text->text) + "\"";
    std::fprintf(out, "  %d. %s%s at %s, depth %d\n", ++n, GraphicElementTypeName(o->TypeCode()),
                 extra.c_str(), points.c_str(), o->depth);
  }
}

int RunShow(const ShowOptions& o) {
  CProject project;
  if (!project.Open(o.project)) return kExitFailure;
  if (o.json) {
    PrintJson(ProjectToJson(project, o.data));
    return kExitOk;
  }
  PrintSummary(project.Database(), stdout);
  PrintPlotAndAnnotations(project, stdout);
  return kExitOk;
}

}  // namespace

Command AddShowCommand(CLI::App& app) {
  auto o = std::make_shared<ShowOptions>();
  CLI::App* sub = app.add_subcommand("show", "Print a saved project (.olm file)");
  sub->add_option("PROJECT", o->project, "Project file")->required();
  sub->add_flag("--json", o->json,
                "Print the project as JSON: the database as `olm reduce --json` prints it, the "
                "plot settings and the annotation objects");
  sub->add_flag("--data", o->data,
                "With --json: include the raw, smoothed, fitted and outlier data");
  return {sub, [o] { return RunShow(*o); }};
}

}  // namespace olm::cli
