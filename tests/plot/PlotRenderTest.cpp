// The plot drawn with QPainter: the sample project rendered to PNG on each
// axis kind and checked at known pixels, SVG and PDF export, thinning.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <random>
#include <set>

#include "RecordingCanvas.hpp"
#include "SampleProject.hpp"
#include "TestSupport.hpp"
#include "plot/PlotPainter.hpp"

namespace olm::test {
namespace {

const QColor kRed(255, 0, 0), kBlack(0, 0, 0), kWhite(255, 255, 255);

// The sample project with replicate 1's raw curve (red) and replicate 3's
// raw and fitted curves (black, on the same points) shown, on a window
// that every axis kind accepts.
void PrepareSample(CProject& project) {
  FillProcessedProject(project);
  CPlotSettings& s = project.Database().plotSettings;
  s.SetShown(1, kCurveFitted, false);
  s.plotXMin = 0.1f;
  s.plotXMax = 3.9f;
  s.plotYMin = 0.05f;
  s.plotYMax = 3.5f;
}

bool OnGridOrFrame(const CGraph& g, CDevicePoint p) {
  const auto has = [](const auto& lines, int v) {
    return std::find(lines.begin(), lines.end(), v) != lines.end();
  };
  return has(g.VerticalGridLines(), p.x) || has(g.HorizontalGridLines(), p.y) ||
         p.x == g.Frame().left || p.x == g.Frame().right || p.y == g.Frame().top ||
         p.y == g.Frame().bottom;
}

class PlotRenderTest : public ::testing::TestWithParam<int> {};

TEST_P(PlotRenderTest, SampleProjectPngHasCurveColoursWhereTheMappingPutsPoints) {
  CRecordingUi ui;
  CTempDir dir;
  CProject project;
  PrepareSample(project);
  CPlotView view;
  ASSERT_TRUE(view.SetAxisKind(GetParam()));
  const std::string path = dir.File("plot.png");
  CPlotPaintResult result;
  ASSERT_TRUE(ExportPlot(path, 1600, 1000, view, project.Database(), project.Objects(),
                         view.PaintOptions(), &result));
  EXPECT_EQ(std::tuple(result.windowAccepted, result.visibleCurves), std::tuple(true, 3));
  EXPECT_TRUE(ui.messages.empty()) << ui.Last();

  const QImage image(QString::fromStdString(path));
  ASSERT_EQ(image.size(), QSize(1600, 1000));
  const CGraph& g = view.Graph();  // as the paint laid it out
  EXPECT_EQ(g.Kind(), GetParam());

  // Between x = 0.5 and 2.6 replicate 3 (3 sin x) runs well above
  // replicate 1 (sin x), so each point's pixel shows its own curve.
  int checked = 0;
  for (int i = 6; i <= 27; ++i)
    for (const auto& [r, colour] : {std::pair{1, kRed}, {3, kBlack}}) {
      const double x = 0.1 * (i - 1);
      const CDevicePoint p = g.WorldToDevice(x, r * std::sin(x) + 0.01 * i);
      if (OnGridOrFrame(g, p)) continue;
      EXPECT_EQ(image.pixelColor(p.x, p.y), colour) << "replicate " << r << ", point " << i;
      ++checked;
    }
  EXPECT_GE(checked, 20);

  // Background where nothing is drawn: above replicate 1 and below 3 near
  // x = 0.3, and outside the frame.
  CDevicePoint empty = g.WorldToDevice(0.3, 3.3);
  if (OnGridOrFrame(g, empty)) empty.x += 2;
  for (const auto& [x, y] : {std::pair{empty.x, empty.y}, {5, 5}, {1595, 995}})
    EXPECT_EQ(image.pixelColor(x, y), kWhite) << x << "," << y;
  // The frame is black along its left edge.
  EXPECT_EQ(image.pixelColor(g.Frame().left, (g.Frame().top + g.Frame().bottom) / 2), kBlack);
}

INSTANTIATE_TEST_SUITE_P(AxisKinds, PlotRenderTest,
                         ::testing::Values(CGraph::kLinear, CGraph::kXLogYLinear,
                                           CGraph::kXLinearYLog, CGraph::kXLogYLog));

TEST(PlotExportTest, SvgAndPdfFilesHoldTheDrawingOtherFormatsAndPathsAreReported) {
  CRecordingUi ui;
  CTempDir dir;
  CProject project;
  PrepareSample(project);
  CPlotView view;
  const auto Export = [&](const std::string& path) {
    return ExportPlot(path, 800, 500, view, project.Database(), project.Objects(),
                      view.PaintOptions());
  };
  ASSERT_TRUE(Export(dir.File("plot.svg")));
  const std::string svg = ReadFile(dir.File("plot.svg"));
  for (const char* part : {"<svg", "#ff0000", "Tensile tests"})  // #ff0000: the red curve
    EXPECT_NE(svg.find(part), std::string::npos) << part;
  ASSERT_TRUE(Export(dir.File("Plot.PDF")));
  const std::string pdf = ReadFile(dir.File("Plot.PDF"));
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_GT(pdf.size(), 2000u);
  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
  EXPECT_EQ(std::tuple(PlotFileFormatOf("a.Png"), PlotFileFormatOf("a.svg"),
                       PlotFileFormatOf("a.png.txt")),
            std::tuple(PlotFileFormat::kPng, PlotFileFormat::kSvg, PlotFileFormat::kUnknown));
  EXPECT_FALSE(Export(dir.File("plot.bmp")));
  EXPECT_EQ(ui.Last(),
            "The plot file " + dir.File("plot.bmp") + " must end in .png, .svg or .pdf.");
  const std::string missing = dir.File("no/such/folder/plot.png");
  EXPECT_FALSE(Export(missing));
  EXPECT_EQ(ui.Last(), "Cannot write " + missing + ": No such file or directory.");
}

TEST(PlotRenderThinningTest, ThinnedAndFullCurvesPaintTheSamePixels) {
  CRecordingUi ui;
  CReplicateDB db;
  std::mt19937 rng(3);
  std::normal_distribution<double> noise(0.0, 0.3);
  AddCurve(db, "noisy", Generate(40000, [](int i) { return i * 5e-5; }),
           Generate(40000, [&](int i) { return std::sin(i * 5e-4) + noise(rng); }));
  db.ComputeExtents(true);
  db.RefreshPlotLimits(true);
  db.plotSettings.plotYMax = 1.0f;  // some points outside the window
  CGEList objects;
  CPlotView view;
  // One- and two-pixel solid pens, and a dotted pen (drawn whole).
  for (const auto& [width, style] : {std::pair{1, 0}, std::pair{2, 2}, std::pair{1, 2}}) {
    db.plotSettings.Style(1).lineWidth = width;
    db.plotSettings.Style(1).lineStyleIndex = style;
    CPlotPaintOptions o = view.PaintOptions();
    CPlotPaintResult thinResult, fullResult;
    o.thin = true;
    const QImage thin = RenderPlotImage(900, 600, view, db, objects, o, &thinResult);
    o.thin = false;
    const QImage full = RenderPlotImage(900, 600, view, db, objects, o, &fullResult);
    if (style == 0 || width > 1)
      EXPECT_LT(thinResult.polylinePoints * 5, fullResult.polylinePoints);
    else
      EXPECT_EQ(thinResult.polylinePoints, fullResult.polylinePoints);
    EXPECT_TRUE(thin == full) << "pen width " << width << ", style " << style;
  }
}

// The pixels of a colour in an image.
std::set<std::pair<int, int>> PixelsOf(const QImage& image, const QColor& c) {
  std::set<std::pair<int, int>> pixels;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == c) pixels.insert({x, y});
  return pixels;
}

QImage DrawPolyline(const std::vector<CDevicePoint>& points, int width,
                    const QTransform& transform = QTransform()) {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setTransform(transform);
  CQtPlotCanvas canvas(painter);
  canvas.SetPen({kPenSolid, width, 0x0000FF});
  canvas.Polyline(points.data(), points.size());
  return image;
}

TEST(PlotCanvasTest, CurvesOnImagesAreStampedWithSquaresOfThePenWidth) {
  // A two-pixel horizontal line covers the row above the points and their
  // own row, from one pixel before the start to the end.
  std::set<std::pair<int, int>> expected;
  for (int x = 9; x <= 20; ++x) expected.insert({x, 9}), expected.insert({x, 10});
  EXPECT_EQ(PixelsOf(DrawPolyline({{10, 10}, {20, 10}}, 2), kRed), expected);
  // One pixel: a vertical run and a diagonal, ends included.
  expected.clear();
  for (int y = 2; y <= 6; ++y) expected.insert({3, y});
  for (int d = 1; d <= 4; ++d) expected.insert({3 + d, 6 + d});
  EXPECT_EQ(PixelsOf(DrawPolyline({{3, 2}, {3, 6}, {7, 10}}, 1), kRed), expected);
  // Three pixels are centred on the points; pixels beyond the image are dropped.
  const auto three = PixelsOf(DrawPolyline({{0, 0}, {0, 0}}, 3), kRed);
  EXPECT_EQ(three, (std::set<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
  // A translated painter moves the stamp; a scaled one strokes as usual.
  EXPECT_EQ(PixelsOf(DrawPolyline({{3, 2}, {3, 6}}, 1, QTransform::fromTranslate(5, 1)), kRed)
                .count({8, 7}),
            1u);
  EXPECT_FALSE(
      PixelsOf(DrawPolyline({{3, 2}, {3, 6}}, 1, QTransform::fromScale(2, 2)), kRed).empty());
}

TEST(PlotCanvasTest, TextsColoursAndFonts) {
  // Texts are UTF-8 or else Latin-1.
  EXPECT_EQ(CQtPlotCanvas::ToQString("caf\xC3\xA9"), QString::fromUtf8("caf\xC3\xA9"));
  EXPECT_EQ(CQtPlotCanvas::ToQString("caf\xE9"), QString::fromLatin1("caf\xE9"));
  EXPECT_EQ(CQtPlotCanvas::Colour(0x00FF8000), QColor(0, 0x80, 0xFF));
  QImage image(200, 100, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  CQtPlotCanvas canvas(painter);
  const CFontSpec font{"Arial", 20, 700};
  const CTextMetrics m = canvas.Metrics(font);
  EXPECT_TRUE(m.height >= 20 && m.averageCharWidth > 5);
  EXPECT_GT(canvas.TextWidth("OLM V1.0", font), 6 * m.averageCharWidth / 2);
  canvas.Text(10, 10, "OLM", font, 0x000000, kAlignLeft | kAlignTop);
  painter.end();
  int dark = 0;
  for (int yy = 0; yy < 100; ++yy)
    for (int xx = 0; xx < 200; ++xx) dark += qGray(image.pixel(xx, yy)) < 128;
  EXPECT_GT(dark, 50);  // glyphs were drawn
  // Print options scale lines and fonts to the device.
  QImage page(1654, 2339, QImage::Format_RGB32);  // A4 at 200 dpi
  page.setDotsPerMeterX(7874);
  page.setDotsPerMeterY(7874);
  CPlotView view;
  const CPlotPaintOptions o = PrintOptions(view, page, QRect(0, 0, 1654, 2339));
  EXPECT_EQ(std::tuple(o.printing, o.lineWidthFactor),
            std::tuple(true, (1654 + 2339) / (200 + 200)));
  EXPECT_NEAR(o.fontScale, 200 / 96.0, 0.01);
}

}  // namespace
}  // namespace olm::test
