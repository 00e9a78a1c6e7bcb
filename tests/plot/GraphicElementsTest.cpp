#include "plot/GraphicElements.hpp"

#include <gtest/gtest.h>

#include "ByteBuilder.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

std::string Stored(const CGraphicElement& e) {
  CMemorySink sink;
  CProjectWriter out(sink);
  e.Store(out);
  EXPECT_TRUE(out.Finish());
  return sink.Bytes();
}

std::unique_ptr<CGraphicElement> LoadedAs(int code, const std::string& bytes) {
  auto e = CreateGraphicElement(code);
  CMemorySource src(bytes);
  CProjectReader in(src);
  e->Load(in);
  EXPECT_EQ(in.Remaining(), 0u);
  return e;
}

void Point(CBytes& b, double x, double y, double z = 0.0) {
  b.F64(x).F64(y).F64(z);
}

// Base fields: name, box, transparent, second flag, depth, fill, line colour, width.
void Base(CBytes& b, const std::string& name, double x0, double x1, double y0, double y1,
          uint8_t transparent, uint8_t second, int depth, uint32_t fill, uint32_t line, int width) {
  b.Text(name).F64(x0).F64(x1).F64(y0).F64(y1).U8(transparent).U8(second).I32(depth);
  b.U32(fill).U32(line).I32(width);
}

// World coordinates are screen coordinates.
const CScreenMap kIdentity = [](double x, double y) { return CScreenPoint{x, y}; };

TEST(GraphicElementTest, LineStoresItsFieldsThenTheBase) {
  CSLine line;
  ASSERT_TRUE(line.SetEndPoints({{1, 2, 0}, {4, -6, 0}}));
  line.lineStyle = 1;
  line.value = 0.5;
  line.arrowMode = kArrowBoth;
  line.startArrow = {10, 20, 1, 0, 1};
  line.endArrow = {-3, 7, 0, 1, 0};
  line.name = "arrow";
  line.depth = 2;
  line.lineColour = 0x0000FF;
  line.lineWidth = 3;
  CBytes b;
  Point(b, 1, 2);
  Point(b, 4, -6);
  b.I32(1).F64(0.5).I32(3);
  b.I32(10).I32(20).U8(1).U8(0).U8(1);
  b.I32(-3).I32(7).U8(0).U8(1).U8(0);
  Base(b, "arrow", 1, 4, -6, 2, 0, 0, 2, 0, 0x0000FF, 3);
  EXPECT_EQ(Stored(line), b.Str());
  EXPECT_EQ(Stored(*LoadedAs(kGELine, b.Str())), b.Str());
}

TEST(GraphicElementTest, PolygonStoresCountThenVertices) {
  CPolygon poly;
  ASSERT_TRUE(poly.SetEndPoints({{0, 0, 0}, {2, 0, 0}, {1, 3, 0}}));
  poly.transparent = 1;
  CBytes b;
  b.I32(3);
  Point(b, 0, 0);
  Point(b, 2, 0);
  Point(b, 1, 3);
  Base(b, "", 0, 2, 0, 3, 1, 0, 0, 0, 0, 1);
  EXPECT_EQ(Stored(poly), b.Str());
}

TEST(GraphicElementTest, TextStoresFontRecordAndSize) {
  CText text;
  text.text = "Necking";
  text.SetEndPoints({{0.2, 400, 0}});
  CBytes b;
  b.Text("Necking");
  Point(b, 0.2, 400);
  // Default font: height -12, weight 400, quality 2, pitch and family 18, "Arial", colour 0.
  b.I32(-12).I32(0).I32(0).I32(0).I32(400).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(2).U8(18);
  b.Text("Arial").U32(0);
  b.I32(-12).I32(0);  // text height, width
  Base(b, "", 0.2, 0.2, 400, 400, 0, 0, 0, 0, 0, 1);
  EXPECT_EQ(Stored(text), b.Str());
}

TEST(GraphicElementTest, LoadedTextAppliesItsSizeToTheFont) {
  CText text;
  text.font.font.height = -30;  // differs from the text height
  text.textHeight = -18;
  text.textWidth = 7;
  const auto back = LoadedAs(kGEText, Stored(text));
  const auto& loaded = static_cast<const CText&>(*back);
  EXPECT_EQ(loaded.font.font.height, -18);
  EXPECT_EQ(loaded.font.font.width, 7);
  EXPECT_EQ(loaded.FontHeightAtZoom(2.0), -9);
  EXPECT_EQ(loaded.FontHeightAtZoom(0.0), -18);  // no zoom: unscaled
}

TEST(GraphicElementTest, SpecializedShapeDefaultsToShapeFour) {
  CWingDing w;
  EXPECT_EQ(w.shape, 4);
  const std::string b = Stored(w);
  EXPECT_EQ(I32At(b, 0), 4);
  EXPECT_EQ(b.size(), 4 + 48 + (1 + 32 + 2 + 16));
}

TEST(GraphicElementTest, EveryKindRoundTripsAndClonesAllFields) {
  for (int code = kGELine; code <= kGEWingDing; ++code) {
    auto e = CreateGraphicElement(code);
    ASSERT_TRUE(e) << code;
    EXPECT_EQ(e->TypeCode(), code);
    std::vector<CPoint3> pts = e->GetEndPoints();
    if (pts.empty()) pts.resize(5);
    for (size_t k = 0; k < pts.size(); ++k) pts[k] = {double(k) - 1.5, 2.0 * k, 0.0};
    ASSERT_TRUE(e->SetEndPoints(pts));
    e->name = GraphicElementTypeName(code);
    e->transparent = 1;
    e->secondFlag = 7;  // a value with no defined meaning is kept as it is
    e->depth = code;
    e->fillColour = 0x123456;
    e->lineColour = 0xABCDEF;
    e->lineWidth = 4;
    e->selected = true;
    const std::string b = Stored(*e);
    const auto back = LoadedAs(code, b);
    EXPECT_FALSE(back->selected);
    EXPECT_EQ(back->GetEndPoints(), pts);
    EXPECT_EQ(back->secondFlag, 7);
    EXPECT_EQ(Stored(*back), b) << code;
    const auto copy = e->Clone();
    EXPECT_EQ(copy->TypeCode(), code);
    EXPECT_EQ(Stored(*copy), b);
    EXPECT_NE(copy.get(), e.get());
  }
  EXPECT_FALSE(CreateGraphicElement(0));
  EXPECT_FALSE(CreateGraphicElement(8));
  EXPECT_STREQ(GraphicElementTypeName(5), "CCubicBezier");
}

TEST(GraphicElementTest, SettingPointsRecomputesTheBoundingBox) {
  CCubicBezier curve;
  ASSERT_TRUE(curve.SetEndPoints({{0, 0, 0}, {1, 5, 0}, {3, -2, 0}, {4, 1, 0}}));
  EXPECT_EQ(curve.xMin, 0.0);
  EXPECT_EQ(curve.xMax, 4.0);
  EXPECT_EQ(curve.yMin, -2.0);
  EXPECT_EQ(curve.yMax, 5.0);
  // A kind with a fixed number of points refuses another number.
  EXPECT_FALSE(curve.SetEndPoints({{9, 9, 0}}));
  EXPECT_EQ(curve.xMax, 4.0);
  CRectangle r;
  EXPECT_FALSE(r.SetEndPoints({}));
}

TEST(GraphicElementTest, DamagedObjectsAreRefused) {
  CBytes b;
  b.I32(-1);
  EXPECT_THROW(LoadedAs(kGEPolygon, b.Str()), CProjectFormatError);
  CBytes huge;
  huge.I32(1000000);
  Point(huge, 0, 0);
  EXPECT_THROW(LoadedAs(kGEPolygon, huge.Str()), CProjectFormatError);
  const std::string line = Stored(CSLine());
  for (size_t n = 0; n < line.size(); ++n)
    EXPECT_THROW(LoadedAs(kGELine, line.substr(0, n)), CProjectFormatError) << n;
}

TEST(GraphicElementTest, ScreenDistances) {
  CSLine line;
  line.SetEndPoints({{0, 0, 0}, {10, 0, 0}});
  EXPECT_DOUBLE_EQ(line.ScreenDistance({5, 3}, kIdentity), 3.0);
  EXPECT_DOUBLE_EQ(line.ScreenDistance({13, 4}, kIdentity), 5.0);  // beyond the end

  CRectangle rect;
  rect.SetEndPoints({{0, 0, 0}, {10, 10, 0}});
  EXPECT_EQ(rect.ScreenDistance({5, 5}, kIdentity), 0.0);  // filled
  rect.transparent = 1;
  EXPECT_DOUBLE_EQ(rect.ScreenDistance({5, 4}, kIdentity), 4.0);  // only the border counts
  EXPECT_DOUBLE_EQ(rect.ScreenDistance({12, 5}, kIdentity), 2.0);

  CCircle circle;
  circle.SetEndPoints({{-10, -10, 0}, {10, 10, 0}});
  EXPECT_EQ(circle.ScreenDistance({3, 3}, kIdentity), 0.0);
  EXPECT_NEAR(circle.ScreenDistance({13, 0}, kIdentity), 3.0, 1e-12);
  circle.transparent = 1;
  EXPECT_NEAR(circle.ScreenDistance({0, 6}, kIdentity), 4.0, 1e-12);

  CPolygon tri;
  tri.SetEndPoints({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}});
  EXPECT_EQ(tri.ScreenDistance({2, 2}, kIdentity), 0.0);
  EXPECT_NEAR(tri.ScreenDistance({6, 6}, kIdentity), std::sqrt(2.0), 1e-12);

  CCubicBezier straight;  // control points on a line: the curve is that line
  straight.SetEndPoints({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
  EXPECT_NEAR(straight.ScreenDistance({1.5, 2}, kIdentity), 2.0, 1e-9);

  // The mapping is applied: world x doubled on screen.
  const CScreenMap twice = [](double x, double y) { return CScreenPoint{2 * x, y}; };
  EXPECT_DOUBLE_EQ(line.ScreenDistance({25, 0}, twice), 5.0);
}

}  // namespace
}  // namespace olm::test
