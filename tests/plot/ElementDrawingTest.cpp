// Annotation objects drawn through the graph's mapping, and the legend
// beside the frame.
#include "plot/ElementDrawing.hpp"

#include <gtest/gtest.h>

#include "RecordingCanvas.hpp"

namespace olm::test {
namespace {

// A quarter unit a pixel: world (x, y) is device (172 + 4x, 672 - 4y).
class ElementDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(graph.SetWorldWindow(0, 0, 176, 130));
    graph.Layout({0, 0, 1000, 800}, {8, 16, 36, 0});
  }
  CLinear<double> graph;
  CRecordingCanvas canvas;
};

TEST_F(ElementDrawingTest, LineWithAFilledArrowHeadAtTheEnd) {
  CSLine line;
  line.SetEndPoints({{0, 0, 0}, {10, 0, 0}});
  line.lineStyle = kPenDash;
  line.lineWidth = 3;
  line.lineColour = 0x00FF00;
  line.arrowMode = kArrowEnd;
  line.endArrow = {12, 5, 1, 0, 0};
  DrawGraphicElement(canvas, graph, line);
  ASSERT_EQ(canvas.lines.size(), 1u);
  EXPECT_EQ(canvas.lines[0].pen, (CPenSpec{kPenDash, 3, 0x00FF00}));
  EXPECT_EQ(canvas.lines[0].points[1], (CDevicePoint{212, 672}));
  // The head: tip at the end, 12 pixels back and 5 to each side.
  ASSERT_EQ(canvas.polygons.size(), 1u);
  EXPECT_EQ(std::tuple(canvas.polygons[0].points, bool(canvas.polygonFilled[0])),
            std::tuple(std::vector<CDevicePoint>{{212, 672}, {200, 677}, {200, 667}}, true));

  // Both ends, open heads of the default size: two strokes each.
  canvas = CRecordingCanvas();
  line.arrowMode = kArrowBoth;
  line.startArrow = line.endArrow = {};
  DrawGraphicElement(canvas, graph, line);
  EXPECT_EQ(std::tuple(canvas.lines.size(), canvas.polygons.size()), std::tuple(5ul, 0ul));
}

TEST_F(ElementDrawingTest, ShapesFillUnlessTransparent) {
  CRectangle rect;
  rect.SetEndPoints({{10, 10, 0}, {0, 20, 0}});
  rect.fillColour = 0x123456;
  DrawGraphicElement(canvas, graph, rect);
  rect.transparent = 1;
  DrawGraphicElement(canvas, graph, rect);
  rect.visible = false;  // not drawn
  DrawGraphicElement(canvas, graph, rect);
  EXPECT_EQ(canvas.rectangles,
            (std::vector<CDeviceRect>{{172, 592, 212, 632}, {172, 592, 212, 632}}));
  EXPECT_EQ(canvas.rectangleFilled, (std::vector<bool>{true, false}));

  CPolygon polygon;
  polygon.SetEndPoints({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
  DrawGraphicElement(canvas, graph, polygon);
  EXPECT_EQ(canvas.polygons.back().points.size(), 3u);
}

TEST_F(ElementDrawingTest, TextAtItsAnchorWithItsFontAtTheZoom) {
  olm::CText text;
  text.text = "Yield";
  text.SetEndPoints({{5, 5, 0}});
  text.SetTextSize(-16, 0);
  text.font.font.faceName = "DejaVu Sans";
  text.font.font.italic = 1;
  text.font.colour = 0x0000FF;
  CElementDrawOptions o;
  o.zoom = 2.0;
  DrawGraphicElement(canvas, graph, text, o);
  ASSERT_EQ(canvas.texts.size(), 1u);
  const auto& t = canvas.texts[0];
  EXPECT_EQ(std::tuple(t.x, t.y, t.font.pixelHeight, t.font.face, t.font.italic, t.colour),
            std::tuple(192, 652, 8, std::string("DejaVu Sans"), true, 0x0000FFu));
  text.font.font.faceName.clear();
  text.SetTextSize(0, 0);
  EXPECT_EQ(TextObjectFont(text, 1.0, 2.0).pixelHeight, 24);
  EXPECT_EQ(TextObjectFont(text, 1.0, 1.0).face, "Arial");
}

TEST_F(ElementDrawingTest, SpecializedShapesAreDrawnInTheirBox) {
  bool closed = false;
  const CDeviceRect box{0, 0, 10, 20};
  EXPECT_EQ(WingDingOutline(6, box, &closed),
            (std::vector<CDevicePoint>{{5, 0}, {10, 10}, {5, 20}, {0, 10}}));
  EXPECT_TRUE(closed);
  for (const auto& [shape, points] : {std::pair{1, 7u}, {5, 10u}, {9, 3u}})
    EXPECT_EQ(WingDingOutline(shape, box, &closed).size(), points) << shape;
  EXPECT_FALSE(closed);
  EXPECT_EQ(WingDingOutline(42, box, &closed),
            (std::vector<CDevicePoint>{{0, 0}, {10, 0}, {10, 20}, {0, 20}}));
  for (int shape = 1; shape <= 11; ++shape) {
    CWingDing w;
    w.shape = shape;
    w.SetEndPoints({{0, 0, 0}, {10, 10, 0}});
    canvas = CRecordingCanvas();
    DrawGraphicElement(canvas, graph, w);
    EXPECT_GT(canvas.shapes + static_cast<int>(canvas.polylines.size()), 0) << shape;
  }
}

TEST_F(ElementDrawingTest, SelectionMarksSitOnTheDefiningPoints) {
  CCubicBezier b;
  b.SetEndPoints({{0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 0, 0}});
  DrawSelectionMarks(canvas, graph, b);
  EXPECT_TRUE(canvas.rectangles.empty());  // not selected
  b.selected = true;
  DrawSelectionMarks(canvas, graph, b);
  ASSERT_EQ(canvas.rectangles.size(), 4u);
  EXPECT_EQ(canvas.rectangles[3], (CDeviceRect{184 - 3, 672 - 3, 184 + 4, 672 + 4}));
}

TEST_F(ElementDrawingTest, LegendBesideTheFrameListsItsEntries) {
  graph.legend = {{"A-R", {kPenSolid, 2, 0x0000FF}, 0}, {"B-S", {kPenSolid, 1, 0x00FF00}, 2}};
  graph.DrawLegend(canvas);
  EXPECT_TRUE(canvas.texts.empty());  // the legend switch is off
  graph.showLegend = true;
  graph.Layout({0, 0, 1000, 800}, {8, 16, 36, 120});
  EXPECT_EQ(graph.Frame().right, 900 - 24 - 120);
  graph.DrawLegend(canvas);
  ASSERT_EQ(canvas.texts.size(), 2u);
  EXPECT_EQ(std::tuple(canvas.texts[0].text, canvas.texts[1].colour),
            std::tuple(std::string("A-R"), 0x00FF00u));
  EXPECT_GT(canvas.texts[0].x, graph.Frame().right);
  EXPECT_EQ(canvas.ellipses.size(), 1u);  // B-S's circle marker
}

}  // namespace
}  // namespace olm::test
