#pragma once
// Drawing the plot with QPainter (QtGui only) on any paint device: the
// screen, a printer, an image, SVG or PDF.  This and PlotPainter.cpp are the
// only files of the plot library that use Qt; everything they draw is
// decided by the toolkit-free plot code through IPlotCanvas.
//
// Texts from the project are UTF-8 when they are valid UTF-8 and Latin-1
// otherwise.  Fonts are sized in pixels of the paint device.
//
// Curves (solid, opaque, without edge smoothing) on an image are drawn by
// the canvas itself: each segment as a run of pixels (Bresenham's rule)
// stamped with a square of the pen's width, centred as the painter centres
// a line of that width.  This draws the same picture as the painter's
// stroker, with square instead of round ends, some twenty times faster for
// curves of many points, and a curve and its thinned form cover exactly the
// same pixels.  Vector devices, printers, styled pens and transformed or
// clipped painters get the painter's own strokes.
#include <QByteArray>
#include <QGuiApplication>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plot/PlotView.hpp"

namespace olm {

// An IPlotCanvas over a QPainter.
class CQtPlotCanvas : public IPlotCanvas {
 public:
  explicit CQtPlotCanvas(QPainter& painter);

  void SetPen(const CPenSpec& pen) override;
  void SetBrush(bool filled, uint32_t colour) override;
  void SetAntialiasing(bool on) override;
  void FillRect(const CDeviceRect& rect, uint32_t colour) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void Polyline(const CDevicePoint* points, size_t count) override;
  void Polygon(const CDevicePoint* points, size_t count) override;
  void Rectangle(const CDeviceRect& rect) override;
  void Ellipse(const CDeviceRect& rect) override;
  void Bezier(const CDevicePoint points[4]) override;
  void Text(int x, int y, std::string_view text, const CFontSpec& font, uint32_t colour,
            int align) override;
  CTextMetrics Metrics(const CFontSpec& font) override;
  int TextWidth(std::string_view text, const CFontSpec& font) override;

  // The image fast path of Polyline; false when it does not apply.
  bool RasterPolyline(const CDevicePoint* points, size_t count);

  static QColor Colour(uint32_t bgr);
  static QString ToQString(std::string_view text);
  static QFont Font(const CFontSpec& spec);

 private:
  const QFont& CachedFont(const CFontSpec& spec);
  const std::vector<QPoint>& Points(const CDevicePoint* points, size_t count);

  QPainter& m_painter;
  CFontSpec m_fontSpec;
  QFont m_font;
  bool m_haveFont = false;
  std::vector<QPoint> m_points;
};

// Creates the QGuiApplication that text drawing needs, when none exists,
// for the lifetime of the object.  Without a QT_QPA_PLATFORM setting the
// "offscreen" platform is used, so that no display is needed.
class CGuiApplicationScope {
 public:
  CGuiApplicationScope();
  ~CGuiApplicationScope();
  CGuiApplicationScope(const CGuiApplicationScope&) = delete;
  CGuiApplicationScope& operator=(const CGuiApplicationScope&) = delete;

 private:
  std::unique_ptr<QGuiApplication> m_app;
};

// Paints the plot view's picture of the document into the rectangle.
CPlotPaintResult RenderPlot(QPainter& painter, const QRect& rect, CPlotView& view,
                            const CReplicateDB& db, const CGEList& objects,
                            const CPlotPaintOptions& options);
CPlotPaintResult RenderPlot(QPainter& painter, const QRect& rect, CPlotView& view,
                            const CReplicateDB& db, const CGEList& objects);

// Printing options for a device and drawing rectangle: the line-width
// factor from the device's resolution and the font scale to 96 pixels per
// inch.
CPlotPaintOptions PrintOptions(const CPlotView& view, const QPaintDevice& device,
                               const QRect& rect);

// The picture painted over the whole of an existing image (cleared first),
// so that a view repainting at the same size keeps its buffer.
CPlotPaintResult RenderPlotInto(QImage& image, CPlotView& view, const CReplicateDB& db,
                                const CGEList& objects, const CPlotPaintOptions& options);

// Draws the curves that the options' replicate filters let through over an
// image painted with the same view before (its graph keeps that layout).
void RenderCurvesOver(QImage& image, const CPlotView& view, const CReplicateDB& db,
                      const CPlotPaintOptions& options);

// The picture as an image of the given size.
QImage RenderPlotImage(int width, int height, CPlotView& view, const CReplicateDB& db,
                       const CGEList& objects, const CPlotPaintOptions& options,
                       CPlotPaintResult* result = nullptr);

enum class PlotFileFormat { kUnknown, kPng, kSvg, kPdf };
// By the file name's extension (.png, .svg, .pdf in any case).
PlotFileFormat PlotFileFormatOf(const std::string& path);

// A picture of width x height pixels (SVG and PDF at 96 pixels per inch) in
// a file format, drawn into bytes by paint(painter, the device's rectangle)
// on white.  False when it could not be drawn.
bool RenderPicture(PlotFileFormat format, int width, int height, const QString& title,
                   const std::function<void(QPainter&, const QRect&)>& paint, QByteArray& bytes);

// Writes the picture, width x height pixels (SVG and PDF at 96 pixels per
// inch): drawn in memory, then written through COutputFile.  False, with a
// message, for an unknown extension or a file that cannot be written (not a
// regular file, one of the inputs, a failed write); a previous file is then
// left as it was.
bool ExportPlot(const std::string& path, int width, int height, CPlotView& view,
                const CReplicateDB& db, const CGEList& objects, CPlotPaintOptions options,
                CPlotPaintResult* result = nullptr, const std::vector<std::string>& inputs = {});

}  // namespace olm
