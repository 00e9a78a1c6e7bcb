#include "plot/GraphicElements.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/ProjectFile.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

void StorePoint(CProjectWriter& out, const CPoint3& p) {
  out.WriteDouble(p.x);
  out.WriteDouble(p.y);
  out.WriteDouble(p.z);
}

CPoint3 LoadPoint(CProjectReader& in) {
  CPoint3 p;
  p.x = in.ReadDouble();
  p.y = in.ReadDouble();
  p.z = in.ReadDouble();
  return p;
}

void StoreArrow(CProjectWriter& out, const CArrowRecord& a) {
  out.WriteInt(a.value1);
  out.WriteInt(a.value2);
  out.WriteByte(a.flag1);
  out.WriteByte(a.flag2);
  out.WriteByte(a.flag3);
}

CArrowRecord LoadArrow(CProjectReader& in) {
  CArrowRecord a;
  a.value1 = in.ReadInt();
  a.value2 = in.ReadInt();
  a.flag1 = in.ReadByte();
  a.flag2 = in.ReadByte();
  a.flag3 = in.ReadByte();
  return a;
}

CScreenPoint ToScreen(const CScreenMap& map, const CPoint3& p) {
  return map(p.x, p.y);
}

double Distance(CScreenPoint a, CScreenPoint b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// Distance from p to the segment a-b.
double SegmentDistance(CScreenPoint p, CScreenPoint a, CScreenPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return Distance(p, {a.x + t * dx, a.y + t * dy});
}

// Distance from p to a polyline (closed: also the last-to-first edge).
double PolylineDistance(CScreenPoint p, const std::vector<CScreenPoint>& pts, bool closed) {
  if (pts.empty()) return std::numeric_limits<double>::infinity();
  if (pts.size() == 1) return Distance(p, pts[0]);
  double best = std::numeric_limits<double>::infinity();
  for (size_t i = 0; i + 1 < pts.size(); ++i)
    best = std::min(best, SegmentDistance(p, pts[i], pts[i + 1]));
  if (closed) best = std::min(best, SegmentDistance(p, pts.back(), pts.front()));
  return best;
}

// Even-odd rule.
bool Inside(CScreenPoint p, const std::vector<CScreenPoint>& pts) {
  bool in = false;
  for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
    const CScreenPoint a = pts[i], b = pts[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

// The screen rectangle spanned by two world points, as four corners.
std::vector<CScreenPoint> ScreenBox(const CScreenMap& map, const CPoint3& a, const CPoint3& b) {
  const CScreenPoint p = ToScreen(map, a), q = ToScreen(map, b);
  return {{p.x, p.y}, {q.x, p.y}, {q.x, q.y}, {p.x, q.y}};
}

double BoxDistance(CScreenPoint p, const std::vector<CScreenPoint>& box, bool filled) {
  if (filled && Inside(p, box)) return 0.0;
  return PolylineDistance(p, box, true);
}

template <class Kind>
std::unique_ptr<CGraphicElement> CloneOf(const Kind& k) {
  return std::make_unique<Kind>(k);
}

}  // namespace

CTextFont::CTextFont() {
  font.height = -12;
  font.weight = 400;
  font.quality = 2;
  font.pitchAndFamily = 18;
  font.faceName = "Arial";
}

// ---------------------------------------------------------------- base

template <class T>
void CGE<T>::UpdateBoundingBox() {
  const std::vector<Point> pts = GetEndPoints();
  if (pts.empty()) {
    xMin = xMax = yMin = yMax = T{};
    return;
  }
  xMin = xMax = pts[0].x;
  yMin = yMax = pts[0].y;
  for (const Point& p : pts) {
    xMin = std::min(xMin, p.x);
    xMax = std::max(xMax, p.x);
    yMin = std::min(yMin, p.y);
    yMax = std::max(yMax, p.y);
  }
}

template <class T>
void CGE<T>::StoreBase(CProjectWriter& out) const {
  out.WriteText(name);
  for (T v : {xMin, xMax, yMin, yMax}) out.WriteDouble(static_cast<double>(v));
  out.WriteByte(transparent);
  out.WriteByte(secondFlag);
  out.WriteInt(depth);
  out.WriteUInt(fillColour);
  out.WriteUInt(lineColour);
  out.WriteInt(lineWidth);
}

template <class T>
void CGE<T>::LoadBase(CProjectReader& in) {
  name = in.ReadText();
  for (T* v : {&xMin, &xMax, &yMin, &yMax}) *v = static_cast<T>(in.ReadDouble());
  transparent = in.ReadByte();
  secondFlag = in.ReadByte();
  depth = in.ReadInt();
  fillColour = in.ReadUInt();
  lineColour = in.ReadUInt();
  lineWidth = in.ReadInt();
  selected = false;
}

template class CGE<double>;

// ---------------------------------------------------------------- line

std::unique_ptr<CGraphicElement> CSLine::Clone() const {
  return CloneOf(*this);
}

void CSLine::Store(CProjectWriter& out) const {
  StorePoint(out, start);
  StorePoint(out, end);
  out.WriteInt(lineStyle);
  out.WriteDouble(value);
  out.WriteInt(arrowMode);
  StoreArrow(out, startArrow);
  StoreArrow(out, endArrow);
  StoreBase(out);
}

void CSLine::Load(CProjectReader& in) {
  start = LoadPoint(in);
  end = LoadPoint(in);
  lineStyle = in.ReadInt();
  value = in.ReadDouble();
  arrowMode = in.ReadInt();
  startArrow = LoadArrow(in);
  endArrow = LoadArrow(in);
  LoadBase(in);
}

bool CSLine::AssignEndPoints(const std::vector<CPoint3>& points) {
  if (points.size() != 2) return false;
  start = points[0];
  end = points[1];
  return true;
}

double CSLine::ScreenDistance(CScreenPoint p, const CScreenMap& map) const {
  return SegmentDistance(p, ToScreen(map, start), ToScreen(map, end));
}

// ---------------------------------------------------------------- rectangle and circle

void CBoxShape::Store(CProjectWriter& out) const {
  StorePoint(out, corner1);
  StorePoint(out, corner2);
  out.WriteDouble(value1);
  out.WriteDouble(value2);
  out.WriteByte(flag);
  StoreBase(out);
}

void CBoxShape::Load(CProjectReader& in) {
  corner1 = LoadPoint(in);
  corner2 = LoadPoint(in);
  value1 = in.ReadDouble();
  value2 = in.ReadDouble();
  flag = in.ReadByte();
  LoadBase(in);
}

bool CBoxShape::AssignEndPoints(const std::vector<CPoint3>& points) {
  if (points.size() != 2) return false;
  corner1 = points[0];
  corner2 = points[1];
  return true;
}

std::unique_ptr<CGraphicElement> CRectangle::Clone() const {
  return CloneOf(*this);
}

double CRectangle::ScreenDistance(CScreenPoint p, const CScreenMap& map) const {
  return BoxDistance(p, ScreenBox(map, corner1, corner2), !transparent);
}

std::unique_ptr<CGraphicElement> CCircle::Clone() const {
  return CloneOf(*this);
}

double CCircle::ScreenDistance(CScreenPoint p, const CScreenMap& map) const {
  const CScreenPoint a = ToScreen(map, corner1), b = ToScreen(map, corner2);
  const double cx = (a.x + b.x) / 2, cy = (a.y + b.y) / 2;
  const double rx = std::fabs(b.x - a.x) / 2, ry = std::fabs(b.y - a.y) / 2;
  const double dx = p.x - cx, dy = p.y - cy;
  const double r = std::hypot(dx, dy);
  if (rx <= 0.0 || ry <= 0.0) return SegmentDistance(p, a, b);  // a flat ellipse
  // Normalised radius: 1 on the outline.  The distance to the outline is
  // approximated along the ray from the centre.
  const double s = std::hypot(dx / rx, dy / ry);
  if (s <= 1.0 && !transparent) return 0.0;
  if (s == 0.0) return std::min(rx, ry);
  return std::fabs(r - r / s);
}

// ---------------------------------------------------------------- text

std::unique_ptr<CGraphicElement> CText::Clone() const {
  return CloneOf(*this);
}

void CText::Store(CProjectWriter& out) const {
  out.WriteText(text);
  StorePoint(out, anchor);
  StoreLogFont(out, font.font);
  out.WriteUInt(font.colour);
  out.WriteInt(textHeight);
  out.WriteInt(textWidth);
  StoreBase(out);
}

void CText::Load(CProjectReader& in) {
  text = in.ReadText();
  anchor = LoadPoint(in);
  LoadLogFont(in, font.font);
  font.colour = in.ReadUInt();
  const int32_t height = in.ReadInt();
  const int32_t width = in.ReadInt();
  LoadBase(in);
  SetTextSize(height, width);
}

void CText::SetTextSize(int32_t height, int32_t width) {
  textHeight = font.font.height = height;
  textWidth = font.font.width = width;
}

int32_t CText::FontHeightAtZoom(double zoom) const {
  if (!(zoom > 0.0) || !std::isfinite(zoom)) return textHeight;
  const double h = textHeight / zoom;
  constexpr double kLimit = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(std::round(h), -kLimit, kLimit));
}

bool CText::AssignEndPoints(const std::vector<CPoint3>& points) {
  if (points.size() != 1) return false;
  anchor = points[0];
  return true;
}

double CText::ScreenDistance(CScreenPoint p, const CScreenMap& map) const {
  const CScreenPoint a = ToScreen(map, anchor);
  const double h = std::fabs(static_cast<double>(textHeight));
  const double w = 0.6 * h * static_cast<double>(text.size());
  return BoxDistance(p, {{a.x, a.y}, {a.x + w, a.y}, {a.x + w, a.y + h}, {a.x, a.y + h}}, true);
}

// ---------------------------------------------------------------- Bezier curve

std::unique_ptr<CGraphicElement> CCubicBezier::Clone() const {
  return CloneOf(*this);
}

void CCubicBezier::Store(CProjectWriter& out) const {
  for (const CPoint3& p : points) StorePoint(out, p);
  out.WriteInt(value);
  StoreBase(out);
}

void CCubicBezier::Load(CProjectReader& in) {
  for (CPoint3& p : points) p = LoadPoint(in);
  value = in.ReadInt();
  LoadBase(in);
}

bool CCubicBezier::AssignEndPoints(const std::vector<CPoint3>& pts) {
  if (pts.size() != 4) return false;
  std::copy(pts.begin(), pts.end(), points);
  return true;
}

CPoint3 CCubicBezier::PointAt(double t) const {
  const double u = 1.0 - t;
  const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
  return {b0 * points[0].x + b1 * points[1].x + b2 * points[2].x + b3 * points[3].x,
          b0 * points[0].y + b1 * points[1].y + b2 * points[2].y + b3 * points[3].y,
          b0 * points[0].z + b1 * points[1].z + b2 * points[2].z + b3 * points[3].z};
}

double CCubicBezier::ScreenDistance(CScreenPoint p, const CScreenMap& map) const {
  constexpr int kSegments = 64;
  std::vector<CScreenPoint> pts;
  pts.reserve(kSegments + 1);
  for (int k = 0; k <= kSegments; ++k) pts.push_back(ToScreen(map, PointAt(double(k) / kSegments)));
  return PolylineDistance(p, pts, false);
}

// ---------------------------------------------------------------- polygon

std::unique_ptr<CGraphicElement> CPolygon::Clone() const {
  return CloneOf(*this);
}

void CPolygon::Store(CProjectWriter& out) const {
  out.WriteInt(static_cast<int32_t>(vertices.size()));
  for (const CPoint3& p : vertices) StorePoint(out, p);
  StoreBase(out);
}

void CPolygon::Load(CProjectReader& in) {
  const int32_t n = in.ReadInt();
  if (n < 0) throw CProjectFormatError(Format("a polygon has %d vertices", n));
  in.Require(uint64_t(n), 3 * sizeof(double), Format("a polygon of %d vertices", n));
  vertices.resize(static_cast<size_t>(n));
  for (CPoint3& p : vertices) p = LoadPoint(in);
  LoadBase(in);
}

bool CPolygon::AssignEndPoints(const std::vector<CPoint3>& points) {
  vertices = points;
  return true;
}

double CPolygon::ScreenDistance(CScreenPoint p, const CScreenMap& map) const {
  std::vector<CScreenPoint> pts;
  pts.reserve(vertices.size());
  for (const CPoint3& v : vertices) pts.push_back(ToScreen(map, v));
  if (pts.size() >= 3 && !transparent && Inside(p, pts)) return 0.0;
  return PolylineDistance(p, pts, true);
}

// ---------------------------------------------------------------- specialized shape

std::unique_ptr<CGraphicElement> CWingDing::Clone() const {
  return CloneOf(*this);
}

void CWingDing::Store(CProjectWriter& out) const {
  out.WriteInt(shape);
  StorePoint(out, corner1);
  StorePoint(out, corner2);
  StoreBase(out);
}

void CWingDing::Load(CProjectReader& in) {
  shape = in.ReadInt();
  corner1 = LoadPoint(in);
  corner2 = LoadPoint(in);
  LoadBase(in);
}

bool CWingDing::AssignEndPoints(const std::vector<CPoint3>& points) {
  if (points.size() != 2) return false;
  corner1 = points[0];
  corner2 = points[1];
  return true;
}

double CWingDing::ScreenDistance(CScreenPoint p, const CScreenMap& map) const {
  return BoxDistance(p, ScreenBox(map, corner1, corner2), true);
}

// ---------------------------------------------------------------- factory

std::unique_ptr<CGraphicElement> CreateGraphicElement(int typeCode) {
  switch (typeCode) {
    case kGELine:
      return std::make_unique<CSLine>();
    case kGERectangle:
      return std::make_unique<CRectangle>();
    case kGECircle:
      return std::make_unique<CCircle>();
    case kGEText:
      return std::make_unique<CText>();
    case kGECubicBezier:
      return std::make_unique<CCubicBezier>();
    case kGEPolygon:
      return std::make_unique<CPolygon>();
    case kGEWingDing:
      return std::make_unique<CWingDing>();
    default:
      return nullptr;
  }
}

const char* GraphicElementTypeName(int typeCode) {
  static const char* const kNames[] = {"CSLine",       "CRectangle", "CCircle",  "CText",
                                       "CCubicBezier", "CPolygon",   "CWingDing"};
  return typeCode >= 1 && typeCode <= 7 ? kNames[typeCode - 1] : "";
}

}  // namespace olm
