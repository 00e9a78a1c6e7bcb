// olm process: run the analysis on a saved project and save it.
#include <cstdio>
#include <memory>

#include "cli/Commands.hpp"
#include "cli/ProjectJson.hpp"
#include "cli/Reduction.hpp"
#include "document/Document.hpp"

namespace olm::cli {

namespace {

struct ProcessOptions {
  std::string project;
  std::string output;
  bool json = false;
  bool data = false;
};

int RunProcess(const ProcessOptions& o) {
  // Saving over the project itself is allowed; a device as target is not.
  if (!o.output.empty() && !CheckOutputTarget("process", o.output, {})) return kExitFailure;
  COLMDoc doc;
  doc.SetHistory(false);  // nothing is undone here: change replicates in place
  if (!doc.Open(o.project)) return kExitFailure;
  if (!doc.Analyse()) return kExitFailure;
  const std::string& target = o.output.empty() ? o.project : o.output;
  if (!doc.SaveAs(target)) {
    std::fprintf(stderr, "olm process: the project was not saved to %s\n", target.c_str());
    return kExitFailure;
  }
  if (o.json)
    PrintJson(ProjectToJson(doc.Database(), doc.Objects(), o.data));
  else
    PrintSummary(doc.Database(), stdout);
  return kExitOk;
}

}  // namespace

Command AddProcessCommand(CLI::App& app) {
  auto o = std::make_shared<ProcessOptions>();
  CLI::App* sub = app.add_subcommand(
      "process",
      "Run the analysis (outliers, smoothing, fits, areas) on a saved project and save it");
  sub->add_option("PROJECT", o->project, "Project file")->required();
  sub->add_option("-o,--output", o->output, "Save to this file instead of PROJECT");
  sub->add_flag("--json", o->json, "Print the processed project as JSON (as `olm show --json`)");
  sub->add_flag("--data", o->data,
                "With --json: include the raw, smoothed, fitted and outlier data");
  return {sub, [o] { return RunProcess(*o); }};
}

}  // namespace olm::cli
