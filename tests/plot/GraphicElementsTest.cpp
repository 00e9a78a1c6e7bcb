// Annotation objects: their stored form against bytes by hand, round trips,
// bounding boxes, damaged records, screen distances; and the object list's
// depth commands, delete, copy and paste, hit testing, painting order and
// stored form.
#include "plot/GraphicElements.hpp"

#include <gtest/gtest.h>

#include "ByteBuilder.hpp"
#include "TestSupport.hpp"
#include "plot/GraphicList.hpp"

namespace olm::test {
namespace {

using Strings = std::vector<std::string>;

std::string Stored(const CGraphicElement& e) {
  return Written([&](CProjectWriter& out) { e.Store(out); });
}

std::unique_ptr<CGraphicElement> LoadedAs(int code, const std::string& bytes) {
  auto e = CreateGraphicElement(code);
  CReaderOf r(bytes);
  e->Load(r.in);
  EXPECT_EQ(r.in.Remaining(), 0u);
  return e;
}

void Point(CBytes& b, double x, double y) {
  b.F64(x).F64(y).F64(0.0);
}

// Base fields: name, box, transparent, second flag, depth, fill, line colour, width.
void Base(CBytes& b, const std::string& name, double x0, double x1, double y0, double y1,
          uint8_t transparent, int depth, uint32_t line, int width) {
  b.Text(name).F64(x0).F64(x1).F64(y0).F64(y1).U8(transparent).U8(0).I32(depth);
  b.U32(0).U32(line).I32(width);
}

// World coordinates are screen coordinates.
const CScreenMap kIdentity = [](double x, double y) { return CScreenPoint{x, y}; };

TEST(GraphicElementTest, StoredFormsByHand) {
  CSLine line;  // its fields, then the base
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
  b.I32(1).F64(0.5).I32(3).I32(10).I32(20).U8(1).U8(0).U8(1).I32(-3).I32(7).U8(0).U8(1).U8(0);
  Base(b, "arrow", 1, 4, -6, 2, 0, 2, 0x0000FF, 3);
  EXPECT_EQ(Stored(line), b.Str());
  EXPECT_EQ(Stored(*LoadedAs(kGELine, b.Str())), b.Str());

  CPolygon poly;  // count, then the vertices
  ASSERT_TRUE(poly.SetEndPoints({{0, 0, 0}, {2, 0, 0}, {1, 3, 0}}));
  poly.transparent = 1;
  CBytes p;
  p.I32(3);
  Point(p, 0, 0);
  Point(p, 2, 0);
  Point(p, 1, 3);
  Base(p, "", 0, 2, 0, 3, 1, 0, 0, 1);
  EXPECT_EQ(Stored(poly), p.Str());

  CText text;  // the font record and the size
  text.text = "Necking";
  text.SetEndPoints({{0.2, 400, 0}});
  CBytes t;
  t.Text("Necking");
  Point(t, 0.2, 400);
  // Default font: height -12, weight 400, quality 2, pitch and family 18, "Arial", colour 0.
  t.I32(-12).I32(0).I32(0).I32(0).I32(400).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(2).U8(18);
  t.Text("Arial").U32(0).I32(-12).I32(0);  // text height, width
  Base(t, "", 0.2, 0.2, 400, 400, 0, 0, 0, 1);
  EXPECT_EQ(Stored(text), t.Str());

  const std::string s = Stored(CWingDing());  // shape 4 by default
  EXPECT_EQ(I32At(s, 0), 4);
  EXPECT_EQ(s.size(), 4 + 48 + (1 + 32 + 2 + 16));
}

TEST(GraphicElementTest, LoadedTextAppliesItsSizeToTheFont) {
  CText text;
  text.font.font.height = -30;  // differs from the text height
  text.textHeight = -18;
  text.textWidth = 7;
  const auto back = LoadedAs(kGEText, Stored(text));
  const auto& loaded = static_cast<const CText&>(*back);
  EXPECT_EQ(std::tuple(loaded.font.font.height, loaded.font.font.width), std::tuple(-18, 7));
  EXPECT_EQ(loaded.FontHeightAtZoom(2.0), -9);
  EXPECT_EQ(loaded.FontHeightAtZoom(0.0), -18);  // no zoom: unscaled
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
    EXPECT_EQ(std::tuple(back->selected, back->GetEndPoints()), std::tuple(false, pts));
    EXPECT_EQ(Stored(*back), b) << code;
    const auto copy = e->Clone();
    EXPECT_EQ(std::tuple(copy->TypeCode(), Stored(*copy), copy.get() != e.get()),
              std::tuple(code, b, true));
  }
  EXPECT_FALSE(CreateGraphicElement(0));
  EXPECT_FALSE(CreateGraphicElement(8));
  EXPECT_STREQ(GraphicElementTypeName(5), "CCubicBezier");
}

TEST(GraphicElementTest, BoundingBoxesAndDamagedRecords) {
  CCubicBezier curve;
  ASSERT_TRUE(curve.SetEndPoints({{0, 0, 0}, {1, 5, 0}, {3, -2, 0}, {4, 1, 0}}));
  EXPECT_EQ(std::tuple(curve.xMin, curve.xMax, curve.yMin, curve.yMax),
            std::tuple(0.0, 4.0, -2.0, 5.0));
  // A kind with a fixed number of points refuses another number.
  EXPECT_FALSE(curve.SetEndPoints({{9, 9, 0}}));
  EXPECT_EQ(curve.xMax, 4.0);
  EXPECT_FALSE(CRectangle().SetEndPoints({}));
  EXPECT_THROW(LoadedAs(kGEPolygon, CBytes().I32(-1).Str()), CProjectFormatError);
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
  // The mapping is applied: world x doubled on screen.
  EXPECT_DOUBLE_EQ(line.ScreenDistance({25, 0},
                                       [](double x, double y) {
                                         return CScreenPoint{2 * x, y};
                                       }),
                   5.0);
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
}

// A filled square from (x, y) to (x + size, y + size) at a depth.
CGraphicElement* AddSquare(CGEList& list, double x, double y, int depth, double size = 10) {
  auto r = std::make_unique<CRectangle>();
  r->SetEndPoints({{x, y, 0}, {x + size, y + size, 0}});
  r->depth = depth;
  return list.Add(std::move(r));
}

std::vector<int> Depths(const CGEList& list) {
  std::vector<int> d;
  for (const auto& o : list.Objects()) d.push_back(o->depth);
  return d;
}

TEST(GraphicListTest, DepthCommands) {
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 0);
  AddSquare(list, 0, 0, 0);
  AddSquare(list, 0, 0, 2);
  EXPECT_FALSE(list.BringForward() || list.BringToFront() || list.PushBackOne() ||
               list.PushToBack());  // no current object
  EXPECT_EQ(Depths(list), (std::vector<int>{0, 0, 2}));
  // Bringing forward or to the front at depth 0 pushes every other one back.
  list.Select(a);
  ASSERT_TRUE(list.BringForward());
  EXPECT_EQ(std::tuple(Depths(list), list.GetMaxDepth()), std::tuple(std::vector<int>{0, 1, 3}, 3));
  ASSERT_TRUE(list.BringToFront());
  EXPECT_EQ(std::tuple(Depths(list), list.GetMaxDepth()), std::tuple(std::vector<int>{0, 2, 4}, 4));
  // Forward moves one step, to the front moves to zero.
  CGEList two;
  AddSquare(two, 0, 0, 0);
  two.Select(AddSquare(two, 0, 0, 3));
  two.BringForward();
  EXPECT_EQ(Depths(two), (std::vector<int>{0, 2}));
  two.BringToFront();
  EXPECT_EQ(Depths(two), (std::vector<int>{0, 0}));
  // Pushing back one step raises the greatest depth; to the back of the
  // page takes the greatest depth.
  CGEList one;
  CGraphicElement* b = AddSquare(one, 0, 0, 0);
  one.Select(b);
  one.PushToBack();
  EXPECT_EQ(b->depth, 0);
  one.PushBackOne();
  one.PushBackOne();
  EXPECT_EQ(std::tuple(b->depth, one.GetMaxDepth()), std::tuple(2, 2));
  AddSquare(one, 0, 0, 5);
  one.PushToBack();
  EXPECT_EQ(b->depth, 5);
}

TEST(GraphicListTest, DeleteAsksBeforeEachSelectedObjectUnlessTold) {
  struct CQuestionUi : CRecordingUi {  // records the question's title too
    bool Ask(std::string_view text, QuestionKind kind, std::string_view title,
             bool* stopAsking) override {
      titles.emplace_back(title);
      return CRecordingUi::Ask(text, kind, title, stopAsking);
    }
    Strings titles;
  } ui;
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 0);
  AddSquare(list, 20, 0, 0);
  CGraphicElement* c = AddSquare(list, 40, 0, 0);
  list.Select(a);
  list.Select(c, true);
  ui.QueueAnswer(false);  // keep a
  ui.QueueAnswer(true);   // delete c
  EXPECT_EQ(list.DeleteSelected(), 1);
  EXPECT_EQ(ui.questions, Strings(2, "Delete object. Are you sure?"));
  EXPECT_EQ(ui.titles[0], "Delete Selected Objects");
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(std::tuple(&list.At(0), list.Current()), std::tuple(a, nullptr));  // c was current
  // "Stop asking" applies the answer to the rest.
  for (bool answer : {true, false}) {
    CGEList fresh;
    for (int k = 0; k < 3; ++k) fresh.Select(AddSquare(fresh, 20.0 * k, 0, 0), true);
    ui.questions.clear();
    ui.QueueAnswer(answer, true);
    EXPECT_EQ(fresh.DeleteSelected(), answer ? 3 : 0);
    EXPECT_EQ(std::tuple(ui.questions.size(), fresh.GetCount()), std::tuple(1u, answer ? 0 : 3));
  }
}

TEST(GraphicListTest, CopyAndPaste) {
  CRecordingUi ui;
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 2);
  a->name = "box";
  CGraphicElement* b = AddSquare(list, 50, 0, 0);
  EXPECT_FALSE(list.Copy());  // nothing current
  EXPECT_FALSE(list.Paste());
  EXPECT_EQ(ui.Texts(), Strings{"Need to copy a single object before pasting."});
  EXPECT_EQ(list.GetCount(), 2);
  ui.Clear();
  list.Select(a);
  ASSERT_TRUE(list.Copy());
  ui.QueueAnswer(true);
  list.DeleteSelected();  // the copy outlives the object it was taken from
  list.Select(b);
  ASSERT_TRUE(list.Paste());
  ASSERT_EQ(list.GetCount(), 2);
  CGraphicElement& pasted = list.At(1);
  EXPECT_EQ(std::tuple(pasted.name, pasted.depth, pasted.GetEndPoints()),
            std::tuple("box", 2, std::vector<CPoint3>{{0, 0, 0}, {10, 10, 0}}));
  // The paste alone is selected and current.
  EXPECT_EQ(std::tuple(pasted.selected, b->selected, list.Current(), list.SelectedCount()),
            std::tuple(true, false, &pasted, 1));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(GraphicListTest, HitTestAndPaintOrder) {
  CGEList list;
  CGraphicElement* back = AddSquare(list, 0, 0, 1, 100);
  CGraphicElement* front = AddSquare(list, 50, 50, 0, 10);
  EXPECT_EQ(list.HitTest({55, 55}, kIdentity), front);  // inside both: the front one
  // 3 px outside the front square, inside the back one: the front one still
  // wins, within the pick tolerance at a smaller depth.
  EXPECT_EQ(list.HitTest({63, 55}, kIdentity), front);
  EXPECT_EQ(list.HitTest({80, 80}, kIdentity), back);
  EXPECT_EQ(list.HitTest({200, 200}, kIdentity), nullptr);
  front->visible = false;
  EXPECT_EQ(list.HitTest({55, 55}, kIdentity), back);
  CGEList lines;  // then the nearest
  for (double y : {0.0, 3.0}) {
    auto l = std::make_unique<CSLine>();
    l->SetEndPoints({{0, y, 0}, {100, y, 0}});
    lines.Add(std::move(l));
  }
  EXPECT_EQ(lines.HitTest({50, 2}, kIdentity), &lines.At(1));
  EXPECT_EQ(lines.HitTest({50, 2}, kIdentity, 0.5), nullptr);
  // Painting goes back to front, invisible objects left out.
  CGEList paint;
  CGraphicElement* a = AddSquare(paint, 0, 0, 0);
  CGraphicElement* b = AddSquare(paint, 0, 0, 2);
  CGraphicElement* c = AddSquare(paint, 0, 0, 0);
  AddSquare(paint, 0, 0, 1)->visible = false;
  EXPECT_EQ(paint.PaintOrder(), (std::vector<const CGraphicElement*>{b, a, c}));
}

TEST(GraphicListTest, StoredFormKeepsOrderTypeCodesAndTheGreatestDepth) {
  CRecordingUi ui;
  CGEList list;
  list.Select(AddSquare(list, 0, 0, 4));
  list.DeleteSelected();
  EXPECT_EQ(Written([&](CProjectWriter& out) { list.Store(out); }), CBytes().I32(0).I32(4).Str());
  list.Add(std::make_unique<CText>());
  list.Add(std::make_unique<CWingDing>());
  const std::string b = Written([&](CProjectWriter& out) { list.Store(out); });
  EXPECT_EQ(std::tuple(I32At(b, 0), I32At(b, 4), I32At(b, 8)), std::tuple(2, 4, int(kGEText)));
  CGEList back;
  back.Add(std::make_unique<CSLine>());  // replaced by the load
  CReaderOf r(b);
  back.Load(r.in);
  ASSERT_EQ(back.GetCount(), 2);
  EXPECT_EQ(std::tuple(back.At(0).TypeCode(), back.At(1).TypeCode(), r.in.Remaining()),
            std::tuple(int(kGEText), int(kGEWingDing), 0u));
}

TEST(GraphicListTest, DamagedListsAreRefusedAndLeaveTheListEmpty) {
  CGEList list;
  list.Add(std::make_unique<CCircle>());
  CBytes b;
  b.I32(2).I32(0).I32(kGEWingDing).I32(4);
  for (int k = 0; k < 6; ++k) b.F64(0);
  Base(b, "", 0, 0, 0, 0, 0, 0, 0, 1);
  b.I32(9);
  for (int k = 0; k < 20; ++k) b.F64(0);
  CReaderOf r(b.Str());
  try {
    list.Load(r.in);
    FAIL();
  } catch (const CProjectFormatError& e) {
    EXPECT_STREQ(e.what(), "drawing object 2 has the unknown type 9");
  }
  EXPECT_TRUE(list.IsEmpty());
  for (int32_t count : {-1, 1000000}) {
    CReaderOf counted(CBytes().I32(count).I32(0).I32(1).Str());
    EXPECT_THROW(list.Load(counted.in), CProjectFormatError) << count;
  }
}

}  // namespace
}  // namespace olm::test
