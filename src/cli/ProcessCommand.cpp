// olm process: run the analysis on a saved project and save it.
#include <cstdio>
#include <memory>

#include "cli/Commands.hpp"
#include "cli/ProjectJson.hpp"
#include "cli/Reduction.hpp"
#include "plot/Project.hpp"

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
  CProject project;
  if (!project.Open(o.project)) return kExitFailure;
  CReplicateDB& db = project.Database();
  if (!db.Process()) return kExitFailure;
  ShowProcessedCurves(db);
  const std::string& target = o.output.empty() ? o.project : o.output;
  if (!project.Save(target)) {
    std::fprintf(stderr, "olm process: the project was not saved to %s\n", target.c_str());
    return kExitFailure;
  }
  if (o.json)
    PrintJson(ProjectToJson(project, o.data));
  else
    PrintSummary(db, stdout);
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
