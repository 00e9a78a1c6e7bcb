#pragma once
// The drawing surface the plot code draws on, free of any toolkit.
//
// The graph, the plot scene and the legend compute everything in device
// pixels and hand the result to an IPlotCanvas: pens, brushes, lines,
// polylines, shapes and text.  The Qt painter adapter (PlotPainter.hpp)
// draws on any paint device; tests use a recording canvas.
//
// Colours are 0x00BBGGRR values, as the plot settings store them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace olm {

// A point on the device, in pixels (y grows downwards).
struct CDevicePoint {
  int x = 0, y = 0;
  bool operator==(const CDevicePoint&) const = default;
};

// A device rectangle; right and bottom are exclusive.
struct CDeviceRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(CDevicePoint p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  bool operator==(const CDeviceRect&) const = default;
};

// A point in world (data) coordinates.
struct CWorldPoint {
  double x = 0.0, y = 0.0;
};

// Pen styles: the entries of the plot settings' pen-style table.
enum PenStyle {
  kPenSolid = 0,
  kPenDash = 1,
  kPenDot = 2,
  kPenDashDot = 3,
  kPenDashDotDot = 4,
  kPenNull = 5,
};

struct CPenSpec {
  int style = kPenSolid;
  int width = 1;  // pixels; 0 draws one pixel wide
  uint32_t colour = 0;
  bool operator==(const CPenSpec&) const = default;
};

// A font as the plot asks for it: face, character height in pixels, weight
// (400 normal, 700 bold), italic, and escapement in tenths of a degree
// (counter-clockwise rotation of the text's baseline).
struct CFontSpec {
  std::string face = "Arial";
  int pixelHeight = 14;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  int escapement = 0;
  bool operator==(const CFontSpec&) const = default;
};

// Measures of a font on the device, in pixels.
struct CTextMetrics {
  int height = 0;  // ascent + descent
  int ascent = 0;
  int externalLeading = 0;  // extra space between lines
  int averageCharWidth = 0;
  int LineHeight() const { return height + externalLeading; }
};

// Text placement relative to the given point.
enum TextAlign {
  kAlignLeft = 0,
  kAlignHCenter = 1,
  kAlignRight = 2,
  kAlignTop = 0,
  kAlignVCenter = 4,
  kAlignBottom = 8,
};

class IPlotCanvas {
 public:
  virtual ~IPlotCanvas() = default;

  virtual void SetPen(const CPenSpec& pen) = 0;
  // A solid brush of the colour, or no brush (shapes are not filled).
  virtual void SetBrush(bool filled, uint32_t colour = 0) = 0;
  // Smoothed edges for the shapes and lines that follow (annotations); the
  // curves, grid and frame are drawn without.
  virtual void SetAntialiasing(bool on) = 0;

  virtual void FillRect(const CDeviceRect& rect, uint32_t colour) = 0;
  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  virtual void Polyline(const CDevicePoint* points, size_t count) = 0;
  virtual void Polygon(const CDevicePoint* points, size_t count) = 0;
  virtual void Rectangle(const CDeviceRect& rect) = 0;
  virtual void Ellipse(const CDeviceRect& rect) = 0;
  // A cubic Bezier curve through its four control points.
  virtual void Bezier(const CDevicePoint points[4]) = 0;

  // Text with a transparent background.  The font's escapement turns the
  // text around the anchor point.
  virtual void Text(int x, int y, std::string_view text, const CFontSpec& font, uint32_t colour,
                    int align = kAlignLeft | kAlignTop) = 0;
  virtual CTextMetrics Metrics(const CFontSpec& font) = 0;
  virtual int TextWidth(std::string_view text, const CFontSpec& font) = 0;
};

}  // namespace olm
