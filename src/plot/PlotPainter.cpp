#include "plot/PlotPainter.hpp"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainterPath>
#include <QPdfWriter>
#include <QStringDecoder>
#include <QSvgGenerator>
#include <algorithm>

#include "numerics/OutputFile.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

// ---------------------------------------------------------------------------
// CQtPlotCanvas.

CQtPlotCanvas::CQtPlotCanvas(QPainter& painter) : m_painter(painter) {}

QColor CQtPlotCanvas::Colour(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

QString CQtPlotCanvas::ToQString(std::string_view text) {
  const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString s = decoder(bytes);
  if (decoder.hasError()) return QString::fromLatin1(bytes);
  return s;
}

QFont CQtPlotCanvas::Font(const CFontSpec& spec) {
  QFont f(QString::fromStdString(spec.face));
  f.setPixelSize(std::max(1, spec.pixelHeight));
  f.setWeight(static_cast<QFont::Weight>(std::clamp(spec.weight, 100, 900)));
  f.setItalic(spec.italic);
  f.setUnderline(spec.underline);
  return f;
}

const QFont& CQtPlotCanvas::CachedFont(const CFontSpec& spec) {
  CFontSpec key = spec;
  key.escapement = 0;
  if (!m_haveFont || !(key == m_fontSpec)) {
    m_font = Font(key);
    m_fontSpec = key;
    m_haveFont = true;
  }
  return m_font;
}

const std::vector<QPoint>& CQtPlotCanvas::Points(const CDevicePoint* points, size_t count) {
  m_points.resize(count);
  for (size_t i = 0; i < count; ++i) m_points[i] = QPoint(points[i].x, points[i].y);
  return m_points;
}

void CQtPlotCanvas::SetPen(const CPenSpec& pen) {
  Qt::PenStyle style = Qt::SolidLine;
  switch (pen.style) {
    case kPenDash:
      style = Qt::DashLine;
      break;
    case kPenDot:
      style = Qt::DotLine;
      break;
    case kPenDashDot:
      style = Qt::DashDotLine;
      break;
    case kPenDashDotDot:
      style = Qt::DashDotDotLine;
      break;
    case kPenNull:
      style = Qt::NoPen;
      break;
    default:
      break;
  }
  QPen p(Colour(pen.colour), std::max(0, pen.width), style);
  if (pen.width > 1) {
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
  } else {
    p.setCapStyle(Qt::SquareCap);
  }
  m_painter.setPen(p);
}

void CQtPlotCanvas::SetBrush(bool filled, uint32_t colour) {
  if (filled)
    m_painter.setBrush(Colour(colour));
  else
    m_painter.setBrush(Qt::NoBrush);
}

void CQtPlotCanvas::SetAntialiasing(bool on) {
  m_painter.setRenderHint(QPainter::Antialiasing, on);
}

void CQtPlotCanvas::FillRect(const CDeviceRect& rect, uint32_t colour) {
  m_painter.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), Colour(colour));
}

void CQtPlotCanvas::Line(int x1, int y1, int x2, int y2) {
  m_painter.drawLine(x1, y1, x2, y2);
}

void CQtPlotCanvas::Polyline(const CDevicePoint* points, size_t count) {
  if (count < 2) return;
  if (RasterPolyline(points, count)) return;
  const auto& p = Points(points, count);
  m_painter.drawPolyline(p.data(), static_cast<int>(p.size()));
}

namespace {

// Pixels of an opaque solid pen written straight into an image.
class CPixelStamp {
 public:
  CPixelStamp(QImage& image, QRgb colour, int width)
      : m_bits(image.bits()),
        m_stride(image.bytesPerLine()),
        m_w(image.width()),
        m_h(image.height()),
        m_colour(colour),
        m_size(width),
        m_offset(-(width / 2)) {}

  // The square of the pen's width at a pixel of the line.
  void Stamp(int x, int y) {
    const int x0 = std::max(0, x + m_offset), x1 = std::min(m_w, x + m_offset + m_size);
    const int y0 = std::max(0, y + m_offset), y1 = std::min(m_h, y + m_offset + m_size);
    for (int yy = y0; yy < y1; ++yy) {
      QRgb* row = reinterpret_cast<QRgb*>(m_bits + static_cast<qsizetype>(yy) * m_stride);
      for (int xx = x0; xx < x1; ++xx) row[xx] = m_colour;
    }
  }

  // Every pixel from a to b, both ends included.
  void Segment(int ax, int ay, int bx, int by) {
    // Segments that miss the image by more than the pen are skipped whole.
    const int reach = m_size;
    if (std::max(ax, bx) < -reach || std::min(ax, bx) >= m_w + reach || std::max(ay, by) < -reach ||
        std::min(ay, by) >= m_h + reach)
      return;
    const int dx = std::abs(bx - ax), sx = ax < bx ? 1 : -1;
    const int dy = -std::abs(by - ay), sy = ay < by ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      Stamp(ax, ay);
      if (ax == bx && ay == by) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, ax += sx;
      if (e2 <= dx) err += dx, ay += sy;
    }
  }

 private:
  uchar* m_bits;
  qsizetype m_stride;
  int m_w, m_h;
  QRgb m_colour;
  int m_size, m_offset;
};

}  // namespace

bool CQtPlotCanvas::RasterPolyline(const CDevicePoint* points, size_t count) {
  QPaintDevice* device = m_painter.device();
  if (!device || device->devType() != QInternal::Image) return false;
  QImage& image = *static_cast<QImage*>(device);
  const QImage::Format f = image.format();
  if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
      f != QImage::Format_ARGB32_Premultiplied)
    return false;
  const QPen& pen = m_painter.pen();
  const QTransform& t = m_painter.deviceTransform();
  if (pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern ||
      pen.color().alpha() != 255 || m_painter.opacity() != 1.0 ||
      m_painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
      m_painter.testRenderHint(QPainter::Antialiasing) || m_painter.hasClipping() ||
      t.type() > QTransform::TxTranslate || !image.isDetached())
    return false;
  const int dx = static_cast<int>(t.dx()), dy = static_cast<int>(t.dy());
  if (dx != t.dx() || dy != t.dy()) return false;
  // Points far off the image (a window far narrower than the outside
  // tolerance) are left to the painter, which clips lines first.
  const int w = image.width(), h = image.height();
  for (size_t i = 0; i < count; ++i) {
    const int x = points[i].x + dx, y = points[i].y + dy;
    if (x < -w || x > 2 * w || y < -h || y > 2 * h) return false;
  }
  CPixelStamp stamp(image, pen.color().rgb(), std::max(1, static_cast<int>(pen.widthF() + 0.5)));
  for (size_t i = 1; i < count; ++i)
    stamp.Segment(points[i - 1].x + dx, points[i - 1].y + dy, points[i].x + dx, points[i].y + dy);
  return true;
}

void CQtPlotCanvas::Polygon(const CDevicePoint* points, size_t count) {
  if (count < 2) return;
  const auto& p = Points(points, count);
  m_painter.drawPolygon(p.data(), static_cast<int>(p.size()));
}

void CQtPlotCanvas::Rectangle(const CDeviceRect& rect) {
  m_painter.drawRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()));
}

void CQtPlotCanvas::Ellipse(const CDeviceRect& rect) {
  m_painter.drawEllipse(QRect(rect.left, rect.top, rect.Width(), rect.Height()));
}

void CQtPlotCanvas::Bezier(const CDevicePoint points[4]) {
  QPainterPath path(QPointF(points[0].x, points[0].y));
  path.cubicTo(QPointF(points[1].x, points[1].y), QPointF(points[2].x, points[2].y),
               QPointF(points[3].x, points[3].y));
  const QBrush brush = m_painter.brush();
  m_painter.setBrush(Qt::NoBrush);
  m_painter.drawPath(path);
  m_painter.setBrush(brush);
}

void CQtPlotCanvas::Text(int x, int y, std::string_view text, const CFontSpec& font,
                         uint32_t colour, int align) {
  if (text.empty()) return;
  const QString s = ToQString(text);
  const QFont& f = CachedFont(font);
  const QFontMetrics fm(f, m_painter.device());
  const int w = fm.horizontalAdvance(s), h = fm.height();
  int dx = 0;
  if (align & kAlignHCenter) dx = -w / 2;
  if (align & kAlignRight) dx = -w;
  int baseline = fm.ascent();
  if (align & kAlignVCenter) baseline = fm.ascent() - h / 2;
  if (align & kAlignBottom) baseline = fm.ascent() - h;
  m_painter.save();
  m_painter.setRenderHint(QPainter::TextAntialiasing, true);
  m_painter.setFont(f);
  m_painter.setPen(Colour(colour));
  m_painter.translate(x, y);
  if (font.escapement != 0) m_painter.rotate(-font.escapement / 10.0);
  m_painter.drawText(QPoint(dx, baseline), s);
  m_painter.restore();
}

CTextMetrics CQtPlotCanvas::Metrics(const CFontSpec& font) {
  const QFontMetrics fm(CachedFont(font), m_painter.device());
  CTextMetrics m;
  m.height = fm.height();
  m.ascent = fm.ascent();
  m.externalLeading = std::max(0, fm.leading());
  m.averageCharWidth = std::max(1, fm.averageCharWidth());
  return m;
}

int CQtPlotCanvas::TextWidth(std::string_view text, const CFontSpec& font) {
  const QFontMetrics fm(CachedFont(font), m_painter.device());
  return fm.horizontalAdvance(ToQString(text));
}

// ---------------------------------------------------------------------------
// Application.

namespace {

QtMessageHandler g_previousHandler = nullptr;

// Drops the notice that the offscreen platform has no runtime folder of its
// own (it has nothing to put there); everything else goes on as before.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
  if (g_previousHandler) g_previousHandler(type, context, message);
}

}  // namespace

CGuiApplicationScope::CGuiApplicationScope() {
  if (QGuiApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "olm";
  static char* argv[] = {name, nullptr};
  g_previousHandler = qInstallMessageHandler(QuietHandler);
  m_app = std::make_unique<QGuiApplication>(argc, argv);
}

CGuiApplicationScope::~CGuiApplicationScope() {
  if (!m_app) return;
  m_app.reset();
  qInstallMessageHandler(g_previousHandler);
  g_previousHandler = nullptr;
}

// ---------------------------------------------------------------------------
// Rendering and export.

CPlotPaintResult RenderPlot(QPainter& painter, const QRect& rect, CPlotView& view,
                            const CReplicateDB& db, const CGEList& objects,
                            const CPlotPaintOptions& options) {
  CQtPlotCanvas canvas(painter);
  const CDeviceRect r{rect.left(), rect.top(), rect.left() + rect.width(),
                      rect.top() + rect.height()};
  return view.Paint(canvas, r, db, objects, options);
}

CPlotPaintResult RenderPlot(QPainter& painter, const QRect& rect, CPlotView& view,
                            const CReplicateDB& db, const CGEList& objects) {
  return RenderPlot(painter, rect, view, db, objects, view.PaintOptions());
}

CPlotPaintOptions PrintOptions(const CPlotView& view, const QPaintDevice& device,
                               const QRect& rect) {
  CPlotPaintOptions o = view.PaintOptions();
  o.printing = true;
  o.lineWidthFactor = CGraph::PrintLineWidthFactor(rect.width(), rect.height(),
                                                   device.logicalDpiX(), device.logicalDpiY());
  o.fontScale = device.logicalDpiY() > 0 ? device.logicalDpiY() / 96.0 : 1.0;
  return o;
}

QImage RenderPlotImage(int width, int height, CPlotView& view, const CReplicateDB& db,
                       const CGEList& objects, const CPlotPaintOptions& options,
                       CPlotPaintResult* result) {
  QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  const CPlotPaintResult r = RenderPlotInto(image, view, db, objects, options);
  if (result) *result = r;
  return image;
}

void RenderCurvesOver(QImage& image, const CPlotView& view, const CReplicateDB& db,
                      const CPlotPaintOptions& options) {
  QPainter painter(&image);
  CQtPlotCanvas canvas(painter);
  canvas.SetAntialiasing(false);
  PaintCurves(canvas, view.Graph(), db, options, nullptr);
}

CPlotPaintResult RenderPlotInto(QImage& image, CPlotView& view, const CReplicateDB& db,
                                const CGEList& objects, const CPlotPaintOptions& options) {
  image.fill(Qt::white);
  QPainter painter(&image);
  return RenderPlot(painter, QRect(0, 0, image.width(), image.height()), view, db, objects,
                    options);
}

PlotFileFormat PlotFileFormatOf(const std::string& path) {
  const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  if (suffix == "png") return PlotFileFormat::kPng;
  if (suffix == "svg") return PlotFileFormat::kSvg;
  if (suffix == "pdf") return PlotFileFormat::kPdf;
  return PlotFileFormat::kUnknown;
}

namespace {

bool Failed(const std::string& path, const QString& why) {
  ShowMessage(
      Format("Cannot write the plot file %s: %s.", path.c_str(), why.toLocal8Bit().constData()),
      MessageKind::Error);
  return false;
}

}  // namespace

bool RenderPicture(PlotFileFormat format, int width, int height, const QString& title,
                   const std::function<void(QPainter&, const QRect&)>& paint, QByteArray& bytes) {
  width = std::max(1, width);
  height = std::max(1, height);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);  // a buffer in memory always opens
  switch (format) {
    case PlotFileFormat::kPng: {
      QImage image(width, height, QImage::Format_RGB32);
      image.fill(Qt::white);
      QPainter painter(&image);
      paint(painter, QRect(0, 0, width, height));
      painter.end();
      return image.save(&buffer, "PNG");
    }
    case PlotFileFormat::kSvg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setSize(QSize(width, height));
      svg.setViewBox(QRect(0, 0, width, height));
      svg.setResolution(96);
      svg.setTitle(title);
      QPainter painter;
      if (!painter.begin(&svg)) return false;
      paint(painter, QRect(0, 0, width, height));
      return painter.end();
    }
    case PlotFileFormat::kPdf: {
      QPdfWriter pdf(&buffer);
      pdf.setResolution(96);
      pdf.setCreator(QStringLiteral("OLM"));
      pdf.setTitle(title);
      pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(width * 72.0 / 96.0, height * 72.0 / 96.0),
                                              QPageSize::Point, QString(), QPageSize::ExactMatch),
                                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                    QPageLayout::Point));
      QPainter painter;
      if (!painter.begin(&pdf)) return false;
      paint(painter, QRect(0, 0, pdf.width(), pdf.height()));
      return painter.end();
    }
    case PlotFileFormat::kUnknown:
      break;
  }
  return false;
}

bool ExportPlot(const std::string& path, int width, int height, CPlotView& view,
                const CReplicateDB& db, const CGEList& objects, CPlotPaintOptions options,
                CPlotPaintResult* result, const std::vector<std::string>& inputs) {
  // A picture written to a file shows no selection handles (in every format).
  options.selectionMarks = false;
  const PlotFileFormat format = PlotFileFormatOf(path);
  if (format == PlotFileFormat::kUnknown) {
    ShowMessage(Format("The plot file %s must end in .png, .svg or .pdf.", path.c_str()),
                MessageKind::Error);
    return false;
  }
  CPlotPaintResult r;
  QByteArray bytes;
  const bool written = RenderPicture(
      format, width, height, QStringLiteral("OLM plot"),
      [&](QPainter& painter, const QRect& rect) {
        r = RenderPlot(painter, rect, view, db, objects, options);
      },
      bytes);
  if (result) *result = r;
  if (!written) return Failed(path, QStringLiteral("the picture could not be drawn"));
  std::string error;
  if (WriteTextFile(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                    inputs, &error))
    return true;
  ShowMessage(error, MessageKind::Error);
  return false;
}

}  // namespace olm
