#include "cli/ProjectJson.hpp"

#include <cstdio>

namespace olm::cli {

using nlohmann::json;

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
  return json{{"number", z},
              {"start", rep.GetZoneStart(z)},
              {"end", rep.GetZoneEnd(z)},
              {"smoothing",
               {{"method", SmoothingKeyword(zone.smoothing.method)},
                {"points", zone.smoothing.points},
                {"order", zone.smoothing.order},
                {"repeats", zone.smoothing.repeats}}},
              {"fit", {{"type", FitTypeKeyword(zone.fit.type)}, {"degree", zone.fit.degree}}},
              {"outliers", OutlierKeyword(zone.outliers.method)},
              {"coefficients", coefficients},
              {"r_squared", rep.rSquared(z)},
              {"smoothed_area", rep.zoneSmoothedArea(z)},
              {"fitted_area", rep.zoneFittedArea(z)}};
}

// The extents of one kind; null while the kind holds no data (the database
// then keeps its +-1e20 placeholders, which are no extents).
json ExtentPair(const CReplicateDB& db, int minIndex, int maxIndex) {
  if (!(db.GetExtent(minIndex, 1) <= db.GetExtent(maxIndex, 1))) return nullptr;
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

// ---------------------------------------------------------------- plot settings and annotations

namespace {

json FontJson(const CLogFont& f) {
  return json{{"face", ToUtf8(f.faceName)},
              {"height", f.height},
              {"width", f.width},
              {"escapement", f.escapement},
              {"orientation", f.orientation},
              {"weight", f.weight},
              {"italic", f.italic},
              {"underline", f.underline},
              {"strike_out", f.strikeOut},
              {"char_set", f.charSet},
              {"out_precision", f.outPrecision},
              {"clip_precision", f.clipPrecision},
              {"quality", f.quality},
              {"pitch_and_family", f.pitchAndFamily}};
}

json LabelJson(const std::string& text, int32_t colour) {
  return json{{"text", ToUtf8(text)}, {"colour", colour}};
}

json PointsJson(const std::vector<CPoint3>& points) {
  json out = json::array();
  for (const CPoint3& p : points) out.push_back({p.x, p.y, p.z});
  return out;
}

json ArrowJson(const CArrowRecord& a) {
  return json{{"value1", a.value1}, {"value2", a.value2}, {"flags", {a.flag1, a.flag2, a.flag3}}};
}

const char* AnnotationKeyword(int typeCode) {
  static const char* const kWords[] = {"line",   "rectangle", "circle", "text",
                                       "bezier", "polygon",   "shape"};
  return typeCode >= 1 && typeCode <= 7 ? kWords[typeCode - 1] : "unknown";
}

}  // namespace

json PlotSettingsToJson(const CPlotSettings& s, int replicates) {
  json title = LabelJson(s.graphTitle, s.graphTitleColour);
  title["font"] = FontJson(s.graphTitleFont);
  json xLabel = LabelJson(s.xAxisLabel, s.xAxisLabelColour);
  xLabel["font"] = FontJson(s.xAxisLabelFont);
  json entries = json::array();
  const std::pair<int, const CTextEntry*> numbered[] = {
      {2, &s.entry2},          {4, &s.entry4},           {7, &s.entry7},          {8, &s.entry8},
      {9, &s.entries9to11[0]}, {10, &s.entries9to11[1]}, {11, &s.entries9to11[2]}};
  for (const auto& [number, e] : numbered)
    entries.push_back({{"number", number}, {"text", ToUtf8(e->text)}, {"value", e->value}});
  json styles = json::array();
  for (int r = 1; r <= replicates && r <= CReplicateDB::kMaxReplicates; ++r)
    for (const CCurveKindInfo& kind : kCurveKinds) {
      const CCurveStyle& st = s.Style(CPlotSettings::CurveRow(r, kind.stored));
      styles.push_back({{"replicate", r},
                        {"kind", kind.jsonWord},
                        {"colour_index", st.colourIndex},
                        {"marker", st.markerKind},
                        {"line_style", st.lineStyleIndex},
                        {"line_width", st.lineWidth},
                        {"shown", st.display != 0}});
    }
  const auto& d = s.displayFlags;
  return json{
      {"title", title},
      {"x_axis_label", xLabel},
      {"y_axis_label_left", LabelJson(s.yAxisLabelLeft, s.yAxisLabelLeftColour)},
      {"y_axis_label_right", LabelJson(s.yAxisLabelRight, s.yAxisLabelRightColour)},
      {"right_axis_scale", s.rightAxisScale},
      {"third_font", FontJson(s.thirdFont)},
      {"text_entries", entries},
      {"curve_styles", styles},
      {"layout", s.layout},
      {"further", s.further},
      {"plot_limits", {{"x", {s.plotXMin, s.plotXMax}}, {"y", {s.plotYMin, s.plotYMax}}}},
      {"model_limits", {{"x", {s.modelXMin, s.modelXMax}}, {"y", {s.modelYMin, s.modelYMax}}}},
      {"x_format", ToUtf8(s.xAxisFormat)},
      {"y_format", ToUtf8(s.yAxisFormat)},
      {"display",
       {{"markers", d[0] != 0},
        {"x_gridlines", d[1] != 0},
        {"y_gridlines", d[2] != 0},
        {"legend", d[3] != 0},
        {"further", {d[4], d[5], d[6]}},
        {"ticks_outside", d[7] != 0}}},
      {"borders", s.borders},
      {"x_divisions", s.xDivisions},
      {"y_divisions", s.yDivisions},
      {"marker_size", s.markerSize},
      {"x_label_rotation", s.xLabelRotation}};
}

json AnnotationsToJson(const CGEList& objects) {
  json list = json::array();
  for (const auto& o : objects.Objects()) {
    json j{{"type", AnnotationKeyword(o->TypeCode())},
           {"name", ToUtf8(o->name)},
           {"points", PointsJson(o->GetEndPoints())},
           {"bounding_box", {o->xMin, o->xMax, o->yMin, o->yMax}},
           {"depth", o->depth},
           {"transparent", o->transparent != 0},
           {"second_flag", o->secondFlag},
           {"fill_colour", o->fillColour},
           {"line_colour", o->lineColour},
           {"line_width", o->lineWidth}};
    if (const auto* line = dynamic_cast<const CSLine*>(o.get())) {
      j["line_style"] = line->lineStyle;
      j["value"] = line->value;
      j["arrow_mode"] = line->arrowMode;
      j["start_arrow"] = ArrowJson(line->startArrow);
      j["end_arrow"] = ArrowJson(line->endArrow);
    } else if (const auto* box = dynamic_cast<const CBoxShape*>(o.get())) {
      j["values"] = {box->value1, box->value2};
      j["flag"] = box->flag;
    } else if (const auto* text = dynamic_cast<const CText*>(o.get())) {
      j["text"] = ToUtf8(text->text);
      j["font"] = FontJson(text->font.font);
      j["font_colour"] = text->font.colour;
      j["text_height"] = text->textHeight;
      j["text_width"] = text->textWidth;
    } else if (const auto* curve = dynamic_cast<const CCubicBezier*>(o.get())) {
      j["value"] = curve->value;
    } else if (const auto* shape = dynamic_cast<const CWingDing*>(o.get())) {
      j["shape"] = shape->shape;
    }
    list.push_back(std::move(j));
  }
  return json{{"greatest_depth", objects.GetMaxDepth()}, {"objects", list}};
}

json ProjectToJson(const CReplicateDB& db, const CGEList& objects, bool withData) {
  json j = DatabaseToJson(db, withData);
  j["plot_settings"] = PlotSettingsToJson(db.plotSettings, db.GetReplicateCount());
  j["annotations"] = AnnotationsToJson(objects);
  return j;
}

json ProjectToJson(const CProject& project, bool withData) {
  return ProjectToJson(project.Database(), project.Objects(), withData);
}

}  // namespace olm::cli
