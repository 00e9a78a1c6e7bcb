#include "cli/Reduction.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "cli/Commands.hpp"
#include "cli/ProjectJson.hpp"
#include "engine/Report.hpp"
#include "numerics/OutputFile.hpp"
#include "numerics/TextFields.hpp"
#include "numerics/UserInterface.hpp"

namespace olm::cli {

namespace {

double ParseNumber(const std::string& text, const std::string& spec) {
  double v = 0.0;
  if (!ParseFiniteNumber(text, v))
    throw UsageError("invalid number '" + text + "' in zone '" + spec + "'");
  return v;
}

int ParseInt(const std::string& text, const std::string& spec) {
  int v = 0;
  const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || p != text.data() + text.size())
    throw UsageError("invalid integer '" + text + "' in zone '" + spec + "'");
  return v;
}

// Position of a keyword in a method table (the matching dialog choice).
template <typename Table>
int IndexOf(const Table& table, const std::string& word, const std::string& what,
            const std::string& spec) {
  const int i = KeywordIndex(table, word);
  if (i >= 0) return i;
  using Entry = typename Table::value_type;
  throw UsageError("unknown " + what + " '" + word + "' in zone '" + spec + "' (choose " +
                   JoinColumn(table, &Entry::keyword, "|", "|") + ")");
}

}  // namespace

CDelimiterSet ParseDelimiters(const std::string& text) {
  CDelimiterSet d;
  d.blank = d.comma = d.tab = false;
  for (const std::string& word : Split(text, ',')) {
    if (word == "blank" || word == "space") {
      d.blank = true;
    } else if (word == "comma") {
      d.comma = true;
    } else if (word == "tab") {
      d.tab = true;
    } else if (word == "semicolon" || word.size() == 1) {
      const char c = word == "semicolon" ? ';' : word[0];
      if (d.other != '\0' && d.other != c)
        throw UsageError("only one other delimiter character may be given");
      d.other = c;
    } else if (!word.empty()) {
      throw UsageError("unknown delimiter '" + word +
                       "' (use blank, comma, tab, semicolon or one character)");
    }
  }
  return d;
}

CZoneControls ParseZoneSpec(const std::string& text) {
  const std::vector<std::string> parts = Split(text, ',');
  const std::string& range = parts[0];
  const size_t colon = range.find(':', 1);
  if (colon == std::string::npos) throw UsageError("zone '" + text + "' must start with START:END");
  CZoneControls c;
  c.startX = ParseNumber(range.substr(0, colon), text);
  c.endX = ParseNumber(range.substr(colon + 1), text);
  for (size_t i = 1; i < parts.size(); ++i) {
    const size_t eq = parts[i].find('=');
    if (eq == std::string::npos)
      throw UsageError("expected key=value, got '" + parts[i] + "' in zone '" + text + "'");
    const std::string key = parts[i].substr(0, eq), value = parts[i].substr(eq + 1);
    if (key == "fit") {
      c.fitIndex = IndexOf(kFitChoices, value, "fit", text);
    } else if (key == "smooth") {
      c.smoothIndex = IndexOf(kSmoothingFilters, value, "smoothing", text);
    } else if (key == "outliers") {
      c.outlierIndex = IndexOf(kOutlierMethods, value, "outlier method", text);
    } else if (key == "points") {
      c.points = ParseInt(value, text);
    } else if (key == "repeats") {
      c.repeats = ParseInt(value, text);
    } else if (key == "order") {
      const int order = ParseInt(value, text);
      const CPolynomialOrderInfo* known = FindPolynomialOrder(order);
      if (!known)
        throw UsageError(
            "order must be " +
            JoinColumn(kPolynomialOrders, &CPolynomialOrderInfo::keyword, ", ", " or ") +
            " in zone '" + text + "'");
      c.orderIndex = static_cast<int>(known - kPolynomialOrders.data());
    } else {
      throw UsageError("unknown key '" + key + "' in zone '" + text +
                       "' (fit, smooth, points, order, repeats, outliers)");
    }
  }
  return c;
}

bool ImportFile(CReplicateDB& db, const std::string& path, const std::string& title,
                const CImportOptions& options) {
  CReadRawDataForm form;
  form.blank = options.delimiters.blank;
  form.comma = options.delimiters.comma;
  form.tab = options.delimiters.tab;
  form.other = options.delimiters.other ? std::string(1, options.delimiters.other) : "";
  form.columns = options.columns;
  form.xColumn = options.xColumn;
  form.yColumn = options.yColumn;
  form.headerLines = options.headerLines;
  form.decimalComma = options.decimalComma;
  form.path = path;
  form.dataId = title;
  const bool ok = form.Apply(db);
  // The dialog's field limit does not bind batch titles.
  if (ok && title.size() > static_cast<size_t>(CReadRawDataForm::kMaxDataIdLength))
    db.Replicate(db.GetReplicateCount()).SetTitle(title);
  return ok;
}

void PrintSummary(const CReplicateDB& db, std::FILE* out) {
  const char* state = db.IsLocked() ? "locked" : db.IsSmoothed() ? "smoothed" : "open";
  std::fprintf(out, "Database \"%s\": %d replicate(s), %s\n", ToUtf8(db.title).c_str(),
               db.GetReplicateCount(), state);
  for (int r = 1; r <= db.GetReplicateCount(); ++r) {
    const CReplicate& rep = db.Replicate(r);
    const auto heading = [&](int c) {
      return c >= 1 && c <= rep.headings.GetSize() ? ToUtf8(rep.headings(c)) : std::string();
    };
    std::fprintf(out, "\nReplicate %d: %s%s\n", r, ToUtf8(rep.GetTitle()).c_str(),
                 rep.IsActive() ? "" : " (inactive)");
    std::fprintf(out, "  %d points, %d columns, x = column %d (%s), y = column %d (%s)\n",
                 rep.pointCount, rep.columnCount, rep.xColumn, heading(rep.xColumn).c_str(),
                 rep.yColumn, heading(rep.yColumn).c_str());
    std::fprintf(out, "  smoothed points %d, outliers removed %d\n", rep.smoothedCount,
                 rep.outlierCount);
    std::fprintf(out, "  smoothed area total %.10g, fitted area total %.10g\n",
                 rep.smoothedAreaTotal, rep.fittedAreaTotal);
    std::fprintf(out, "  %-4s %-13s %-13s %-9s %-30s %-20s %-12s %-16s %-16s\n", "Zone", "Start",
                 "End", "Outliers", "Smoothing", "Fit", "R-squared", "Smoothed area",
                 "Fitted area");
    for (int z = 1; z <= rep.zoneCount && z <= CReplicate::kMaxZones; ++z) {
      const CZone& zone = rep.Zone(z);
      std::string smoothing = SmoothingMethodName(zone.smoothing.method);
      const CSmoothingFilterInfo* filter = FindStored(kSmoothingFilters, zone.smoothing.method);
      if (!filter || filter->enabling.points) {
        smoothing += Format(" n=%d x%d", zone.smoothing.points, zone.smoothing.repeats);
        if (filter && filter->enabling.order) smoothing += Format(" p=%d", zone.smoothing.order);
      }
      const bool fitted = zone.fit.type != kFitNone && rep.fitted;
      std::fprintf(out, "  %-4d %-13.6g %-13.6g %-9s %-30s %-20s %-12s %-16.10g %-16s\n", z,
                   rep.GetZoneStart(z), rep.GetZoneEnd(z), OutlierKeyword(zone.outliers.method),
                   smoothing.c_str(), zone.fit.Name().c_str(),
                   fitted ? Format("%.8f", rep.rSquared(z)).c_str() : "-", rep.zoneSmoothedArea(z),
                   fitted ? Format("%.10g", rep.zoneFittedArea(z)).c_str() : "-");
      if (fitted) {
        std::fprintf(out, "       coefficients:");
        for (int c = 1; c <= zone.fit.CoefficientCount() && c <= CReplicate::kMaxCoefficients; ++c)
          std::fprintf(out, " c%d=%.10g", c, rep.coefficients(c, z));
        std::fprintf(out, "\n");
      }
    }
  }
}

std::array<bool, 6> ParseReportFlags(const std::string& text) {
  std::array<bool, 6> flags{};
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    const std::string item =
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (item.size() != 1 || item[0] < '1' || item[0] > '6')
      throw UsageError("report flags are numbers 1 to 6 separated by commas, got '" + item + "'");
    flags[static_cast<size_t>(item[0] - '1')] = true;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return flags;
}

bool ImportFile(COLMDoc& doc, const std::string& path, const std::string& title,
                const CImportOptions& options) {
  return static_cast<bool>(
      doc.Modify("Read Raw Data", kChangeData | kChangeSettings,
                 [&](CReplicateDB& db, CGEList&) { return ImportFile(db, path, title, options); }));
}

bool CheckOutputTarget(const char* command, const std::string& path,
                       const std::vector<std::string>& inputs) {
  const std::string problem = OutputTargetProblem(path, inputs);
  if (problem.empty()) return true;
  std::fprintf(stderr, "olm %s: %s\n", command, problem.c_str());
  return false;
}

std::string BaseName(const std::string& path) {
  return std::filesystem::path(path).stem().string();
}

}  // namespace olm::cli
