#include "plot/ElementDrawing.hpp"

#include <algorithm>
#include <cmath>

namespace olm {

namespace {

constexpr double kPi = 3.14159265358979323846;

CDevicePoint Map(const CGraph& g, const CPoint3& p) {
  return g.WorldToDevice(p.x, p.y);
}

CDeviceRect BoxOf(CDevicePoint a, CDevicePoint b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

int PenWidth(const CGraphicElement& e, const CElementDrawOptions& o) {
  const int w = std::clamp<int32_t>(e.lineWidth, 0, 100);
  return std::max(1, w) * o.lineWidthFactor;
}

void SetShapePen(IPlotCanvas& canvas, const CGraphicElement& e, const CElementDrawOptions& o) {
  canvas.SetPen({kPenSolid, PenWidth(e, o), e.lineColour});
  canvas.SetBrush(e.transparent == 0, e.fillColour);
}

// An arrow head at `tip`, pointing away from `from`.
void DrawArrowHead(IPlotCanvas& canvas, CDevicePoint from, CDevicePoint tip,
                   const CArrowRecord& arrow, uint32_t colour) {
  const double dx = tip.x - from.x, dy = tip.y - from.y;
  const double len = std::hypot(dx, dy);
  if (len < 1.0) return;
  const double length = arrow.value1 > 0 ? std::min(arrow.value1, 200) : 12.0;
  const double width = arrow.value2 > 0 ? std::min(arrow.value2, 200) : length / 3.0;
  const double ux = dx / len, uy = dy / len;
  const double bx = tip.x - ux * length, by = tip.y - uy * length;
  const CDevicePoint left{static_cast<int>(std::lround(bx - uy * width)),
                          static_cast<int>(std::lround(by + ux * width))};
  const CDevicePoint right{static_cast<int>(std::lround(bx + uy * width)),
                           static_cast<int>(std::lround(by - ux * width))};
  if (arrow.flag1) {
    canvas.SetBrush(true, colour);
    const CDevicePoint head[3] = {tip, left, right};
    canvas.Polygon(head, 3);
    canvas.SetBrush(false);
  } else {
    canvas.Line(tip.x, tip.y, left.x, left.y);
    canvas.Line(tip.x, tip.y, right.x, right.y);
  }
}

void DrawLine(IPlotCanvas& canvas, const CGraph& g, const CSLine& line,
              const CElementDrawOptions& o) {
  const CDevicePoint a = Map(g, line.start), b = Map(g, line.end);
  const int style =
      line.lineStyle >= kPenSolid && line.lineStyle <= kPenDashDotDot ? line.lineStyle : kPenSolid;
  canvas.SetPen({style, PenWidth(line, o), line.lineColour});
  canvas.SetBrush(false);
  canvas.Line(a.x, a.y, b.x, b.y);
  canvas.SetPen({kPenSolid, PenWidth(line, o), line.lineColour});
  if (line.arrowMode == kArrowStart || line.arrowMode == kArrowBoth)
    DrawArrowHead(canvas, b, a, line.startArrow, line.lineColour);
  if (line.arrowMode == kArrowEnd || line.arrowMode == kArrowBoth)
    DrawArrowHead(canvas, a, b, line.endArrow, line.lineColour);
}

CDevicePoint BoxPoint(const CDeviceRect& box, double fx, double fy) {
  // fx, fy in -1..1 across the box.
  const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
  const double hx = box.Width() / 2.0, hy = box.Height() / 2.0;
  return {static_cast<int>(std::lround(cx + fx * hx)), static_cast<int>(std::lround(cy + fy * hy))};
}

void DrawWingDing(IPlotCanvas& canvas, const CGraph& g, const CWingDing& w,
                  const CElementDrawOptions& o) {
  const CDeviceRect box = BoxOf(Map(g, w.corner1), Map(g, w.corner2));
  SetShapePen(canvas, w, o);
  if (w.shape == 11) {
    canvas.Ellipse(box);
    const int rx = std::max(1, box.Width() / 6), ry = std::max(1, box.Height() / 6);
    const CDevicePoint c = BoxPoint(box, 0, 0);
    canvas.SetBrush(true, w.lineColour);
    canvas.Ellipse({c.x - rx, c.y - ry, c.x + rx, c.y + ry});
    canvas.SetBrush(false);
    return;
  }
  bool closed = true;
  const std::vector<CDevicePoint> outline = WingDingOutline(w.shape, box, &closed);
  if (closed) {
    canvas.Polygon(outline.data(), outline.size());
  } else {
    canvas.SetBrush(false);
    // Open shapes are drawn as strokes of at least a tenth of the box.
    CPenSpec pen{kPenSolid, std::max(PenWidth(w, o), std::min(box.Width(), box.Height()) / 10),
                 w.lineColour};
    canvas.SetPen(pen);
    if (w.shape == 8) {
      canvas.Polyline(outline.data(), 2);
      canvas.Polyline(outline.data() + 2, 2);
    } else {
      canvas.Polyline(outline.data(), outline.size());
    }
  }
  canvas.SetBrush(false);
}

}  // namespace

std::vector<CDevicePoint> WingDingOutline(int shape, const CDeviceRect& box, bool* closed) {
  if (closed) *closed = true;
  std::vector<std::pair<double, double>> unit;
  switch (shape) {
    case 1:  // arrow right
      unit = {{-1, -0.4}, {0.1, -0.4}, {0.1, -1}, {1, 0}, {0.1, 1}, {0.1, 0.4}, {-1, 0.4}};
      break;
    case 2:  // arrow left
      unit = {{1, -0.4}, {-0.1, -0.4}, {-0.1, -1}, {-1, 0}, {-0.1, 1}, {-0.1, 0.4}, {1, 0.4}};
      break;
    case 3:  // arrow up
      unit = {{-0.4, 1}, {-0.4, -0.1}, {-1, -0.1}, {0, -1}, {1, -0.1}, {0.4, -0.1}, {0.4, 1}};
      break;
    case 4:  // arrow down
      unit = {{-0.4, -1}, {-0.4, 0.1}, {-1, 0.1}, {0, 1}, {1, 0.1}, {0.4, 0.1}, {0.4, -1}};
      break;
    case 5:  // star
      for (int i = 0; i < 10; ++i) {
        const double a = -kPi / 2 + i * kPi / 5;
        const double r = i % 2 == 0 ? 1.0 : 0.4;
        unit.emplace_back(r * std::cos(a), r * std::sin(a));
      }
      break;
    case 6:  // diamond
      unit = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
      break;
    case 7:  // triangle
      unit = {{0, -1}, {1, 1}, {-1, 1}};
      break;
    case 8:  // cross: two strokes
      if (closed) *closed = false;
      unit = {{-1, -1}, {1, 1}, {-1, 1}, {1, -1}};
      break;
    case 9:  // check mark
      if (closed) *closed = false;
      unit = {{-1, 0}, {-0.3, 0.8}, {1, -0.9}};
      break;
    case 10:  // hexagon
      for (int i = 0; i < 6; ++i) {
        const double a = i * kPi / 3;
        unit.emplace_back(std::cos(a), std::sin(a));
      }
      break;
    case 11:
      return {};
    default:  // the box
      unit = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
      break;
  }
  std::vector<CDevicePoint> points;
  points.reserve(unit.size());
  for (const auto& [fx, fy] : unit) points.push_back(BoxPoint(box, fx, fy));
  return points;
}

CFontSpec TextObjectFont(const CText& text, double zoom, double fontScale) {
  CFontSpec f;
  const CLogFont& lf = text.font.font;
  f.face = lf.faceName.empty() ? "Arial" : lf.faceName;
  const double h = std::fabs(static_cast<double>(text.FontHeightAtZoom(zoom))) * fontScale;
  f.pixelHeight = h < 0.5 ? static_cast<int>(std::lround(12 * fontScale))
                          : static_cast<int>(std::min(h + 0.5, 2000.0));
  f.pixelHeight = std::max(1, f.pixelHeight);
  f.weight = lf.weight <= 0 ? 400 : std::min<int32_t>(lf.weight, 1000);
  f.italic = lf.italic != 0;
  f.underline = lf.underline != 0;
  f.escapement = lf.escapement % 3600;
  return f;
}

void DrawGraphicElement(IPlotCanvas& canvas, const CGraph& g, const CGraphicElement& e,
                        const CElementDrawOptions& o) {
  if (!e.visible) return;
  switch (e.TypeCode()) {
    case kGELine:
      DrawLine(canvas, g, static_cast<const CSLine&>(e), o);
      break;
    case kGERectangle: {
      const auto& r = static_cast<const CRectangle&>(e);
      SetShapePen(canvas, r, o);
      canvas.Rectangle(BoxOf(Map(g, r.corner1), Map(g, r.corner2)));
      break;
    }
    case kGECircle: {
      const auto& c = static_cast<const CCircle&>(e);
      SetShapePen(canvas, c, o);
      canvas.Ellipse(BoxOf(Map(g, c.corner1), Map(g, c.corner2)));
      break;
    }
    case kGEText: {
      const auto& t = static_cast<const CText&>(e);
      if (t.text.empty()) break;
      const CDevicePoint p = Map(g, t.anchor);
      canvas.Text(p.x, p.y, t.text, TextObjectFont(t, o.zoom, o.fontScale), t.font.colour,
                  kAlignLeft | kAlignTop);
      break;
    }
    case kGECubicBezier: {
      const auto& b = static_cast<const CCubicBezier&>(e);
      const CDevicePoint p[4] = {Map(g, b.points[0]), Map(g, b.points[1]), Map(g, b.points[2]),
                                 Map(g, b.points[3])};
      canvas.SetPen({kPenSolid, PenWidth(b, o), b.lineColour});
      canvas.SetBrush(false);
      canvas.Bezier(p);
      break;
    }
    case kGEPolygon: {
      const auto& poly = static_cast<const CPolygon&>(e);
      if (poly.vertices.size() < 2) break;
      std::vector<CDevicePoint> pts;
      pts.reserve(poly.vertices.size());
      for (const CPoint3& v : poly.vertices) pts.push_back(Map(g, v));
      SetShapePen(canvas, poly, o);
      canvas.Polygon(pts.data(), pts.size());
      break;
    }
    case kGEWingDing:
      DrawWingDing(canvas, g, static_cast<const CWingDing&>(e), o);
      break;
    default:
      break;
  }
  canvas.SetBrush(false);
}

void DrawSelectionMarks(IPlotCanvas& canvas, const CGraph& g, const CGraphicElement& e) {
  if (!e.visible || !e.selected) return;
  canvas.SetPen({kPenSolid, 1, 0x000000});
  canvas.SetBrush(true, 0x000000);
  for (const CPoint3& p : e.GetEndPoints()) {
    const CDevicePoint d = Map(g, p);
    canvas.Rectangle({d.x - 3, d.y - 3, d.x + 4, d.y + 4});
  }
  canvas.SetBrush(false);
}

}  // namespace olm
