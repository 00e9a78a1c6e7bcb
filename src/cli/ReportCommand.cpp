// olm report: the plain-text report of a processed project.
#include <cstdio>
#include <memory>

#include "cli/Commands.hpp"
#include "cli/Reduction.hpp"
#include "document/Document.hpp"
#include "engine/Report.hpp"
#include "numerics/UserInterface.hpp"

namespace olm::cli {

namespace {

struct ReportOptions {
  std::string project;
  std::string flags;
  std::string output;
};

int RunReport(const ReportOptions& o) {
  const std::array<bool, 6> given =
      o.flags.empty() ? std::array<bool, 6>{} : ParseReportFlags(o.flags);
  const std::string target = o.output.empty() ? ReportPath(o.project) : o.output;
  if (!CheckOutputTarget("report", target, {o.project})) return kExitFailure;
  COLMDoc doc;
  doc.SetHistory(false);  // nothing is undone here: change replicates in place
  if (!doc.Open(o.project)) return kExitFailure;
  std::array<bool, 6> flags{};
  for (int i = 1; i <= 6; ++i) flags[static_cast<size_t>(i - 1)] = doc.Database().GetReportFlag(i);
  if (!o.flags.empty()) flags = given;
  std::string path;
  if (!doc.WriteReport(flags, o.output, &path)) return kExitFailure;
  std::printf("wrote %s\n", path.c_str());
  // The chosen flags are stored with the project, as the report dialog does.
  if (!o.flags.empty() && !doc.Save()) return kExitFailure;
  return kExitOk;
}

}  // namespace

Command AddReportCommand(CLI::App& app) {
  auto o = std::make_shared<ReportOptions>();
  CLI::App* sub = app.add_subcommand(
      "report", "Write the plain-text report of a processed project (next to it, extension .out)");
  sub->add_option("PROJECT", o->project, "Project file")->required();
  sub->add_option("--flags", o->flags,
                  "Report selection, e.g. 2,3,6: 1 only shown data sets, 2 raw data, 3 smoothed "
                  "data, 4 fitted data, 5 statistics by zones, 6 statistics over shown data sets "
                  "(stored with the project; default: the project's stored selection)");
  sub->add_option("-o,--output", o->output, "Report file (default: PROJECT with extension .out)");
  return {sub, [o] { return RunReport(*o); }};
}

}  // namespace olm::cli
