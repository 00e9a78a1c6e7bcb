#pragma once
// The plot model: `CGraph` and its four axis kinds.
//
// A graph owns the world window, lays out its frame inside a drawing
// rectangle, maps world coordinates to device pixels and back, and draws the
// grid, the axes with their ticks and numbers, the frame with the titles and
// the zero lines on an IPlotCanvas.  Everything here is plain arithmetic; no
// drawing toolkit is involved.
//
// | kind | class               | x axis | y axis |
// | 0    | CLinear<double>     | linear | linear |
// | 1    | CXLogYLinear<double>| log    | linear |
// | 2    | CXLinearYLog<double>| linear | log    |
// | 3    | CXLogYLog<double>   | log    | log    |
//
// A log axis keeps the base-10 logarithms of its limits in the window.
//
// Mapping, with frame left L and bottom B, scales sx and sy (world units, or
// decades, per pixel) and u = x - x0 (log10 x - x0 on a log axis), v alike:
//   kind 0:      px = trunc(u/sx + L + 0.5),  py = B - trunc(v/sy + 0.5)
//   kinds 1..3:  px = trunc(u/sx) + L,        py = trunc(B - v/sy)
// The inverse is x = (px - L)*sx + x0, y = (B - py)*sy + y0, raised to the
// power of ten on a log axis.  Device values are held within +-2^24 pixels,
// so points far outside the window never overflow an integer.  Curves are
// mapped four points at a time (MapInsideBlock) with the same arithmetic,
// so they land exactly where WorldToDevice puts their points.
//
// Choices where the drawing is not fixed otherwise:
// - Ticks point outwards from the frame (inwards when the plot settings'
//   "ticks outside" switch is off); a major tick is text height / 7 long and
//   a minor one text height / 14, at least 4 and 2 pixels.
// - A linear axis has ten ticks per labelled division and a label at every
//   tenth tick; at the default five divisions that is 50 ticks.  Grid lines
//   of a linear direction fall at half divisions (10 at the default).
//   Values within 1e-12 of the axis range from zero are labelled 0.
// - A log axis starts its decades at the window minimum and puts every tick,
//   grid line and decade label where the mapping puts its value.  A window
//   that is not a whole number of decades thus keeps its partial last
//   decade ticked and gridded, and a decade label appears only when the
//   decade's value lies in the window (1..1000: 1, 10, 100, 1000;
//   1..500: 1, 10, 100).  The decade count is trunc(log10 max - log10 min),
//   taken with a 1e-6 allowance (and ticks and labels placed with the same
//   allowance) so that windows held as floats count their whole decades.
// - Axis number formats are printf formats with one floating conversion
//   (flags, width and precision allowed, "%%" kept); any other format is
//   replaced by "%-g" so a stored format can never read arguments that are
//   not there.
// - Zero lines are drawn on linear axes only: a log axis has no zero.
// - A window whose limits are equal is widened around the value (by 5% of
//   its size, or 0.5 for 0; half a decade on a log axis), limits in the
//   wrong order are swapped, and non-finite limits are refused (false, no
//   message) with the old window kept.
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Methods.hpp"
#include "numerics/Containers.hpp"
#include "plot/PlotCanvas.hpp"

namespace olm {

// The x and y columns of a curve: count points, element i at x[i * stride].
struct CCurveView {
  const double* x = nullptr;
  const double* y = nullptr;
  std::ptrdiff_t stride = 1;
  size_t count = 0;
};

// Rows 1..rows of a matrix's x and y columns (an empty view when the columns
// or rows are not there).
CCurveView CurveColumns(const CMatrix<double>& m, int rows, int xColumn, int yColumn);
// Two vectors of the same length (the best-fit curve).
CCurveView CurveVectors(const CVector<double>& x, const CVector<double>& y);

// Measures of the graph's fonts on the device, in pixels.
struct CGraphFontMeasures {
  int charWidth = 8;         // average character width of the axis-number font
  int lineHeight = 16;       // line height of the axis-number font
  int titleLineHeight = 36;  // line height of the title font
  int legendWidth = 0;       // width of the legend drawn beside the frame, when shown
};

struct CAxisTick {
  int position = 0;  // device x of an x-axis tick, device y of a y-axis tick
  bool major = false;
};

struct CAxisLabel {
  int position = 0;
  double value = 0.0;
  std::string text;
};

struct CAxisMarks {
  std::vector<CAxisTick> ticks;
  std::vector<CAxisLabel> labels;
};

// One line of the legend drawn beside the frame.
struct CGraphLegendEntry {
  std::string text;
  CPenSpec pen;
  int markerKind = 0;
};

// Texts, fonts and colours the graph draws with.  Colours are 0x00BBGGRR.
struct CGraphAppearance {
  std::string title, xTitle, yTitle, yRightTitle;
  CFontSpec titleFont{"Arial", 30, 700};
  CFontSpec axisTitleFont{"Arial", 20, 700};  // x-axis title
  CFontSpec yTitleFont{"Arial", 20, 700};
  CFontSpec numberFont{"Arial", 14, 400};
  CFontSpec legendFont{"Arial", 14, 400};
  uint32_t titleColour = 0, xTitleColour = 0, yTitleColour = 0, yRightTitleColour = 0;
  uint32_t background = 0xFFFFFF;
  uint32_t gridColour = 0xC0C0C0;
  uint32_t frameColour = 0x000000;
  uint32_t numberColour = 0x000000;
  uint32_t zeroLineColour = 0xFF0000;  // blue
  int xLabelRotation = 0;              // tenths of a degree, for the x-axis numbers
  bool ticksOutside = true;
};

// Draws a marker of the kind (1..10; 0 draws nothing) centred on p, size
// pixels across, with the canvas's current pen.  Kinds: 1 square, 2 circle,
// 3 triangle, 4 diamond, 5 cross, 6 plus, 7 star, 8 filled square, 9 filled
// circle, 10 filled triangle; other values draw a square.
void DrawMarker(IPlotCanvas& canvas, CDevicePoint p, int kind, int size, uint32_t colour);

class CGraph {
 public:
  enum AxisKind { kLinear = 0, kXLogYLinear = 1, kXLinearYLog = 2, kXLogYLog = 3 };
  static constexpr int kAxisKinds = 4;
  static constexpr double kLogMinimum = 0.000001;
  static constexpr double kDefaultOutsideTolerance = 1e-5;
  static constexpr int kCoordinateLimit = 1 << 24;

  virtual ~CGraph() = default;

  virtual int Kind() const = 0;
  bool IsXLog() const { return m_xLog; }
  bool IsYLog() const { return m_yLog; }

  // The menu command of an axis kind ("Graph: Linear", ...), "" when unknown.
  static const char* KindCommand(int kind);

  // --- The operations every kind provides.
  // Sets the world window (world values).  A log axis refuses a limit below
  // 0.000001 with a warning and keeps the previous window.  True when taken.
  virtual bool SetWorldWindow(double xMin, double yMin, double xMax, double yMax) = 0;
  virtual void DrawXAxis(IPlotCanvas& canvas) const;
  virtual void DrawYAxis(IPlotCanvas& canvas) const;
  virtual void DrawGrid(IPlotCanvas& canvas) const;
  // The legend beside the frame (only when the legend switch is on).
  virtual void DrawLegend(IPlotCanvas& canvas) const;
  virtual CDevicePoint WorldToDevice(double x, double y) const = 0;
  virtual CWorldPoint DeviceToWorld(int px, int py) const = 0;
  virtual CWorldPoint DeviceToWorldPoint(CDevicePoint p) const = 0;
  // Outside the window widened by the outside tolerance (in decades on a log
  // axis).  A value that cannot be placed (NaN; zero or less on a log axis)
  // is outside.
  virtual bool IsOutside(double x, double y) const = 0;
  // Each coordinate moved to the nearest window edge when beyond it.
  virtual CWorldPoint ClampToWindow(double x, double y) const = 0;

  // The polyline rule over a curve: points outside the window are skipped
  // and every inside point is joined to the previous inside point.  The
  // device points are appended to out.  With `thin`, consecutive points that
  // fall in one pixel column are reduced to the first, the lowest, the
  // highest and the last of them (in their order), which draws the same
  // pixels with at most four points per column.
  virtual void AppendPolyline(const CCurveView& curve, bool thin,
                              std::vector<CDevicePoint>& out) const = 0;
  // The device positions of a curve's inside points for its markers, each
  // position once.
  virtual void AppendMarkerPoints(const CCurveView& curve,
                                  std::vector<CDevicePoint>& out) const = 0;

  // --- Layout.
  // Placement fractions of the plot rectangle inside the drawing rectangle.
  void SetPlacement(double left, double top, double right, double bottom);
  // Plot rectangle from the placement fractions, then the frame inside its
  // margins (left 9 character widths, top 2 title lines, bottom 3 lines,
  // right 3 character widths plus the legend), then the scales.
  void Layout(const CDeviceRect& rect, const CGraphFontMeasures& measures);
  const CDeviceRect& PlotRect() const { return m_plotRect; }
  const CDeviceRect& Frame() const { return m_frame; }
  int FrameWidth() const { return m_frame.Width(); }
  int FrameHeight() const { return m_frame.Height(); }
  const CGraphFontMeasures& Measures() const { return m_measures; }

  // --- Window, in world values (log axes return 10^limit).
  double XMin() const { return m_xLog ? std::pow(10.0, m_xMin) : m_xMin; }
  double XMax() const { return m_xLog ? std::pow(10.0, m_xMax) : m_xMax; }
  double YMin() const { return m_yLog ? std::pow(10.0, m_yMin) : m_yMin; }
  double YMax() const { return m_yLog ? std::pow(10.0, m_yMax) : m_yMax; }
  // The stored window (logarithms on a log axis) and the scales.
  double WindowXMin() const { return m_xMin; }
  double WindowXMax() const { return m_xMax; }
  double WindowYMin() const { return m_yMin; }
  double WindowYMax() const { return m_yMax; }
  double XScale() const { return m_xScale; }
  double YScale() const { return m_yScale; }
  int XDecades() const { return m_xDecades; }
  int YDecades() const { return m_yDecades; }

  // --- Ticks, labels and grid lines (device positions).
  CAxisMarks XAxisMarks() const;
  CAxisMarks YAxisMarks() const;
  std::vector<int> VerticalGridLines() const { return GridLines(true); }     // device x of each
  std::vector<int> HorizontalGridLines() const { return GridLines(false); }  // device y of each
  // Tick lengths from the axis-number font's text height.
  int MajorTickLength() const;
  int MinorTickLength() const;

  // Ticks per axis and how many of them make one labelled division.
  void SetTicks(int xTicks, int yTicks, int ticksPerLabel = 10);
  void SetGridDivisions(int x, int y);
  void SetGridLines(bool vertical, bool horizontal);
  int XTicks() const { return m_xTicks; }
  int YTicks() const { return m_yTicks; }
  // The axis number formats; an unsafe format falls back to "%-g".
  void SetAxisFormats(const std::string& x, const std::string& y);
  const std::string& XFormat() const { return m_xFormat; }
  const std::string& YFormat() const { return m_yFormat; }

  double GetOutsideTolerance() const { return m_outsideTolerance; }
  void SetOutsideTolerance(double t) { m_outsideTolerance = t; }

  // --- Frame, titles, zero lines.
  void DrawBackground(IPlotCanvas& canvas, const CDeviceRect& rect) const;
  // The frame in a solid pen, the title above it and the axis titles.
  void DrawFrame(IPlotCanvas& canvas) const;
  // The line y = 0 when showX and the window spans it, x = 0 likewise.
  void DrawZeroLines(IPlotCanvas& canvas, bool showX, bool showY) const;

  CGraphAppearance& Appearance() { return m_appearance; }
  const CGraphAppearance& Appearance() const { return m_appearance; }

  bool showLegend = false;
  std::vector<CGraphLegendEntry> legend;
  int markerSize = 5;
  bool doubleBuffer = true;

  // --- Printing: line widths are multiplied by the factor.
  // (drawing width + height) / (horizontal + vertical resolution), in
  // integers, at least 1.
  static int PrintLineWidthFactor(int width, int height, int resolutionX, int resolutionY);
  void SetPrinting(bool printing, int lineWidthFactor);
  bool IsPrinting() const { return m_printing; }
  int LineWidthFactor() const { return m_printing ? m_lineWidthFactor : 1; }

 protected:
  CGraph(bool xLog, bool yLog);

  // Stores a checked window (logarithms on a log axis) and the decade counts.
  bool StoreWindow(double xMin, double yMin, double xMax, double yMax);
  void UpdateScales();
  // Device position of an x (y) value already in axis units (log10 on a log
  // axis), as the kind maps it.
  virtual int MapU(double u) const = 0;
  virtual int MapV(double v) const = 0;

  // Shared by both axes.
  CAxisMarks LinearMarks(bool xAxis) const;
  CAxisMarks LogMarks(bool xAxis) const;
  std::vector<int> GridLines(bool xAxis) const;

  bool m_xLog, m_yLog;
  double m_xMin = 0.0, m_yMin = 0.0, m_xMax = 1.0, m_yMax = 1.0;
  double m_xScale = 1.0, m_yScale = 1.0;
  double m_placeLeft = 0.1, m_placeTop = 0.1, m_placeRight = 0.9, m_placeBottom = 0.9;
  CDeviceRect m_plotRect{0, 0, 1, 1};
  CDeviceRect m_frame{0, 0, 1, 1};
  CGraphFontMeasures m_measures;
  int m_xDecades = 0, m_yDecades = 0;
  int m_xTicks = 50, m_yTicks = 50, m_ticksPerLabel = 10;
  int m_xGridDivisions = 10, m_yGridDivisions = 10;
  bool m_verticalGrid = true, m_horizontalGrid = true;
  std::string m_xFormat = "%-g", m_yFormat = "%-g";
  double m_outsideTolerance = kDefaultOutsideTolerance;
  bool m_printing = false;
  int m_lineWidthFactor = 1;
  CGraphAppearance m_appearance;
};

// An axis number in a printf format with one floating conversion.
std::string FormatAxisValue(const std::string& format, double value);
// True when the format has exactly one floating conversion and nothing else
// that reads an argument.
bool IsSafeAxisFormat(const std::string& format);

// Collects the points of one pixel column and passes on the first, lowest,
// highest and last of them, in their order.
class CColumnThinner {
 public:
  CColumnThinner(std::vector<CDevicePoint>& out, bool thin) : m_out(out), m_thin(thin) {}
  ~CColumnThinner() { Flush(); }

  void Add(int x, int y) { AddBlock(&x, &y, 1); }

  // Points x[i], y[i] in order.
  void AddBlock(const int* xs, const int* ys, size_t n) {
    if (!m_thin) {
      for (size_t i = 0; i < n; ++i) m_out.push_back({xs[i], ys[i]});
      return;
    }
    size_t i = 0;
    while (i < n) {
      if (!m_open || xs[i] != m_x) {
        Flush();
        m_open = true;
        m_x = xs[i];
        m_first = m_min = m_max = m_last = ys[i];
        m_seq = m_minSeq = m_maxSeq = 0;
        ++i;
        continue;
      }
      // The rest of this column's run within the block.
      int lo = m_min, hi = m_max;
      long seq = m_seq, loSeq = m_minSeq, hiSeq = m_maxSeq;
      const int x = m_x;
      for (; i < n && xs[i] == x; ++i) {
        const int y = ys[i];
        ++seq;
        if (y < lo) lo = y, loSeq = seq;
        if (y > hi) hi = y, hiSeq = seq;
      }
      m_min = lo, m_max = hi, m_seq = seq, m_minSeq = loSeq, m_maxSeq = hiSeq;
      m_last = ys[i - 1];
    }
  }

  void Flush() {
    if (!m_open) return;
    m_open = false;
    int previous = m_first;
    m_out.push_back({m_x, m_first});
    const auto push = [&](int y) {
      if (y != previous) m_out.push_back({m_x, y});
      previous = y;
    };
    if (m_minSeq <= m_maxSeq) {
      push(m_min);
      push(m_max);
    } else {
      push(m_max);
      push(m_min);
    }
    push(m_last);
  }

 private:
  std::vector<CDevicePoint>& m_out;
  bool m_thin;
  bool m_open = false;
  int m_x = 0, m_first = 0, m_min = 0, m_max = 0, m_last = 0;
  long m_seq = 0, m_minSeq = 0, m_maxSeq = 0;
};

// The linear part of a mapping, in axis units (log10 on a log axis).
struct CBlockMapping {
  double x0 = 0, y0 = 0, sx = 1, sy = 1;      // window minima and scales
  double left = 0, bottom = 0;                // frame
  double uLo = 0, uHi = 0, vLo = 0, vHi = 0;  // the window widened by the tolerance
  bool rounded = true;                        // kind 0 rounds, the others truncate
};
constexpr size_t kMapBlock = 1024;
// Maps n points (u[i * stride], v[i * stride], already in axis units) and
// writes the device points of those inside, in order, to px and py; returns
// their number.  The arithmetic is that of WorldToDevice.
size_t MapInsideBlock(const double* u, const double* v, std::ptrdiff_t stride, size_t n,
                      const CBlockMapping& m, int* px, int* py);

// A log axis as the block mapping sees it: window minimum and decades per
// pixel, and the window widened by the tolerance, all in decades.
struct CLogAxisBlock {
  double origin = 0, scale = 1, lo = 0, hi = 0;
};
// Writes log10(x[i * stride]) for n values to out, a block at a time.  Most
// values take a vectorised logarithm good to about 1e-15; a value takes
// std::log10 where the difference could show: not positive and normal, or
// within the approximation's error of a pixel boundary or of the window's
// ends.  So the device points are the ones WorldToDevice gives.
void Log10Block(const double* x, std::ptrdiff_t stride, size_t n, const CLogAxisBlock& axis,
                double* out);

// The four axis kinds share one implementation; XLog and YLog select the
// axes, and kind 0 rounds to the nearest pixel while the others truncate.
// The axes draw by their kind (decades on a log axis) through the base
// class.  T is the type of world values; the program uses double.
template <class T, bool XLog, bool YLog>
class CAxisGraph : public CGraph {
 public:
  int Kind() const override { return (XLog ? 1 : 0) + (YLog ? 2 : 0); }

  bool SetWorldWindow(double xMin, double yMin, double xMax, double yMax) override;

  CDevicePoint WorldToDevice(double x, double y) const override {
    return {MapU(AxisX(x) - m_xMin), MapV(AxisY(y) - m_yMin)};
  }
  CWorldPoint DeviceToWorld(int px, int py) const override {
    double x = (px - m_frame.left) * m_xScale + m_xMin;
    double y = (m_frame.bottom - py) * m_yScale + m_yMin;
    if constexpr (XLog) x = std::pow(10.0, x);
    if constexpr (YLog) y = std::pow(10.0, y);
    return {x, y};
  }
  CWorldPoint DeviceToWorldPoint(CDevicePoint p) const override { return DeviceToWorld(p.x, p.y); }
  bool IsOutside(double x, double y) const override {
    const double u = AxisX(x), v = AxisY(y);
    const double t = m_outsideTolerance;
    return !(u >= m_xMin - t && u <= m_xMax + t && v >= m_yMin - t && v <= m_yMax + t);
  }
  CWorldPoint ClampToWindow(double x, double y) const override {
    double u = AxisX(x), v = AxisY(y);
    if (u < m_xMin) u = m_xMin;
    if (u > m_xMax) u = m_xMax;
    if (v < m_yMin) v = m_yMin;
    if (v > m_yMax) v = m_yMax;
    if constexpr (XLog) u = std::pow(10.0, u);
    if constexpr (YLog) v = std::pow(10.0, v);
    return {u, v};
  }

  void AppendPolyline(const CCurveView& curve, bool thin,
                      std::vector<CDevicePoint>& out) const override {
    CColumnThinner thinner(out, thin);
    ForEachInsideBlock(
        curve, [&](const int* px, const int* py, size_t n) { thinner.AddBlock(px, py, n); });
  }
  void AppendMarkerPoints(const CCurveView& curve, std::vector<CDevicePoint>& out) const override;

 protected:
  // The window starts as 0..1 (1..10 on a log axis).
  CAxisGraph() : CGraph(XLog, YLog) {}

  static constexpr bool kRounded = !XLog && !YLog;

  static double AxisX(double x) {
    if constexpr (XLog) return std::log10(x);
    return x;
  }
  static double AxisY(double y) {
    if constexpr (YLog) return std::log10(y);
    return y;
  }
  static double Limit(double d) {
    constexpr double lim = kCoordinateLimit;
    return d < -lim ? -lim : d > lim ? lim : d;  // NaN stays NaN
  }
  static int ToInt(double d) { return d == d ? static_cast<int>(Limit(d)) : 0; }

  int MapU(double u) const override {
    if constexpr (kRounded) return ToInt(u / m_xScale + m_frame.left + 0.5);
    return ToInt(u / m_xScale) + m_frame.left;
  }
  int MapV(double v) const override {
    if constexpr (kRounded) return m_frame.bottom - ToInt(v / m_yScale + 0.5);
    return ToInt(m_frame.bottom - v / m_yScale);
  }

  // Calls f(px, py, n) with the device points of the inside points, a block
  // at a time, in order.
  template <class F>
  void ForEachInsideBlock(const CCurveView& c, F&& f) const {
    CBlockMapping m;
    m.x0 = m_xMin, m.y0 = m_yMin, m.sx = m_xScale, m.sy = m_yScale;
    m.left = m_frame.left, m.bottom = m_frame.bottom;
    const double t = m_outsideTolerance;
    m.uLo = m_xMin - t, m.uHi = m_xMax + t, m.vLo = m_yMin - t, m.vHi = m_yMax + t;
    m.rounded = kRounded;
    int px[kMapBlock], py[kMapBlock];
    [[maybe_unused]] double lu[kMapBlock], lv[kMapBlock];
    for (size_t start = 0; start < c.count; start += kMapBlock) {
      const size_t n = c.count - start < kMapBlock ? c.count - start : kMapBlock;
      const double* xs = c.x + static_cast<std::ptrdiff_t>(start) * c.stride;
      const double* ys = c.y + static_cast<std::ptrdiff_t>(start) * c.stride;
      size_t k;
      if constexpr (XLog || YLog) {
        // The linear axis's values are copied so both columns have stride 1.
        if constexpr (XLog)
          Log10Block(xs, c.stride, n, {m.x0, m.sx, m.uLo, m.uHi}, lu);
        else
          for (size_t i = 0; i < n; ++i) lu[i] = xs[static_cast<std::ptrdiff_t>(i) * c.stride];
        if constexpr (YLog)
          Log10Block(ys, c.stride, n, {m.y0, m.sy, m.vLo, m.vHi}, lv);
        else
          for (size_t i = 0; i < n; ++i) lv[i] = ys[static_cast<std::ptrdiff_t>(i) * c.stride];
        k = MapInsideBlock(lu, lv, 1, n, m, px, py);
      } else {
        k = MapInsideBlock(xs, ys, c.stride, n, m, px, py);
      }
      if (k > 0) f(static_cast<const int*>(px), static_cast<const int*>(py), k);
    }
  }
};

template <class T>
class CLinear : public CAxisGraph<T, false, false> {};
template <class T>
class CXLogYLinear : public CAxisGraph<T, true, false> {};
template <class T>
class CXLinearYLog : public CAxisGraph<T, false, true> {};
template <class T>
class CXLogYLog : public CAxisGraph<T, true, true> {};

extern template class CAxisGraph<double, false, false>;
extern template class CAxisGraph<double, true, false>;
extern template class CAxisGraph<double, false, true>;
extern template class CAxisGraph<double, true, true>;

// The axis kinds: the kind numbers of CGraph, `olm plot --axes` keywords and
// the names of the graph commands.
enum class AxisScales { kLinear, kLogX, kLogY, kLogLog };

struct CAxisKindInfo {
  AxisScales value;
  int stored;           // CGraph kind number
  const char* keyword;  // `olm plot --axes`
  const char* command;  // "Graph: ..." command name
};

inline constexpr std::array<CAxisKindInfo, CGraph::kAxisKinds> kGraphAxes = {{
    {AxisScales::kLinear, CGraph::kLinear, "linear", "Graph: Linear"},
    {AxisScales::kLogX, CGraph::kXLogYLinear, "logx", "Graph: Log X - Linear Y"},
    {AxisScales::kLogY, CGraph::kXLinearYLog, "logy", "Graph: Linear X - Log Y"},
    {AxisScales::kLogLog, CGraph::kXLogYLog, "loglog", "Graph: Log X - Log Y"},
}};
static_assert(InEnumOrder(kGraphAxes));

}  // namespace olm
