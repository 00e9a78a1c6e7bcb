// What a paint draws for a database: curves by their switches and styles,
// curve labels, the best-fit curve and its label, hidden graph, plot kinds.
#include "plot/PlotScene.hpp"

#include <gtest/gtest.h>

#include "RecordingCanvas.hpp"
#include "SampleProject.hpp"
#include "TestSupport.hpp"
#include "plot/PlotView.hpp"

namespace olm::test {
namespace {

const CDeviceRect kRect{0, 0, 1200, 900};

const olm::CText* Label(const CGEList& objects, const std::string& name) {
  for (const auto& o : objects.Objects())
    if (o->name == name && o->TypeCode() == kGEText) return static_cast<const olm::CText*>(o.get());
  return nullptr;
}

class PlotSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillProcessedProject(project);
    ASSERT_TRUE(project.Database().IsLocked());
  }
  CPlotPaintResult Paint(CPlotPaintOptions options = {}) {
    canvas = CRecordingCanvas();
    m_options = options;
    return PaintPlot(canvas, kRect, project.Database(), project.Objects(), graph, options);
  }
  // The labels of the last paint, placed again on its laid-out graph.
  CCurveLabels Labels() {
    CRecordingCanvas scratch;
    return PlaceCurveLabels(project.Database(), project.Objects(), graph, scratch, m_options);
  }

  CPlotPaintOptions m_options;

  CRecordingUi ui;
  CProject project;
  CLinear<double> graph;
  CRecordingCanvas canvas;
};

TEST_F(PlotSceneTest, DrawsTheShownCurvesOfActiveReplicatesInTheirStyles) {
  // Raw curves of all three replicates are switched on, fitted curves of the
  // active ones (1 and 3); replicate 2 is inactive.
  const CPlotPaintResult r = Paint();
  EXPECT_TRUE(r.drewPlot && r.windowAccepted);
  EXPECT_EQ(r.visibleCurves, 4);
  ASSERT_EQ(canvas.curves.size(), 4u);
  const CPlotSettings& s = project.Database().plotSettings;
  // Palette: index 1 red (0x0000FF), 3 blue (0xFF0000), rows from 5 on black.
  EXPECT_EQ(canvas.curves[0].pen, (CPenSpec{kPenSolid, 2, 0x0000FF}));  // Raw-1
  EXPECT_EQ(canvas.curves[1].pen, (CPenSpec{kPenSolid, 2, 0xFF0000}));  // Fit-1
  EXPECT_EQ(canvas.curves[2].pen.colour, 0x000000u);                    // Raw-3
  EXPECT_EQ(s.Style(1).lineStyleIndex, 2);  // dotted, but two pixels wide: solid
  // Raw-1 holds 40 points, all inside the window that follows the data.
  EXPECT_EQ(canvas.curves[0].points.size(), 40u);
  EXPECT_EQ(canvas.curves[0].points[5], graph.WorldToDevice(0.5, std::sin(0.5) + 0.06));
  // Grid over the curves; titles and zero lines drawn.
  EXPECT_LT(canvas.ops.rfind('P'), canvas.ops.find('G'));
  EXPECT_TRUE(canvas.HasText("Tensile tests") && canvas.HasText("Strain"));
  // The zero lines cross the whole frame (the window spans x = 0 and y = 0).
  int zeroLines = 0;
  for (const auto& l : canvas.lines) {
    const int dx = std::abs(l.points[1].x - l.points[0].x);
    const int dy = std::abs(l.points[1].y - l.points[0].y);
    if (l.pen.colour == graph.Appearance().zeroLineColour &&
        (dx >= graph.FrameWidth() - 1 || dy >= graph.FrameHeight() - 1))
      ++zeroLines;
  }
  EXPECT_EQ(zeroLines, 2);
  // Switching a curve off removes it.
  project.Database().plotSettings.SetShown(3, kCurveFitted, false);
  EXPECT_EQ(Paint().visibleCurves, 3);
  EXPECT_EQ(canvas.curves.size(), 3u);
  project.Database().Replicate(1).SetActive(false);
  EXPECT_EQ(Paint().visibleCurves, 1);
}

TEST_F(PlotSceneTest, CurveLabelsInSlotsWithTheCurveColoursFollowTheirCurves) {
  Paint();
  // Painting leaves the document's objects as they were.
  EXPECT_EQ(project.Objects().GetCount(), 7);
  const CCurveLabels labels = Labels();
  const olm::CText* raw1 = labels.Find("Raw-1");
  const olm::CText* fit1 = labels.Find("Fit-1");
  const olm::CText* raw3 = labels.Find("Raw-3");
  ASSERT_TRUE(raw1 && fit1 && raw3 && labels.Find("Fit-3"));
  EXPECT_EQ(labels.Find("Raw-2"), nullptr);  // inactive: no label
  EXPECT_EQ(std::tuple(raw1->text, raw1->font.colour),
            std::tuple(std::string("Specimen 1 \xE9-R"), 0x0000FFu));
  EXPECT_EQ(std::tuple(fit1->text, fit1->font.colour, raw1->visible),
            std::tuple(std::string("Specimen 1 \xE9-F"), 0xFF0000u, true));
  // Slot 1 above slot 2 above slot 3, right-aligned in the frame.
  const CDevicePoint a = graph.WorldToDevice(raw1->anchor.x, raw1->anchor.y);
  const CDevicePoint b = graph.WorldToDevice(fit1->anchor.x, fit1->anchor.y);
  const CDevicePoint c = graph.WorldToDevice(raw3->anchor.x, raw3->anchor.y);
  EXPECT_TRUE(a.y < b.y && b.y < c.y);
  EXPECT_NEAR(a.x + 8 * static_cast<int>(raw1->text.size()), graph.Frame().right - 8, 1);
  // The labels are drawn in the same paint.
  EXPECT_TRUE(canvas.HasText("Specimen 3 \xE9-F"));
  // Labels follow their curves and the label switch.
  project.Database().plotSettings.SetShown(3, kCurveRaw, false);
  Paint();
  EXPECT_FALSE(Labels().Find("Raw-3") || canvas.HasText("Specimen 3 \xE9-R"));
  SetDisplayFlag(project.Database().plotSettings, kFlagLabelCurves, false);
  Paint();
  EXPECT_FALSE(Labels().Find("Raw-1") || canvas.HasText("Specimen 1 \xE9-R"));
}

TEST_F(PlotSceneTest, StoredLabelObjectsAreReplacedForThePaintAndStayAsStored) {
  // A project saved with a stale curve label: the paint draws the label at
  // its slot with the current text, and a switched-off curve's label not at
  // all; the stored object is untouched.
  auto stale = std::make_unique<olm::CText>();
  stale->name = "Raw-1";
  stale->text = "old text";
  stale->SetEndPoints({{0.1, 0.1, 0.0}});
  project.Objects().Add(std::move(stale));
  Paint();
  EXPECT_TRUE(canvas.HasText("Specimen 1 \xE9-R"));
  EXPECT_FALSE(canvas.HasText("old text"));
  const olm::CText* stored = Label(project.Objects(), "Raw-1");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(std::tuple(stored->text, stored->anchor.x), std::tuple(std::string("old text"), 0.1));
  const CCurveLabels labels = Labels();
  const auto order = PaintOrder(project.Objects(), labels);
  EXPECT_EQ(std::count(order.begin(), order.end(), stored), 0);
  EXPECT_EQ(std::count(order.begin(), order.end(), labels.Find("Raw-1")), 1);
  project.Database().plotSettings.SetShown(1, kCurveRaw, false);
  Paint();
  EXPECT_FALSE(canvas.HasText("old text") || canvas.HasText("Specimen 1 \xE9-R"));
}

TEST_F(PlotSceneTest, HiddenGraphKeepsOnlyTheAnnotationsAndNothingShownPaintsTheBackground) {
  CPlotPaintOptions o;
  o.hideGraph = true;
  EXPECT_TRUE(Paint(o).drewPlot);
  // No curves, grid or titles; the objects, among them the check mark, stay.
  EXPECT_EQ(
      std::tuple(canvas.curves.empty(), canvas.ops.find('G'), canvas.HasText("Tensile tests")),
      std::tuple(true, std::string::npos, false));
  EXPECT_TRUE(!canvas.polylines.empty() && canvas.shapes > 0 &&
              canvas.HasText("Necking starts here"));
  // No replicate or no visible curve: the background only.
  CPlotPaintOptions other;
  other.plotKind = 1;  // a plot kind that draws no replicate
  EXPECT_FALSE(Paint(other).drewPlot);
  EXPECT_EQ(std::tuple(canvas.fills.size(), canvas.polylines.size(), canvas.texts.size()),
            std::tuple(1u, 0u, 0u));

  for (int r = 1; r <= 3; ++r)
    for (int k = 0; k < 3; ++k) project.Database().plotSettings.SetShown(r, k, false);
  EXPECT_FALSE(Paint().drewPlot);
  EXPECT_TRUE(canvas.texts.empty());

  CProject empty;
  canvas = CRecordingCanvas();
  EXPECT_FALSE(PaintPlot(canvas, kRect, empty.Database(), empty.Objects(), graph, {}).drewPlot);
  EXPECT_EQ(canvas.fills.size(), 1u);
}

TEST_F(PlotSceneTest, SelectionHandlesShowOnScreenOnlyNeverOnPaperOrInFiles) {
  ASSERT_FALSE(project.Objects().IsEmpty());
  project.Objects().At(0).selected = true;
  const size_t handles = project.Objects().At(0).GetEndPoints().size();
  Paint();
  const size_t onScreen = canvas.rectangles.size();
  CPlotPaintOptions printing;
  printing.printing = true;
  Paint(printing);
  EXPECT_EQ(canvas.rectangles.size() + handles, onScreen);
  CPlotPaintOptions file;
  file.selectionMarks = false;
  Paint(file);
  EXPECT_EQ(canvas.rectangles.size() + handles, onScreen);
}

TEST_F(PlotSceneTest, BestFitPlotAddsTheBestFitCurveAndItsLabel) {
  CReplicateDB& db = project.Database();
  for (int i = 1; i <= 4; ++i) db.bestFitX(i) = 0.5 * i, db.bestFitY(i) = 0.5;
  CPlotPaintOptions bestFit;
  bestFit.plotKind = kBestFitPlot;
  EXPECT_EQ(Paint(bestFit).visibleCurves, 5);
  ASSERT_EQ(canvas.curves.size(), 5u);
  EXPECT_EQ(std::tuple(canvas.curves[4].pen, canvas.curves[4].points.back()),
            std::tuple(BestFitPen(), graph.WorldToDevice(2.0, 0.5)));
  const CCurveLabels labels = Labels();  // the label lives as long as its list
  const olm::CText* label = labels.Find(kBestFitLabel);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(std::tuple(label->visible, label->text), std::tuple(true, std::string("Best Fit")));
  EXPECT_TRUE(canvas.HasText("Best Fit"));

  // Outside the best-fit plot a stored "Best Fit" label is hidden...
  auto stored = std::make_unique<olm::CText>();
  stored->name = kBestFitLabel;
  stored->text = kBestFitLabel;
  project.Objects().Add(std::move(stored));
  EXPECT_EQ(Paint().visibleCurves, 4);
  EXPECT_FALSE(canvas.HasText("Best Fit"));
  // ...unless the database's third processed flag is set.
  project.Database().thirdFlag = 1;
  Paint();
  EXPECT_TRUE(canvas.HasText("Best Fit"));
}

TEST_F(PlotSceneTest, MarkersShowWithTheMarkerSwitch) {
  CPlotSettings& s = project.Database().plotSettings;
  s.Style(CPlotSettings::CurveRow(1, kCurveRaw)).markerKind = 1;  // squares
  Paint();
  const int shapesWithout = canvas.shapes;
  SetDisplayFlag(s, kFlagShowMarkers, true);
  Paint();
  // 40 squares on Raw-1's points and one on its label sample.
  EXPECT_EQ(canvas.shapes, shapesWithout + 41);
}

TEST(PlotScenePenTest, StyledPensApplyToOnePixelCurvesAndSettingsShapeTheGraph) {
  CPlotSettings s;
  CCurveStyle& st = s.Style(CPlotSettings::CurveRow(2, kCurveSmoothed));
  st.colourIndex = 4, st.lineWidth = 1, st.lineStyleIndex = 3;
  EXPECT_EQ(CurvePen(s, 2, kCurveSmoothed), (CPenSpec{kPenDashDot, 1, 0xFF00FF}));
  st.lineWidth = 3;
  EXPECT_EQ(CurvePen(s, 2, kCurveSmoothed).style, kPenSolid);
  st.colourIndex = 99, st.lineStyleIndex = -1, st.lineWidth = 0;  // out of range
  EXPECT_EQ(CurvePen(s, 2, kCurveSmoothed), (CPenSpec{kPenSolid, 1, 0x000000}));
  EXPECT_EQ(PaletteColour(s, 14), 0x00FFFFu);
  // The settings shape the graph.
  s.borders = {0.25, 0.125, 0.75, 0.875};
  s.xDivisions = 8;
  s.xAxisFormat = "%.1f";
  s.yAxisFormat = "%s";
  SetDisplayFlag(s, kFlagXGridLines, false);
  CLinear<double> g;
  ApplyPlotSettings(g, s, 2.0);
  ASSERT_TRUE(g.SetWorldWindow(0, 0, 8, 1));
  g.Layout({0, 0, 1000, 1000}, {8, 16, 36, 0});
  EXPECT_EQ(g.PlotRect(), (CDeviceRect{250, 125, 750, 875}));
  ASSERT_EQ(std::tuple(g.XTicks(), g.XAxisMarks().labels.size()), std::tuple(80, 9ul));
  EXPECT_EQ(std::tuple(g.XAxisMarks().labels[1].text, g.YFormat(), g.VerticalGridLines().size()),
            std::tuple("1.0", "%-g", 0u));
  EXPECT_EQ(g.Appearance().titleFont.pixelHeight, 60);  // 30 at font scale 2
  // Borders that make no plot area fall back to the defaults.
  s.borders = {0.5, 0.1, 0.4, 0.9};
  ApplyPlotSettings(g, s);
  g.Layout({0, 0, 1000, 1000}, {8, 16, 36, 0});
  EXPECT_EQ(g.PlotRect(), (CDeviceRect{100, 100, 900, 900}));
}

}  // namespace
}  // namespace olm::test
