#pragma once
// A canvas that records what is drawn, with fixed font measures (every
// character 8 pixels wide, lines 16 pixels high), and a small database
// builder for the plot tests.
#include <string>
#include <vector>

#include "engine/Database.hpp"
#include "plot/PlotCanvas.hpp"

namespace olm::test {

class CRecordingCanvas : public IPlotCanvas {
 public:
  struct CPolyline {
    CPenSpec pen;
    std::vector<CDevicePoint> points;
    bool antialiased = false;
  };
  struct CTextCall {
    int x, y;
    std::string text;
    CFontSpec font;
    uint32_t colour;
  };

  void SetPen(const CPenSpec& p) override { pen = p; }
  void SetBrush(bool on, uint32_t colour) override {
    filled = on;
    brush = colour;
  }
  void SetAntialiasing(bool on) override { antialiased = on; }
  void FillRect(const CDeviceRect& r, uint32_t) override { fills.push_back(r); }
  void Line(int x1, int y1, int x2, int y2) override {
    lines.push_back({pen, {{x1, y1}, {x2, y2}}, antialiased});
    ops += pen.style == kPenDot ? 'G' : 'L';
  }
  void Polyline(const CDevicePoint* p, size_t n) override {
    polylines.push_back({pen, std::vector<CDevicePoint>(p, p + n), antialiased});
    if (!antialiased) curves.push_back(polylines.back());
    ops += antialiased ? 'A' : 'P';
  }
  void Polygon(const CDevicePoint* p, size_t n) override {
    ++shapes;
    polygons.push_back({pen, std::vector<CDevicePoint>(p, p + n), antialiased});
    polygonFilled.push_back(filled);
  }
  void Rectangle(const CDeviceRect& r) override {
    ++shapes;
    rectangles.push_back(r);
    rectangleFilled.push_back(filled);
  }
  void Ellipse(const CDeviceRect& r) override {
    ++shapes;
    ellipses.push_back(r);
  }
  void Bezier(const CDevicePoint*) override { ++shapes; }
  void Text(int x, int y, std::string_view t, const CFontSpec& f, uint32_t c, int) override {
    texts.push_back({x, y, std::string(t), f, c});
  }
  CTextMetrics Metrics(const CFontSpec&) override { return {16, 12, 0, 8}; }
  int TextWidth(std::string_view t, const CFontSpec&) override {
    return 8 * static_cast<int>(t.size());
  }

  bool HasText(const std::string& t) const {
    for (const auto& x : texts)
      if (x.text == t) return true;
    return false;
  }

  CPenSpec pen;
  std::vector<CDeviceRect> fills;
  std::vector<CPolyline> lines, polylines;
  std::vector<CPolyline> curves;  // polylines drawn without edge smoothing
  std::vector<CPolyline> polygons;
  std::vector<bool> polygonFilled, rectangleFilled;
  std::vector<CDeviceRect> rectangles, ellipses;
  bool filled = false;
  uint32_t brush = 0;
  bool antialiased = false;
  std::vector<CTextCall> texts;
  int shapes = 0;
  std::string ops;  // P, A polyline (aliased, smoothed), G dotted line (grid), L other line
};

// A replicate of points (x[i], y[i]) with its raw curve shown.
inline int AddCurve(CReplicateDB& db, const std::string& title, const std::vector<double>& x,
                    const std::vector<double>& y) {
  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
  rep.SetTitle(title);
  rep.columnCount = 2;
  rep.ResizeColumnTexts(2);
  rep.SetXYColumns(1, 2);
  rep.pointCount = static_cast<int>(x.size());
  rep.raw.SetSize(rep.pointCount, 2);
  for (int i = 1; i <= rep.pointCount; ++i) {
    rep.raw(i, 1) = x[static_cast<size_t>(i - 1)];
    rep.raw(i, 2) = y[static_cast<size_t>(i - 1)];
  }
  db.plotSettings.SetShown(r, kCurveRaw, true);
  return r;
}

}  // namespace olm::test
