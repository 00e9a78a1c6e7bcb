#include "engine/Report.hpp"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <ostream>
#include <vector>

#include "engine/EngineError.hpp"
#include "engine/PrintTable.hpp"
#include "engine/Statistics.hpp"
#include "numerics/OutputFile.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

constexpr int kRowColumnWidth = 8;
constexpr int kValueColumnWidth = 14;
constexpr int kTableMargin = 1;
const std::string kHyphens52(52, '-');

bool IsShown(const CReplicateDB& db, int r) {
  return db.plotSettings.IsReplicateShown(r);
}

std::string Number(double v) {
  return CPrintTable::FormatNumber(v);
}

void PrintBanner(CPrintTable& t, const CReplicateDB& db) {
  t.PrintLine("OLM V1.0", 0);
  t.PrintLine("Reduction of Experimental Test Data", 0);
  t.PrintLine("Project: " + db.title, 0);
  t.BlankLines(1);
}

void PrintTimeStamp(CPrintTable& t) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[64], time[64];
  std::strftime(date, sizeof date, "%x", &local);
  std::strftime(time, sizeof time, "%I:%M %p", &local);
  t.PrintLine(" -------------------------------------------");
  t.PrintLine(Format(" Report created on: %s    at: %s", date, time));
  t.PrintLine(" -------------------------------------------");
  t.BlankLines(1);
}

// One kind of data in the "Data Points" table.
struct CDataKind {
  const CMatrix<double>* m;
  int rows;
};

void PrintDataTable(CPrintTable& t, const CReplicateDB& db, const CReplicate& rep) {
  std::vector<std::string> headings = {"Data"};
  std::vector<CDataKind> kinds;
  const auto add = [&](int flag, CurveKind kind, const CMatrix<double>& m, int rows) {
    if (!db.GetReportFlag(flag)) return;
    headings.push_back(Info(kind).reportX);
    headings.push_back(Info(kind).reportY);
    kinds.push_back({&m, std::min(rows, m.GetRows())});
  };
  add(kReportRawData, CurveKind::kRaw, rep.raw, rep.pointCount);
  add(kReportSmoothedData, CurveKind::kSmoothed, rep.smoothedData, rep.smoothedCount);
  add(kReportFittedData, CurveKind::kFitted, rep.fitData, rep.fitData.GetRows());
  if (kinds.empty()) return;
  int rows = 0;
  for (const CDataKind& k : kinds) rows = std::max(rows, k.rows);

  std::vector<int> widths(headings.size(), kValueColumnWidth);
  widths[0] = kRowColumnWidth;
  t.SetTitle("Data Points");
  t.SetLeftMargin(kTableMargin);
  t.BlankLines(1);
  t.BeginTable(headings, widths);
  const bool columnsOk = rep.xColumn >= 1 && rep.yColumn >= 1;
  for (int i = 1; i <= rows; ++i) {
    t.AddCell(i);
    for (const CDataKind& k : kinds) {
      if (i <= k.rows && columnsOk && rep.xColumn <= k.m->GetColumns() &&
          rep.yColumn <= k.m->GetColumns()) {
        t.AddCell((*k.m)(i, rep.xColumn));
        t.AddCell((*k.m)(i, rep.yColumn));
      } else {
        t.AddCell("-");
        t.AddCell("-");
      }
    }
  }
  // Min / Point / Max / Point over the value columns.
  const int columns = static_cast<int>(headings.size());
  std::vector<CPrintTable::CColumnStatistics> stats;
  for (int c = 2; c <= columns; ++c) stats.push_back(t.GetColumnStatistics(c));
  const auto summary = [&](const char* label, auto value) {
    t.AddCell(label);
    for (const auto& s : stats) {
      if (s.count == 0)
        t.AddCell("-");
      else
        t.AddCell(value(s));
    }
  };
  if (rows > 0) {
    summary("Min", [](const auto& s) { return Number(s.minimum); });
    summary("Point", [](const auto& s) { return std::to_string(s.minimumRow); });
    summary("Max", [](const auto& s) { return Number(s.maximum); });
    summary("Point", [](const auto& s) { return std::to_string(s.maximumRow); });
  }
  t.EndTable();
}

void PrintOutlierTable(CPrintTable& t, const CReplicate& rep) {
  t.SetTitle("Outlier Data");
  t.SetLeftMargin(kTableMargin);
  t.BlankLines(1);
  t.BeginTable({"Data", "Raw X", "Raw Y"}, {kRowColumnWidth, kValueColumnWidth, kValueColumnWidth});
  const CMatrix<double>& m = rep.outliers;
  if (rep.xColumn <= m.GetColumns() && rep.yColumn <= m.GetColumns()) {
    for (int i = 1; i <= m.GetRows(); ++i) {
      t.AddCell(i);
      t.AddCell(m(i, rep.xColumn));
      t.AddCell(m(i, rep.yColumn));
    }
  }
  t.EndTable();
}

// The heading between two short rules.
void PrintBoxedHeading(CPrintTable& t, const std::string& heading) {
  t.PrintLine("------------");
  t.PrintLine(heading);
  t.PrintLine("------------");
}

void PrintZone(CPrintTable& t, const CReplicate& rep, int z) {
  const CZone& zone = rep.Zone(z);
  PrintBoxedHeading(t, Format(" Zone: %d", z));  // straight after the previous block
  const CSmoothingFilterInfo* filter = FindStored(kSmoothingFilters, zone.smoothing.method);
  t.PrintLine(
      Format("Type of smoothing operation: %s", SmoothingMethodName(zone.smoothing.method)));
  if (filter && filter->enabling.repeats)
    t.PrintLine(Format("          Number of repeats: %d", zone.smoothing.repeats));
  if (filter && filter->enabling.points)
    t.PrintLine(Format("           Number of points: %d", zone.smoothing.points));
  if (filter && filter->enabling.order)
    t.PrintLine(Format("           Polynomial order: %d", zone.smoothing.order));
  t.PrintLine(Format("Area under curve: %g", rep.zoneSmoothedArea(z)));

  const auto c = [&](int i) { return rep.coefficients(i, z); };
  const CFitTypeInfo* fit = FindStored(kFitTypes, zone.fit.type);
  if (fit && fit->heading) {
    t.PrintLine(Format(fit->heading, zone.fit.degree));
    if (HasDegree(*fit)) {
      std::string eq = "Best fit equation: " + Number(c(1));
      const int n = std::min(CoefficientCount(*fit, zone.fit.degree), CReplicate::kMaxCoefficients);
      for (int k = 2; k <= n; ++k) {
        eq += " + " + Number(c(k)) + "x";
        if (k > 2) eq += "^" + std::to_string(k - 1);
      }
      t.PrintLine(eq);
    } else {
      t.PrintLine(Format(fit->equation, c(1), c(2)));
    }
  }
  t.BlankLines(1);
  if (zone.fit.type != kFitNone) t.PrintLine(Format("     R-squared: %g", rep.rSquared(z)));
  t.PrintLine(Format("Area under curve: %g", rep.zoneFittedArea(z)));
}

void PrintReplicate(CPrintTable& t, const CReplicateDB& db, int r) {
  const CReplicate& rep = db.Replicate(r);
  t.BlankLines(1);
  PrintBoxedHeading(t, Format(" REPLICATE: %d", r));
  t.PrintLine(Format("Number of data points : %d", rep.pointCount));
  PrintDataTable(t, db, rep);
  PrintOutlierTable(t, rep);
  for (int z = 1; z <= rep.zoneCount && z <= CReplicate::kMaxZones; ++z) PrintZone(t, rep, z);
}

// Minimum and maximum of x and y over rows 1..rows of a curve.
void CollectCurve(const CMatrix<double>& m, int rows, int xc, int yc, std::vector<double> (&q)[4]) {
  if (rows < 1 || xc > m.GetColumns() || yc > m.GetColumns()) return;
  double xl = m(1, xc), xh = xl, yl = m(1, yc), yh = yl;
  for (int i = 2; i <= rows; ++i) {
    xl = std::min(xl, m(i, xc));
    xh = std::max(xh, m(i, xc));
    yl = std::min(yl, m(i, yc));
    yh = std::max(yh, m(i, yc));
  }
  q[0].push_back(xl);
  q[1].push_back(xh);
  q[2].push_back(yl);
  q[3].push_back(yh);
}

void PrintStatistics(CPrintTable& t, const CReplicateDB& db) {
  const bool shownOnly = db.GetReportFlag(kReportSetStatistics);
  std::vector<int> included;
  for (int r = 1; r <= db.GetReplicateCount(); ++r)
    if (!shownOnly || IsShown(db, r)) included.push_back(r);
  t.BlankLines(2);
  t.PrintLine("----------------------------------");
  t.PrintLine("   STATISTICAL ANALYSIS           ");
  t.PrintLine("----------------------------------");
  if (!included.empty()) {
    const int zones = std::min(db.Replicate(included.back()).zoneCount, CReplicate::kMaxZones);
    for (int z = 1; z <= zones; ++z) {
      std::vector<double> q[4];  // min x, max x, min y, max y of every curve taken
      for (int r : included) {
        const CReplicate& rep = db.Replicate(r);
        const int xc = rep.xColumn, yc = rep.yColumn;
        const bool raw = !shownOnly || db.plotSettings.IsShown(r, kCurveRaw);
        const bool smoothed =
            shownOnly ? db.plotSettings.IsShown(r, kCurveSmoothed) : rep.smoothedData.GetRows() > 0;
        const bool fitted =
            shownOnly ? db.plotSettings.IsShown(r, kCurveFitted) : rep.fitData.GetRows() > 0;
        if (raw) CollectCurve(rep.raw, std::min(rep.pointCount, rep.raw.GetRows()), xc, yc, q);
        if (smoothed)
          CollectCurve(rep.smoothedData, std::min(rep.smoothedCount, rep.smoothedData.GetRows()),
                       xc, yc, q);
        if (fitted) CollectCurve(rep.fitData, rep.fitData.GetRows(), xc, yc, q);
      }
      t.PrintLine("--------");
      t.PrintLine(Format("Zone : %d", z));
      t.PrintLine("--------");
      t.BlankLines(2);
      t.PrintLine("STATISTICAL ANALYSIS over all REPLICATES");
      t.PrintLine(kHyphens52);
      t.PrintLine(Format("       Total Number of Curves: %d", static_cast<int>(included.size())));
      t.PrintLine(kHyphens52);
      static const char* const kQuantities[] = {"      Minimum X Value:", "      Maximum X Value:",
                                                "      Minimum Y Value:", "      Maximum Y Value:"};
      for (int k = 0; k < 4; ++k) {
        CDescriptiveStatistics s;
        ComputeStatistics(std::span<const double>(q[k]), s);
        t.PrintLine(kQuantities[k]);
        t.PrintLine(Format("              Maximum: %g", s.maximum));
        t.PrintLine(Format("              Minimum: %g", s.minimum));
        t.PrintLine(Format("                 Mean: %g", s.mean));
        t.PrintLine(Format("               Median: %g", s.median));
        t.PrintLine(Format("   Standard deviation: %g", s.standardDeviation));
        t.PrintLine(kHyphens52);
      }
    }
  }
  if (!db.outlierReplicates.empty()) {
    t.PrintLine("Replicates detected as outliers are: ");
    for (int r : db.outlierReplicates) t.PrintLine(Format("  Replicate %d", r));
  } else {
    t.PrintLine("No replicates were detected as outliers");
  }
}

}  // namespace

bool WriteReport(const CReplicateDB& db, const std::string& path,
                 const std::vector<std::string>& inputs) {
  COutputFile file;
  bool ok = file.Open(path, inputs);
  if (ok) {
    COutputFileBuffer buffer(file);
    std::ostream out(&buffer);
    CPrintTable t(out, 1);
    PrintBanner(t, db);
    PrintTimeStamp(t);
    const bool activeOnly = db.GetReportFlag(kReportActiveOnly);
    for (int r = 1; r <= db.GetReplicateCount(); ++r) {
      if (activeOnly && !IsShown(db, r)) continue;
      PrintReplicate(t, db, r);
    }
    if (db.GetReplicateCount() >= 2 &&
        (db.GetReportFlag(kReportZoneStatistics) || db.GetReportFlag(kReportSetStatistics)))
      PrintStatistics(t, db);
    t.BlankLines(1);
    t.Close();
    out.flush();
    ok = out.good() && file.Commit();
  }
  if (!ok) {
    file.Discard();
    if (!file.Error().empty()) ShowMessage(file.Error(), MessageKind::Error);
    CEngineError::Report(kErrCannotOpenOutput);
  }
  return ok;
}

std::string ReportPath(const std::string& projectPath) {
  if (projectPath.empty()) return "";
  const size_t slash = projectPath.find_last_of('/');
  const size_t dot = projectPath.find_last_of('.');
  // Only a point inside the file name starts an extension.
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    return projectPath.substr(0, dot) + ".out";
  return projectPath + ".out";
}

std::string ReplaceReport(CReplicateDB& db, const std::string& path,
                          const std::array<bool, 6>& flags,
                          const std::vector<std::string>& inputs) {
  for (int i = 1; i <= 6; ++i) db.SetReportFlag(i, flags[static_cast<size_t>(i - 1)]);
  return WriteReport(db, path, inputs) ? path : "";
}

std::string CreateReport(CReplicateDB& db, const std::string& projectPath,
                         const std::array<bool, 6>& flags, const std::vector<std::string>& inputs) {
  const std::string path = ReportPath(projectPath);
  if (path.empty()) {
    ShowMessage("Save the project first.");
    return "";
  }
  return ReplaceReport(db, path, flags, inputs);
}

}  // namespace olm
