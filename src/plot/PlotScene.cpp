#include "plot/PlotScene.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "numerics/Parallel.hpp"
#include "plot/ElementDrawing.hpp"

namespace olm {

namespace {

constexpr int kLabelTextHeight = -14;

bool IsPlottedKind(int plotKind) {
  return plotKind == kRawDataPlot || plotKind == kBestFitPlot;
}

bool HasBestFitCurve(const CReplicateDB& db, int plotKind) {
  return plotKind == kBestFitPlot && BestFitPoints(db).count > 0;
}

CFontSpec FontOf(const CLogFont& lf, int defaultHeight, double fontScale) {
  CFontSpec f;
  f.face = lf.faceName.empty() ? "Arial" : lf.faceName;
  const int64_t magnitude = lf.height < 0 ? -static_cast<int64_t>(lf.height) : lf.height;
  const int h =
      lf.height == 0 ? defaultHeight : static_cast<int>(std::min<int64_t>(magnitude, 500));
  f.pixelHeight = std::max(1, static_cast<int>(std::lround(h * fontScale)));
  f.weight = lf.weight <= 0 ? 400 : std::min<int32_t>(lf.weight, 1000);
  f.italic = lf.italic != 0;
  f.underline = lf.underline != 0;
  return f;
}

// "Raw-12", "Smt-3", "Fit-1".
bool IsCurveIdentifier(const std::string& name) {
  for (const CCurveKindInfo& kind : kCurveKinds) {
    const std::string_view prefix = kind.labelPrefix;
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
      return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                         [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
  }
  return false;
}

const CText* FindLabel(const CGEList& objects, const std::string& name) {
  for (const auto& o : objects.Objects())
    if (o->TypeCode() == kGEText && o->name == name) return static_cast<const CText*>(o.get());
  return nullptr;
}

// A short stroke of the curve's pen, and its marker, left of a label.
void DrawLabelSample(IPlotCanvas& canvas, const CGraph& graph, const CText& label,
                     const CPenSpec& pen, int markerKind, int markerSize,
                     const CPlotPaintOptions& options) {
  if (!label.visible) return;
  const CFontSpec font = CurveLabelFont(options.fontScale);
  const CTextMetrics tm = canvas.Metrics(font);
  const int cw = std::max(1, tm.averageCharWidth);
  const CDevicePoint a = graph.WorldToDevice(label.anchor.x, label.anchor.y);
  const int y = a.y + tm.height / 2;
  const int right = a.x - cw, left = right - 3 * cw;
  canvas.SetPen(pen);
  canvas.Line(left, y, right, y);
  if (markerKind > 0)
    DrawMarker(canvas, {(left + right) / 2, y}, markerKind, markerSize, pen.colour);
}

}  // namespace

uint32_t PaletteColour(const CPlotSettings& settings, int index) {
  if (index < 0 || index >= static_cast<int>(settings.palette.size())) return 0;
  return settings.palette[static_cast<size_t>(index)] & 0xFFFFFFu;
}

CPenSpec CurvePen(const CPlotSettings& settings, int replicate, int kind) {
  const CCurveStyle& st = settings.Style(CPlotSettings::CurveRow(replicate, kind));
  CPenSpec pen;
  pen.colour = PaletteColour(settings, st.colourIndex);
  pen.width = std::clamp<int32_t>(st.lineWidth, 1, 20);
  int style = kPenSolid;
  if (st.lineStyleIndex >= 0 && st.lineStyleIndex < static_cast<int>(settings.penStyles.size()))
    style = settings.penStyles[static_cast<size_t>(st.lineStyleIndex)];
  if (style < kPenSolid || style > kPenDashDotDot) style = kPenSolid;
  pen.style = pen.width > 1 ? kPenSolid : style;
  return pen;
}

CPenSpec BestFitPen() {
  return {kPenSolid, 3, 0x000000};
}

CFontSpec CurveLabelFont(double fontScale) {
  return {"Arial", std::max(1, static_cast<int>(std::lround(-kLabelTextHeight * fontScale))), 400};
}

int CountVisibleCurves(const CReplicateDB& db, int plotKind) {
  if (!IsPlottedKind(plotKind)) return 0;
  int count = 0;
  for (int r = 1; r <= db.GetReplicateCount(); ++r)
    for (int k = kCurveRaw; k <= kCurveFitted; ++k)
      if (IsCurveVisible(db, r, k)) ++count;
  if (HasBestFitCurve(db, plotKind)) ++count;
  return count;
}

void ApplyPlotSettings(CGraph& graph, const CPlotSettings& s, double fontScale) {
  // Placement fractions: the stored borders when they make a plot area,
  // the defaults otherwise.
  const auto& b = s.borders;
  const bool sound = std::all_of(b.begin(), b.end(), [](double v) { return v >= 0 && v <= 1; }) &&
                     b[0] < b[2] && b[1] < b[3];
  if (sound)
    graph.SetPlacement(b[0], b[1], b[2], b[3]);
  else
    graph.SetPlacement(0.1, 0.1, 0.9, 0.9);

  CGraphAppearance& a = graph.Appearance();
  a.title = s.graphTitle;
  a.xTitle = s.xAxisLabel;
  a.yTitle = s.yAxisLabelLeft;
  a.yRightTitle = s.yAxisLabelRight;
  a.titleColour = static_cast<uint32_t>(s.graphTitleColour) & 0xFFFFFFu;
  a.xTitleColour = static_cast<uint32_t>(s.xAxisLabelColour) & 0xFFFFFFu;
  a.yTitleColour = static_cast<uint32_t>(s.yAxisLabelLeftColour) & 0xFFFFFFu;
  a.yRightTitleColour = static_cast<uint32_t>(s.yAxisLabelRightColour) & 0xFFFFFFu;
  a.titleFont = FontOf(s.graphTitleFont, 30, fontScale);
  a.axisTitleFont = FontOf(s.xAxisLabelFont, 20, fontScale);
  a.yTitleFont = FontOf(s.thirdFont, 20, fontScale);
  a.numberFont = {"Arial", std::max(1, static_cast<int>(std::lround(14 * fontScale))), 400};
  a.legendFont = a.numberFont;
  a.xLabelRotation = s.xLabelRotation % 3600;
  a.ticksOutside = GetDisplayFlag(s, kFlagTicksOutside);

  graph.SetGridLines(GetDisplayFlag(s, kFlagXGridLines), GetDisplayFlag(s, kFlagYGridLines));
  const int xDiv = std::clamp<int32_t>(s.xDivisions, 1, 100);
  const int yDiv = std::clamp<int32_t>(s.yDivisions, 1, 100);
  graph.SetTicks(10 * xDiv, 10 * yDiv, 10);
  graph.SetGridDivisions(2 * xDiv, 2 * yDiv);
  graph.SetAxisFormats(s.xAxisFormat, s.yAxisFormat);
  graph.markerSize = std::clamp<int32_t>(s.markerSize, 2, 10);
}

CGraphFontMeasures MeasureGraphFonts(IPlotCanvas& canvas, const CGraph& graph) {
  CGraphFontMeasures m;
  const CTextMetrics numbers = canvas.Metrics(graph.Appearance().numberFont);
  const CTextMetrics title = canvas.Metrics(graph.Appearance().titleFont);
  m.charWidth = std::max(1, numbers.averageCharWidth);
  m.lineHeight = std::max(1, numbers.LineHeight());
  m.titleLineHeight = std::max(1, title.LineHeight());
  if (graph.showLegend) {
    const CTextMetrics lt = canvas.Metrics(graph.Appearance().legendFont);
    int widest = 0;
    for (const CGraphLegendEntry& e : graph.legend)
      widest = std::max(widest, canvas.TextWidth(e.text, graph.Appearance().legendFont));
    m.legendWidth = widest + 5 * std::max(1, lt.averageCharWidth) + 2 * m.charWidth;
  }
  return m;
}

const CText* CCurveLabels::Find(const std::string& identifier) const {
  for (const auto& label : labels)
    if (label->name == identifier) return label.get();
  return nullptr;
}

CCurveLabels PlaceCurveLabels(const CReplicateDB& db, const CGEList& objects, const CGraph& graph,
                              IPlotCanvas& canvas, const CPlotPaintOptions& options) {
  CCurveLabels result;
  const CPlotSettings& s = db.plotSettings;
  const bool shown = IsPlottedKind(options.plotKind) && !options.hideGraph;
  const bool labelling = shown && GetDisplayFlag(s, kFlagLabelCurves);
  const bool bestFit = shown && HasBestFitCurve(db, options.plotKind);

  // Every stored curve label is left out of the paint unless it is placed
  // below; the "Best Fit" label is left as stored while the database's
  // third processed flag is set.
  for (const auto& o : objects.Objects()) {
    if (o->TypeCode() != kGEText) continue;
    if (IsCurveIdentifier(o->name) || (o->name == kBestFitLabel && db.thirdFlag == 0))
      result.hidden.push_back(o.get());
  }

  struct Slot {
    std::string text;
    uint32_t colour;
  };
  std::vector<Slot> slots;
  const auto take = [&](const std::string& id, std::string text, uint32_t colour) {
    // A stored label object keeps its own attributes (depth, font face);
    // otherwise a new one is made for this paint.
    std::unique_ptr<CText> label;
    if (const CText* stored = FindLabel(objects, id)) {
      label.reset(static_cast<CText*>(stored->Clone().release()));
      result.replaced.push_back(stored);
    } else {
      label = std::make_unique<CText>();
      label->name = id;
      label->SetTextSize(kLabelTextHeight, 0);
    }
    result.labels.push_back(std::move(label));
    slots.push_back({std::move(text), colour});
  };
  if (labelling) {
    for (int r = 1; r <= db.GetReplicateCount(); ++r)
      for (int k = kCurveRaw; k <= kCurveFitted; ++k)
        if (IsCurveVisible(db, r, k))
          take(CurveIdentifier(r, k), CurveLabelText(db, r, k), CurvePen(s, r, k).colour);
  }
  if (bestFit) take(kBestFitLabel, kBestFitLabel, BestFitPen().colour);
  if (slots.empty()) return result;

  const CFontSpec font = CurveLabelFont(options.fontScale);
  const CTextMetrics tm = canvas.Metrics(font);
  const int slotHeight = std::max(1, tm.LineHeight() + tm.LineHeight() / 4);
  const int cw = std::max(1, tm.averageCharWidth);
  const CDeviceRect& frame = graph.Frame();
  const int n = static_cast<int>(slots.size());
  for (int i = 0; i < n; ++i) {
    const Slot& slot = slots[static_cast<size_t>(i)];
    CText& label = *result.labels[static_cast<size_t>(i)];
    label.text = slot.text;
    label.font.colour = slot.colour;
    label.lineColour = slot.colour;
    const int width = canvas.TextWidth(slot.text, font);
    const int x = frame.right - cw - width;
    const int y = frame.bottom - tm.LineHeight() / 2 - (n - i) * slotHeight;
    const CWorldPoint w = graph.DeviceToWorld(x, y);
    label.SetEndPoints({{w.x, w.y, 0.0}});
    label.visible = true;
  }
  return result;
}

std::vector<const CGraphicElement*> PaintOrder(const CGEList& objects, const CCurveLabels& labels) {
  const auto contains = [](const std::vector<const CGraphicElement*>& v, const CGraphicElement* e) {
    return std::find(v.begin(), v.end(), e) != v.end();
  };
  std::vector<const CGraphicElement*> order;
  std::vector<bool> used(labels.labels.size(), false);
  for (const auto& o : objects.Objects()) {
    const CGraphicElement* e = o.get();
    if (contains(labels.replaced, e)) {
      // The placed copy takes the stored label's place.
      for (size_t i = 0; i < labels.labels.size(); ++i)
        if (!used[i] && labels.labels[i]->name == e->name) {
          order.push_back(labels.labels[i].get());
          used[i] = true;
          break;
        }
      continue;
    }
    if (!e->visible || contains(labels.hidden, e)) continue;
    order.push_back(e);
  }
  // Labels without a stored object come after the stored ones.
  for (size_t i = 0; i < labels.labels.size(); ++i)
    if (!used[i]) order.push_back(labels.labels[i].get());
  std::stable_sort(
      order.begin(), order.end(),
      [](const CGraphicElement* a, const CGraphicElement* b) { return a->depth > b->depth; });
  return order;
}

namespace {

// One curve of a paint: its points, pen and label, and its device points
// once mapped.
struct CCurveJob {
  CCurveView curve;
  CPenSpec pen;
  int markerKind = 0;
  std::string label;
  std::vector<CDevicePoint> line, marks;
};

}  // namespace

size_t PaintCurves(IPlotCanvas& canvas, const CGraph& graph, const CReplicateDB& db,
                   const CPlotPaintOptions& options, const CCurveLabels* labels) {
  const CPlotSettings& s = db.plotSettings;
  const bool markers = GetDisplayFlag(s, kFlagShowMarkers);
  const auto wanted = [&](int r) {
    return options.onlyReplicate > 0 ? r == options.onlyReplicate : r != options.skipReplicate;
  };
  // The curves in drawing order; their device points are mapped first (on
  // several threads when they are large) and then drawn in order.
  std::vector<CCurveJob> jobs;
  for (int r = 1; r <= db.GetReplicateCount(); ++r)
    for (int k = kCurveRaw; k <= kCurveFitted; ++k) {
      if (!wanted(r) || !IsCurveVisible(db, r, k) || !IsPlottedKind(options.plotKind)) continue;
      CCurveJob job;
      job.curve = CurvePoints(db, r, k);
      job.pen = CurvePen(s, r, k);
      job.markerKind = markers ? s.Style(CPlotSettings::CurveRow(r, k)).markerKind : 0;
      job.label = CurveIdentifier(r, k);
      jobs.push_back(std::move(job));
    }
  if (options.onlyReplicate == 0 && HasBestFitCurve(db, options.plotKind)) {
    CCurveJob job;
    job.curve = BestFitPoints(db);
    job.pen = BestFitPen();
    job.label = kBestFitLabel;
    jobs.push_back(std::move(job));
  }
  size_t total = 0;
  for (CCurveJob& job : jobs) {
    job.pen.width *= graph.LineWidthFactor();
    total += job.curve.count;
  }
  // Below a few hundred thousand points a thread costs more than it saves.
  // The curves go in batches of two per thread, so that the device points
  // held at once stay those of a few curves (an unthinned dashed curve keeps
  // one per data point).
  const unsigned threads = total >= 200000 ? WorkerThreads(4) : 1;
  const size_t batch = 2 * static_cast<size_t>(threads);
  size_t drawn = 0;
  for (size_t first = 0; first < jobs.size(); first += batch) {
    const size_t count = std::min(batch, jobs.size() - first);
    ParallelFor(count, threads, [&](size_t i) {
      CCurveJob& job = jobs[first + i];
      // A dash pattern runs along the path, so only solid curves are thinned.
      graph.AppendPolyline(job.curve, options.thin && job.pen.style == kPenSolid, job.line);
      if (job.markerKind > 0) graph.AppendMarkerPoints(job.curve, job.marks);
    });
    for (size_t i = first; i < first + count; ++i) {
      CCurveJob& job = jobs[i];
      canvas.SetPen(job.pen);
      canvas.SetBrush(false);
      if (job.line.size() > 1) canvas.Polyline(job.line.data(), job.line.size());
      drawn += job.line.size();
      for (const CDevicePoint& p : job.marks)
        DrawMarker(canvas, p, job.markerKind, graph.markerSize, job.pen.colour);
      if (const CText* label = labels ? labels->Find(job.label) : nullptr)
        DrawLabelSample(canvas, graph, *label, job.pen, job.markerKind, graph.markerSize, options);
      std::vector<CDevicePoint>().swap(job.line);
      std::vector<CDevicePoint>().swap(job.marks);
    }
  }
  return drawn;
}

CPlotPaintResult PaintPlot(IPlotCanvas& canvas, const CDeviceRect& rect, const CReplicateDB& db,
                           const CGEList& objects, CGraph& graph,
                           const CPlotPaintOptions& options) {
  CPlotPaintResult result;
  canvas.SetAntialiasing(false);
  graph.DrawBackground(canvas, rect);
  if (db.GetReplicateCount() == 0) return result;
  result.visibleCurves = CountVisibleCurves(db, options.plotKind);
  if (result.visibleCurves == 0) return result;
  result.drewPlot = true;

  const CPlotSettings& s = db.plotSettings;
  ApplyPlotSettings(graph, s, options.fontScale);
  graph.SetPrinting(options.printing, options.lineWidthFactor);
  result.windowAccepted = graph.SetWorldWindow(s.plotXMin, s.plotYMin, s.plotXMax, s.plotYMax);
  graph.Layout(rect, MeasureGraphFonts(canvas, graph));

  const CCurveLabels labels = PlaceCurveLabels(db, objects, graph, canvas, options);
  const std::vector<const CGraphicElement*> order = PaintOrder(objects, labels);

  CElementDrawOptions elementOptions;
  elementOptions.zoom = options.objectZoom;
  elementOptions.fontScale = options.fontScale;
  elementOptions.lineWidthFactor = graph.LineWidthFactor();
  canvas.SetAntialiasing(true);
  for (const CGraphicElement* e : order) DrawGraphicElement(canvas, graph, *e, elementOptions);
  canvas.SetAntialiasing(false);

  if (!options.hideGraph) {
    result.polylinePoints = PaintCurves(canvas, graph, db, options, &labels);
    graph.DrawGrid(canvas);
    graph.DrawFrame(canvas);
    graph.DrawXAxis(canvas);
    graph.DrawYAxis(canvas);
    graph.DrawZeroLines(canvas, GetDisplayFlag(s, kFlagShowXAxis),
                        GetDisplayFlag(s, kFlagShowYAxis));
    graph.DrawLegend(canvas);
  }

  if (options.selectionMarks && !options.printing)
    for (const CGraphicElement* e : order) DrawSelectionMarks(canvas, graph, *e);
  return result;
}

}  // namespace olm
