// olm bestfit: one representative curve over the shown curves of a project.
#include <memory>

#include "cli/Commands.hpp"
#include "document/Document.hpp"
#include "engine/BestFit.hpp"

namespace olm::cli {

namespace {

struct BestFitOptions {
  std::string project;
  CBestFitForm form;
  std::string end = Info(CurveEnd::kAverage).keyword;
  std::string output;
};

// "extend, average or cut"
std::string EndKeywords() {
  return JoinColumn(kCurveEnds, &CCurveEndInfo::keyword, ", ", " or ");
}

int RunBestFit(BestFitOptions o) {
  o.form.endIndex = KeywordIndex(kCurveEnds, o.end);
  if (o.form.endIndex < 0) throw UsageError("--end must be " + EndKeywords());
  COLMDoc doc;
  doc.SetHistory(false);  // nothing is undone here: change replicates in place
  if (!doc.Open(o.project)) return kExitFailure;
  if (!doc.BestFit(o.form)) return kExitFailure;
  return doc.SaveAs(o.output.empty() ? o.project : o.output) ? kExitOk : kExitFailure;
}

}  // namespace

Command AddBestFitCommand(CLI::App& app) {
  auto o = std::make_shared<BestFitOptions>();
  CLI::App* sub = app.add_subcommand(
      "bestfit",
      "Build the best-fit curve over the shown curves of a project, as a new data set, and save");
  sub->add_option("PROJECT", o->project, "Project file")->required();
  sub->add_option("--name", o->form.name, "Name of the new data set (at most 12 characters)")
      ->capture_default_str();
  sub->add_option("--points", o->form.points, "Number of points, 10 to 100")->capture_default_str();
  sub->add_option("--end", o->end, "Curve end type: " + EndKeywords())->capture_default_str();
  sub->add_option("-o,--output", o->output, "Save to this file instead of PROJECT");
  return {sub, [o] { return RunBestFit(*o); }};
}

}  // namespace olm::cli
