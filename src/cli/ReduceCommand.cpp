// olm reduce: import files as replicates, set zones, process, print.
#include <memory>

#include "cli/Commands.hpp"
#include "cli/ProjectJson.hpp"
#include "cli/Reduction.hpp"
#include "document/Document.hpp"
#include "engine/Report.hpp"

namespace olm::cli {

namespace {
struct ReduceOptions {
  std::vector<std::string> files;
  CImportOptions import;
  std::string delimiters = "blank,comma,tab";
  std::vector<std::string> ids;
  std::vector<std::string> zones;
  bool json = false;
  bool data = false;
  std::string project;
  std::string report;
  bool reportNextToProject = false;
  std::string flags;
};

int RunReduce(const ReduceOptions& o) {
  CImportOptions import = o.import;
  import.delimiters = ParseDelimiters(o.delimiters);
  if (o.zones.size() > static_cast<size_t>(CReplicate::kMaxZones))
    throw UsageError("at most 5 zones may be given");
  std::vector<CZoneControls> zones;
  for (const std::string& spec : o.zones) zones.push_back(ParseZoneSpec(spec));

  // Outputs are checked before the work: none may replace an input or a device.
  const std::string reportPath = o.reportNextToProject && o.report.empty() && !o.project.empty()
                                     ? ReportPath(o.project)
                                     : o.report;
  if (!o.project.empty() && !CheckOutputTarget("reduce", o.project, o.files)) return kExitFailure;
  if (!reportPath.empty() && !CheckOutputTarget("reduce", reportPath, o.files)) return kExitFailure;

  COLMDoc doc;
  doc.SetHistory(false);  // nothing is undone here: change replicates in place
  for (size_t i = 0; i < o.files.size(); ++i) {
    const std::string title = i < o.ids.size() ? o.ids[i] : BaseName(o.files[i]);
    if (!ImportFile(doc, o.files[i], title, import)) return kExitFailure;
  }
  if (!doc.ApplyZonesToAll(zones)) return kExitFailure;
  if (!doc.Analyse()) return kExitFailure;
  const CReplicateDB& db = doc.Database();
  if (o.json)
    PrintJson(DatabaseToJson(db, o.data));
  else
    PrintSummary(db, stdout);
  // The report goes first: its flags are part of the project, which is then
  // saved once (also when the report failed, so the reduction is kept).
  bool reported = true;
  if (o.reportNextToProject || !o.report.empty()) {
    const auto flags = o.flags.empty() ? std::array<bool, 6>{} : ParseReportFlags(o.flags);
    std::string path;
    // Next to the project to be saved, which has no path yet.
    reported = static_cast<bool>(doc.WriteReport(flags, reportPath, &path));
    if (reported) std::fprintf(stderr, "wrote %s\n", path.c_str());
  }
  if (!o.project.empty() && !doc.SaveAs(o.project)) {
    std::fprintf(stderr, "olm reduce: the project was not saved to %s\n", o.project.c_str());
    return kExitFailure;
  }
  return reported ? kExitOk : kExitFailure;
}
}  // namespace

Command AddReduceCommand(CLI::App& app) {
  auto o = std::make_shared<ReduceOptions>();
  CLI::App* sub = app.add_subcommand(
      "reduce",
      "Import delimited text files as replicates, cut them into zones, remove outliers, "
      "smooth, fit, and print the results");
  sub->add_option("FILE", o->files, "Raw-data files, one replicate each")
      ->required()
      ->check(CLI::ExistingFile);
  sub->add_option("--columns", o->import.columns, "Number of columns")->capture_default_str();
  sub->add_option("--x", o->import.xColumn, "Column holding x")->capture_default_str();
  sub->add_option("--y", o->import.yColumn, "Column holding y")->capture_default_str();
  sub->add_option("--headers", o->import.headerLines,
                  "Header lines (not counting comment and blank lines); the last two hold the "
                  "column headings and units")
      ->capture_default_str();
  sub->add_option("--delimiters", o->delimiters,
                  "Field delimiters: blank, comma, tab, semicolon or one other character, "
                  "separated by commas")
      ->capture_default_str();
  sub->add_flag("--decimal-comma", o->import.decimalComma,
                "Read a comma inside a number as the decimal point (3,9 is 3.9); use with "
                "delimiters that do not include the comma");
  sub->add_option("--id", o->ids, "Title of each replicate, in file order (default: file name)");
  sub->add_option("--zone", o->zones,
                  "Zone settings START:END[,fit=...][,smooth=...][,points=N][,order=" +
                      JoinColumn(kPolynomialOrders, &CPolynomialOrderInfo::keyword, "|", "|") +
                      "][,repeats=N][,outliers=" +
                      JoinColumn(kOutlierMethods, &COutlierMethodInfo::keyword, "|", "|") +
                      "], repeated for zones 1..5");
  sub->add_option("--report", o->report,
                  "Write the report to this file (with --report-next: next to the -o project)");
  sub->add_flag("--report-next", o->reportNextToProject,
                "Write the report next to the -o project, extension .out");
  sub->add_option("--flags", o->flags,
                  "Report selection for --report, e.g. 2,3,5 (see olm report)");
  sub->add_flag("--json", o->json, "Print the database as JSON");
  sub->add_flag("--data", o->data,
                "With --json: include the raw, smoothed, fitted and outlier data");
  sub->add_option("-o,--output", o->project, "Save the result as a project file (.olm)");
  return {sub, [o] { return RunReduce(*o); }};
}

}  // namespace olm::cli
