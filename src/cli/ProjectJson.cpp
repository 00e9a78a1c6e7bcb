#include "cli/ProjectJson.hpp"

#include <cstdio>

namespace olm::cli {

using nlohmann::json;

const char* SmoothingKeyword(int method) {
  static const char* const kWords[] = {"none",         "median", "sma",    "pma",
                                       "loess", "robust-loess", "lowess", "robust-lowess"};
  return method >= 0 && method <= 7 ? kWords[method] : "unknown";
}

const char* FitKeyword(const CFitSpec& spec) {
  static const char* const kDegrees[] = {"linear", "quadratic", "cubic", "quartic", "quintic"};
  switch (spec.type) {
    case kFitPolynomial:
      return spec.degree >= 1 && spec.degree <= 5 ? kDegrees[spec.degree - 1] : "polynomial";
    case kFitExponential: return "exponential";
    case kFitLogarithmic: return "logarithmic";
    case kFitPowerLaw: return "power";
    default: return "none";
  }
}

const char* OutlierKeyword(int method) { return method == kOutliersChauvenet ? "chauvenet" : "none"; }

namespace {
bool IsValidUtf8(const std::string& s) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t extra;
    if (c < 0x80)
      extra = 0;
    else if ((c & 0xE0) == 0xC0 && c >= 0xC2)
      extra = 1;
    else if ((c & 0xF0) == 0xE0)
      extra = 2;
    else if ((c & 0xF8) == 0xF0 && c <= 0xF4)
      extra = 3;
    else
      return false;
    if (n - i < extra + 1) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}
}  // namespace

std::string ToUtf8(const std::string& text) {
  const bool valid = IsValidUtf8(text);
  if (valid) return text;
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

json MatrixRows(const CMatrix<double>& m, int rows) {
  json out = json::array();
  for (int i = 1; i <= rows && i <= m.GetRows(); ++i) {
    json row = json::array();
    for (int j = 1; j <= m.GetColumns(); ++j) row.push_back(m(i, j));
    out.push_back(std::move(row));
  }
  return out;
}

json Texts(const CVector<std::string>& v) {
  json out = json::array();
  for (int i = 1; i <= v.GetSize(); ++i) out.push_back(ToUtf8(v(i)));
  return out;
}

json ZoneJson(const CReplicate& rep, int z) {
  const CZone& zone = rep.Zone(z);
  json coefficients = json::array();
  const int n = std::min(zone.fit.CoefficientCount(), CReplicate::kMaxCoefficients);
  for (int c = 1; c <= n; ++c) coefficients.push_back(rep.coefficients(c, z));
  const char* fitType = zone.fit.type == kFitPolynomial    ? "polynomial"
                        : zone.fit.type == kFitExponential ? "exponential"
                        : zone.fit.type == kFitLogarithmic ? "logarithmic"
                        : zone.fit.type == kFitPowerLaw    ? "power"
                                                           : "none";
  return json{{"number", z},
              {"start", rep.GetZoneStart(z)},
              {"end", rep.GetZoneEnd(z)},
              {"smoothing",
               {{"method", SmoothingKeyword(zone.smoothing.method)},
                {"points", zone.smoothing.points},
                {"order", zone.smoothing.order},
                {"repeats", zone.smoothing.repeats}}},
              {"fit", {{"type", fitType}, {"degree", zone.fit.degree}}},
              {"outliers", OutlierKeyword(zone.outliers.method)},
              {"coefficients", coefficients},
              {"r_squared", rep.rSquared(z)},
              {"smoothed_area", rep.zoneSmoothedArea(z)},
              {"fitted_area", rep.zoneFittedArea(z)}};
}

json ExtentPair(const CReplicateDB& db, int minIndex, int maxIndex) {
  return json{{"min", {db.GetExtent(minIndex, 1), db.GetExtent(minIndex, 2)}},
              {"max", {db.GetExtent(maxIndex, 1), db.GetExtent(maxIndex, 2)}}};
}

}  // namespace

json DatabaseToJson(const CReplicateDB& db, bool withData) {
  json reps = json::array();
  for (int r = 1; r <= db.GetReplicateCount(); ++r) {
    const CReplicate& rep = db.Replicate(r);
    json zones = json::array();
    for (int z = 1; z <= rep.zoneCount && z <= CReplicate::kMaxZones; ++z)
      zones.push_back(ZoneJson(rep, z));
    json j{{"number", r},
           {"title", ToUtf8(rep.GetTitle())},
           {"active", rep.IsActive()},
           {"points", rep.pointCount},
           {"columns", rep.columnCount},
           {"x_column", rep.xColumn},
           {"y_column", rep.yColumn},
           {"headings", Texts(rep.headings)},
           {"units", Texts(rep.units)},
           {"smoothed_count", rep.smoothedCount},
           {"outlier_count", rep.outlierCount},
           {"smoothed_area_total", rep.smoothedAreaTotal},
           {"fitted_area_total", rep.fittedAreaTotal},
           {"zones", zones}};
    if (withData) {
      j["raw"] = MatrixRows(rep.raw, rep.raw.GetRows());
      j["smoothed"] = MatrixRows(rep.smoothedData, rep.smoothedData.GetRows());
      j["fitted"] = MatrixRows(rep.fitData, rep.fitData.GetRows());
      j["outlier_points"] = MatrixRows(rep.outliers, rep.outliers.GetRows());
    }
    reps.push_back(std::move(j));
  }
  const char* state = db.IsLocked() ? "locked" : db.IsSmoothed() ? "smoothed" : "open";
  return json{{"version", db.fileVersion},
              {"title", ToUtf8(db.title)},
              {"state", state},
              {"replicates", reps},
              {"extents",
               {{"raw", ExtentPair(db, kRawMin, kRawMax)},
                {"smoothed", ExtentPair(db, kSmoothedMin, kSmoothedMax)},
                {"fitted", ExtentPair(db, kFittedMin, kFittedMax)},
                {"overall", ExtentPair(db, kOverallMin, kOverallMax)}}}};
}

void PrintJson(const json& j) {
  const std::string text = j.dump(2, ' ', false, json::error_handler_t::replace);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace olm::cli
