#pragma once
// Annotation objects drawn over the plot: lines with optional arrow heads,
// rectangles, circles, text, cubic Bezier curves, polygons and specialized
// shapes.  They live in world (data) coordinates, so they move and scale with
// the plot.
//
// This part is free of any drawing toolkit: the object model, its stored
// form and hit testing.  Several fields have no fixed meaning; they are kept
// under neutral names and stored and reloaded unchanged.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/PlotSettings.hpp"
#include "engine/ProjectStream.hpp"

namespace olm {

// A point in world coordinates; z is carried but 0 for objects on the plot.
template <class T>
struct CPoint3T {
  T x{}, y{}, z{};
  bool operator==(const CPoint3T&) const = default;
};
using CPoint3 = CPoint3T<double>;

// A point on the screen (pixels).
struct CScreenPoint {
  double x = 0.0, y = 0.0;
};

// World-to-screen mapping used by hit testing.
using CScreenMap = std::function<CScreenPoint(double x, double y)>;

// Type codes of the stored form.
enum GEType {
  kGELine = 1,
  kGERectangle = 2,
  kGECircle = 3,
  kGEText = 4,
  kGECubicBezier = 5,
  kGEPolygon = 6,
  kGEWingDing = 7,
};

// Arrow modes of a line.
enum ArrowMode { kArrowNone = 0, kArrowStart = 1, kArrowEnd = 2, kArrowBoth = 3 };

// The arrow-head record of a line end.
struct CArrowRecord {
  int32_t value1 = 0;
  int32_t value2 = 0;
  uint8_t flag1 = 0, flag2 = 0, flag3 = 0;
  bool operator==(const CArrowRecord&) const = default;
};

// The font of a text object: a logical font and its colour.
struct CTextFont {
  CTextFont();
  CLogFont font;
  uint32_t colour = 0;  // 0x00BBGGRR
  bool operator==(const CTextFont&) const = default;
};

// The graphic-element base: name, selection, bounding box, fill and line
// attributes and the stacking depth (0 is the front).
template <class T>
class CGE {
 public:
  using Point = CPoint3T<T>;

  virtual ~CGE() = default;

  virtual int TypeCode() const = 0;
  virtual std::unique_ptr<CGE> Clone() const = 0;

  // Own fields, then the base fields.
  virtual void Store(CProjectWriter& out) const = 0;
  // Reads what Store writes and clears the selection.  Throws
  // CProjectFormatError on damaged input.
  virtual void Load(CProjectReader& in) = 0;

  // The defining points (ends, corners, control points, vertices).
  virtual std::vector<Point> GetEndPoints() const = 0;
  // Replaces the defining points and recomputes the bounding box.  False
  // (nothing changed) when the kind needs a different number of points.
  bool SetEndPoints(const std::vector<Point>& points) {
    if (!AssignEndPoints(points)) return false;
    UpdateBoundingBox();
    return true;
  }

  // Distance in pixels from a screen point to the object as drawn; 0 inside
  // a filled shape.
  virtual double ScreenDistance(CScreenPoint p, const CScreenMap& map) const = 0;

  // Sets the bounding box from the defining points.
  void UpdateBoundingBox();

  std::string name;
  bool selected = false;  // not stored
  T xMin{}, xMax{}, yMin{}, yMax{};
  uint8_t transparent = 0;  // set: the interior is not filled
  uint8_t secondFlag = 0;
  bool visible = true;  // not stored; invisible objects are neither drawn nor hit
  int32_t depth = 0;
  uint32_t fillColour = 0;  // 0x00BBGGRR
  uint32_t lineColour = 0;
  int32_t lineWidth = 1;

 protected:
  CGE() = default;
  CGE(const CGE&) = default;
  CGE& operator=(const CGE&) = default;

  virtual bool AssignEndPoints(const std::vector<Point>& points) = 0;
  void StoreBase(CProjectWriter& out) const;
  void LoadBase(CProjectReader& in);
};

using CGraphicElement = CGE<double>;

// Straight line with optional arrow heads.
class CSLine : public CGraphicElement {
 public:
  int TypeCode() const override { return kGELine; }
  std::unique_ptr<CGraphicElement> Clone() const override;
  void Store(CProjectWriter& out) const override;
  void Load(CProjectReader& in) override;
  std::vector<CPoint3> GetEndPoints() const override { return {start, end}; }
  double ScreenDistance(CScreenPoint p, const CScreenMap& map) const override;

  CPoint3 start, end;
  int32_t lineStyle = 0;  // a pen style
  double value = 0.0;
  int32_t arrowMode = kArrowNone;
  CArrowRecord startArrow, endArrow;

 protected:
  bool AssignEndPoints(const std::vector<CPoint3>& points) override;
};

// Rectangles and circles share their layout: two defining points (the
// corners of the shape's box), two doubles and a flag.
class CBoxShape : public CGraphicElement {
 public:
  void Store(CProjectWriter& out) const override;
  void Load(CProjectReader& in) override;
  std::vector<CPoint3> GetEndPoints() const override { return {corner1, corner2}; }

  CPoint3 corner1, corner2;
  double value1 = 0.0, value2 = 0.0;
  uint8_t flag = 0;

 protected:
  bool AssignEndPoints(const std::vector<CPoint3>& points) override;
};

class CRectangle : public CBoxShape {
 public:
  int TypeCode() const override { return kGERectangle; }
  std::unique_ptr<CGraphicElement> Clone() const override;
  double ScreenDistance(CScreenPoint p, const CScreenMap& map) const override;
};

// An ellipse inscribed in the box of its two points.
class CCircle : public CBoxShape {
 public:
  int TypeCode() const override { return kGECircle; }
  std::unique_ptr<CGraphicElement> Clone() const override;
  double ScreenDistance(CScreenPoint p, const CScreenMap& map) const override;
};

class CText : public CGraphicElement {
 public:
  int TypeCode() const override { return kGEText; }
  std::unique_ptr<CGraphicElement> Clone() const override;
  void Store(CProjectWriter& out) const override;
  // Also applies the loaded text height and width to the font.
  void Load(CProjectReader& in) override;
  std::vector<CPoint3> GetEndPoints() const override { return {anchor}; }
  // The text's box: from the anchor, about 0.6 of the height per character
  // wide and the height tall (pixels at zoom 1).
  double ScreenDistance(CScreenPoint p, const CScreenMap& map) const override;

  // Sets the text height and width and the font's.
  void SetTextSize(int32_t height, int32_t width);
  // The font height at a zoom factor: the text height divided by the zoom.
  int32_t FontHeightAtZoom(double zoom) const;

  std::string text;
  CPoint3 anchor;
  CTextFont font;
  int32_t textHeight = -12;
  int32_t textWidth = 0;

 protected:
  bool AssignEndPoints(const std::vector<CPoint3>& points) override;
};

class CCubicBezier : public CGraphicElement {
 public:
  int TypeCode() const override { return kGECubicBezier; }
  std::unique_ptr<CGraphicElement> Clone() const override;
  void Store(CProjectWriter& out) const override;
  void Load(CProjectReader& in) override;
  std::vector<CPoint3> GetEndPoints() const override {
    return {points[0], points[1], points[2], points[3]};
  }
  double ScreenDistance(CScreenPoint p, const CScreenMap& map) const override;
  // The curve's point at parameter t in 0..1.
  CPoint3 PointAt(double t) const;

  CPoint3 points[4];
  int32_t value = 0;

 protected:
  bool AssignEndPoints(const std::vector<CPoint3>& pts) override;
};

class CPolygon : public CGraphicElement {
 public:
  int TypeCode() const override { return kGEPolygon; }
  std::unique_ptr<CGraphicElement> Clone() const override;
  void Store(CProjectWriter& out) const override;
  void Load(CProjectReader& in) override;
  std::vector<CPoint3> GetEndPoints() const override { return vertices; }
  double ScreenDistance(CScreenPoint p, const CScreenMap& map) const override;

  std::vector<CPoint3> vertices;

 protected:
  bool AssignEndPoints(const std::vector<CPoint3>& points) override;
};

// A specialized shape (symbol) drawn in the box of its two points.
class CWingDing : public CGraphicElement {
 public:
  int TypeCode() const override { return kGEWingDing; }
  std::unique_ptr<CGraphicElement> Clone() const override;
  void Store(CProjectWriter& out) const override;
  void Load(CProjectReader& in) override;
  std::vector<CPoint3> GetEndPoints() const override { return {corner1, corner2}; }
  double ScreenDistance(CScreenPoint p, const CScreenMap& map) const override;

  int32_t shape = 4;
  CPoint3 corner1, corner2;

 protected:
  bool AssignEndPoints(const std::vector<CPoint3>& points) override;
};

// A new object of the kind with the type code; null for an unknown code.
std::unique_ptr<CGraphicElement> CreateGraphicElement(int typeCode);

// The class name of a type code ("CSLine", ...), or "" when unknown.
const char* GraphicElementTypeName(int typeCode);

}  // namespace olm
