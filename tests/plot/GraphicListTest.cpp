#include "plot/GraphicList.hpp"

#include <gtest/gtest.h>

#include "ByteBuilder.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

const CScreenMap kIdentity = [](double x, double y) { return CScreenPoint{x, y}; };

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

// Records the question's title too.
class CQuestionUi : public CRecordingUi {
 public:
  bool Ask(std::string_view text, QuestionKind kind, std::string_view title,
           bool* stopAsking) override {
    titles.emplace_back(title);
    return CRecordingUi::Ask(text, kind, title, stopAsking);
  }
  std::vector<std::string> titles;
};

// ---------------------------------------------------------------- depth commands

TEST(GraphicListDepthTest, BringToFrontAtDepthZeroPushesEveryOtherBack) {
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 0);
  AddSquare(list, 0, 0, 0);
  AddSquare(list, 0, 0, 2);
  list.Select(a);
  ASSERT_TRUE(list.BringForward());
  EXPECT_EQ(Depths(list), (std::vector<int>{0, 1, 3}));
  EXPECT_EQ(list.GetMaxDepth(), 3);
  ASSERT_TRUE(list.BringToFront());  // same at the front of the page
  EXPECT_EQ(Depths(list), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(list.GetMaxDepth(), 4);
}

TEST(GraphicListDepthTest, ForwardMovesOneStepAndToFrontMovesToZero) {
  CGEList list;
  AddSquare(list, 0, 0, 0);
  CGraphicElement* b = AddSquare(list, 0, 0, 3);
  list.Select(b);
  list.BringForward();
  EXPECT_EQ(Depths(list), (std::vector<int>{0, 2}));
  list.BringToFront();
  EXPECT_EQ(Depths(list), (std::vector<int>{0, 0}));
}

TEST(GraphicListDepthTest, PushBackOneRaisesTheGreatestDepth) {
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 0);
  list.Select(a);
  list.PushBackOne();
  list.PushBackOne();
  EXPECT_EQ(a->depth, 2);
  EXPECT_EQ(list.GetMaxDepth(), 2);
}

TEST(GraphicListDepthTest, PushToBackOfPageTakesTheGreatestDepth) {
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 0);
  list.Select(a);
  list.PushToBack();  // greatest depth 0: stays at 0
  EXPECT_EQ(a->depth, 0);
  AddSquare(list, 0, 0, 5);
  list.PushToBack();
  EXPECT_EQ(a->depth, 5);
}

TEST(GraphicListDepthTest, CommandsNeedACurrentObject) {
  CGEList list;
  AddSquare(list, 0, 0, 1);
  EXPECT_FALSE(list.BringForward());
  EXPECT_FALSE(list.BringToFront());
  EXPECT_FALSE(list.PushBackOne());
  EXPECT_FALSE(list.PushToBack());
  EXPECT_EQ(Depths(list), (std::vector<int>{1}));
}

// ---------------------------------------------------------------- delete, copy, paste

TEST(GraphicListEditTest, DeleteAsksBeforeEachSelectedObject) {
  CQuestionUi ui;
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 0);
  AddSquare(list, 20, 0, 0);
  CGraphicElement* c = AddSquare(list, 40, 0, 0);
  list.Select(a);
  list.Select(c, true);
  ui.QueueAnswer(false);  // keep a
  ui.QueueAnswer(true);   // delete c
  EXPECT_EQ(list.DeleteSelected(), 1);
  EXPECT_EQ(ui.questions, (std::vector<std::string>{"Delete object. Are you sure?",
                                                    "Delete object. Are you sure?"}));
  EXPECT_EQ(ui.titles[0], "Delete Selected Objects");
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(&list.At(0), a);
  EXPECT_EQ(list.Current(), nullptr);  // c was current
}

TEST(GraphicListEditTest, StopAskingAppliesTheAnswerToTheRest) {
  CRecordingUi ui;
  CGEList list;
  for (int k = 0; k < 4; ++k) list.Select(AddSquare(list, 20.0 * k, 0, 0), true);
  ui.QueueAnswer(true, true);
  EXPECT_EQ(list.DeleteSelected(), 4);
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_TRUE(list.IsEmpty());

  for (int k = 0; k < 3; ++k) list.Select(AddSquare(list, 20.0 * k, 0, 0), true);
  ui.questions.clear();
  ui.QueueAnswer(false, true);
  EXPECT_EQ(list.DeleteSelected(), 0);
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(list.GetCount(), 3);
}

TEST(GraphicListEditTest, PasteBeforeCopyShowsMessageAndAddsNothing) {
  CRecordingUi ui;
  CGEList list;
  AddSquare(list, 0, 0, 0);
  EXPECT_FALSE(list.Copy());  // nothing current
  EXPECT_FALSE(list.Paste());
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Need to copy a single object before pasting."}));
  EXPECT_EQ(list.GetCount(), 1);
}

TEST(GraphicListEditTest, PasteAddsACopyOfTheCopiedObject) {
  CRecordingUi ui;
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 2);
  a->name = "box";
  CGraphicElement* b = AddSquare(list, 50, 0, 0);
  list.Select(a);
  ASSERT_TRUE(list.Copy());
  // The copy outlives the object it was taken from.
  ui.QueueAnswer(true);
  list.DeleteSelected();
  list.Select(b);
  ASSERT_TRUE(list.Paste());
  ASSERT_EQ(list.GetCount(), 2);
  CGraphicElement& pasted = list.At(1);
  EXPECT_EQ(pasted.name, "box");
  EXPECT_EQ(pasted.depth, 2);
  EXPECT_EQ(pasted.GetEndPoints(), (std::vector<CPoint3>{{0, 0, 0}, {10, 10, 0}}));
  EXPECT_TRUE(pasted.selected);
  EXPECT_FALSE(b->selected);  // selections cleared first
  EXPECT_EQ(list.Current(), &pasted);
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_TRUE(ui.messages.empty());
}

// ---------------------------------------------------------------- hit testing and painting

TEST(GraphicListHitTest, FrontMostDepthWinsThenTheNearest) {
  CGEList list;
  CGraphicElement* back = AddSquare(list, 0, 0, 1, 100);
  CGraphicElement* front = AddSquare(list, 50, 50, 0, 10);
  // Inside both: the front one wins.
  EXPECT_EQ(list.HitTest({55, 55}, kIdentity), front);
  // Just outside the front square (3 px) but inside the back one: front still
  // wins, being within the pick tolerance at a smaller depth.
  EXPECT_EQ(list.HitTest({63, 55}, kIdentity), front);
  EXPECT_EQ(list.HitTest({80, 80}, kIdentity), back);
  EXPECT_EQ(list.HitTest({200, 200}, kIdentity), nullptr);
  front->visible = false;
  EXPECT_EQ(list.HitTest({55, 55}, kIdentity), back);

  CGEList lines;
  auto line = [&](double y) {
    auto l = std::make_unique<CSLine>();
    l->SetEndPoints({{0, y, 0}, {100, y, 0}});
    return lines.Add(std::move(l));
  };
  line(0);
  CGraphicElement* near = line(3);
  EXPECT_EQ(lines.HitTest({50, 2}, kIdentity), near);
  EXPECT_EQ(lines.HitTest({50, 2}, kIdentity, 0.5), nullptr);
}

TEST(GraphicListHitTest, PaintOrderIsBackToFront) {
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 0);
  CGraphicElement* b = AddSquare(list, 0, 0, 2);
  CGraphicElement* c = AddSquare(list, 0, 0, 0);
  CGraphicElement* d = AddSquare(list, 0, 0, 1);
  d->visible = false;
  EXPECT_EQ(list.PaintOrder(), (std::vector<const CGraphicElement*>{b, a, c}));
}

// ---------------------------------------------------------------- stored form

TEST(GraphicListStoreTest, EmptyListStoresCountAndGreatestDepth) {
  CGEList list;
  CGraphicElement* a = AddSquare(list, 0, 0, 4);
  list.Select(a);
  CRecordingUi ui;
  list.DeleteSelected();
  ASSERT_TRUE(list.IsEmpty());
  CMemorySink sink;
  CProjectWriter out(sink);
  list.Store(out);
  ASSERT_TRUE(out.Finish());
  EXPECT_EQ(sink.Bytes(), CBytes().I32(0).I32(4).Str());
}

TEST(GraphicListStoreTest, ObjectsKeepOrderAndTypeCodes) {
  CGEList list;
  list.Add(std::make_unique<CText>());
  list.Add(std::make_unique<CWingDing>());
  CMemorySink sink;
  CProjectWriter out(sink);
  list.Store(out);
  ASSERT_TRUE(out.Finish());
  const std::string& b = sink.Bytes();
  EXPECT_EQ(I32At(b, 0), 2);
  EXPECT_EQ(I32At(b, 4), 0);
  EXPECT_EQ(I32At(b, 8), kGEText);
  CGEList back;
  back.Add(std::make_unique<CSLine>());  // replaced by the load
  CMemorySource src(b);
  CProjectReader in(src);
  back.Load(in);
  ASSERT_EQ(back.GetCount(), 2);
  EXPECT_EQ(back.At(0).TypeCode(), kGEText);
  EXPECT_EQ(back.At(1).TypeCode(), kGEWingDing);
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST(GraphicListStoreTest, UnknownTypeCodeIsRefusedAndLeavesTheListEmpty) {
  CGEList list;
  list.Add(std::make_unique<CCircle>());
  CBytes b;
  b.I32(2).I32(0).I32(kGEWingDing).I32(4);
  for (int k = 0; k < 6; ++k) b.F64(0);
  b.Text("").F64(0).F64(0).F64(0).F64(0).U8(0).U8(0).I32(0).U32(0).U32(0).I32(1);
  b.I32(9);
  for (int k = 0; k < 20; ++k) b.F64(0);
  CMemorySource src(b.Str());
  CProjectReader in(src);
  try {
    list.Load(in);
    FAIL();
  } catch (const CProjectFormatError& e) {
    EXPECT_STREQ(e.what(), "drawing object 2 has the unknown type 9");
  }
  EXPECT_TRUE(list.IsEmpty());
}

TEST(GraphicListStoreTest, CountsBeyondTheInputAreRefused) {
  CGEList list;
  for (int32_t count : {-1, 1000000}) {
    const std::string b = CBytes().I32(count).I32(0).I32(1).Str();
    CMemorySource src(b);
    CProjectReader in(src);
    EXPECT_THROW(list.Load(in), CProjectFormatError) << count;
  }
}

}  // namespace
}  // namespace olm::test
