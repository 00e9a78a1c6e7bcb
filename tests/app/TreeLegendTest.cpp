// The navigation tree and the legend beside the plot: the tree's entries and
// check boxes, a click on a check box switching a curve off in all three
// panes as one undo step, the double click, and the legend's scrolling.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <algorithm>

#include "ViewTestSupport.hpp"
#include "app/NavigationView.hpp"
#include "app/OLMView.hpp"
#include "app/OLMViewLegend.hpp"
#include "plot/CurveOperations.hpp"

namespace olm::test {
namespace {

class TreeLegendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ImportSamples(doc));
    tree = std::make_unique<CNavigationView>(doc);
    legend = std::make_unique<COLMViewLegend>(doc);
    view = std::make_unique<COLMView>(doc);
    tree->resize(250, 400);
    legend->resize(250, 900);
    view->resize(800, 600);
    for (QWidget* w : {static_cast<QWidget*>(tree.get()), static_cast<QWidget*>(legend.get()),
                       static_cast<QWidget*>(view.get())})
      w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tree.get()));
  }

  bool LegendLists(const std::string& text) const {
    const auto texts = legend->Model().Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
  // The centre of an item's check box.
  QPoint CheckBoxCentre(QStandardItem* item) const {
    const QModelIndex index = item->index();
    QStyleOptionViewItem option;
    option.initFrom(tree.get());
    option.rect = tree->visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = item->text();
    option.checkState = item->checkState();
    return tree->style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree.get())
        .center();
  }

  CRecordingUi ui;
  COLMDoc doc;
  std::unique_ptr<CNavigationView> tree;
  std::unique_ptr<COLMViewLegend> legend;
  std::unique_ptr<COLMView> view;
};

TEST_F(TreeLegendTest, TreeListsEveryReplicateUnderRawDataWithItsSwitch) {
  QStandardItem* root = tree->Model()->item(0);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->text(), "Data Sets");
  ASSERT_EQ(root->rowCount(), 3);
  EXPECT_EQ(std::tuple(root->child(0)->text(), root->child(1)->text(), root->child(2)->text()),
            std::tuple(QString("Raw Data"), QString("Smoothened Data"), QString("Fitted Data")));
  // Unprocessed: raw entries only, each checked (imported curves are shown).
  EXPECT_EQ(std::tuple(root->child(0)->rowCount(), root->child(1)->rowCount(),
                       root->child(2)->rowCount()),
            std::tuple(3, 0, 0));
  EXPECT_EQ(tree->EntryItem(0, 2)->text(), "2: Specimen 2");
  EXPECT_EQ(tree->EntryItem(0, 2)->checkState(), Qt::Checked);
  // A narrow pane scrolls sideways and tells the whole name on hover.
  EXPECT_EQ(tree->EntryItem(0, 2)->toolTip(), "2: Specimen 2");
  const QSize size = tree->size();
  tree->resize(60, 300);
  QApplication::processEvents();
  EXPECT_GT(tree->header()->sectionSize(0), tree->viewport()->width());
  tree->resize(size);
  QApplication::processEvents();
  EXPECT_TRUE(tree->isExpanded(root->child(0)->index()));
  // The legend: title, rule, then per replicate its raw curve and ranges.
  EXPECT_EQ(legend->Model().Texts().front(), "OLM V1.0");
  EXPECT_TRUE(LegendLists("Specimen 2-R"));

  // A double click asks for the editor on that replicate and kind.
  QSignalSpy spy(tree.get(), &CNavigationView::editRequested);
  const QRect r = tree->visualRect(tree->EntryItem(0, 3)->index());
  const QPoint at(r.left() + r.width() * 3 / 4, r.center().y());
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(std::pair(spy.at(0).at(0).toInt(), spy.at(0).at(1).toInt()), std::pair(3, 0));
}

TEST_F(TreeLegendTest, UncheckingReplicateTwoRemovesItsCurveAndLegendLinesAsOneUndoStep) {
  // Replicate 2's raw curve is style row 4: palette colour 4, magenta.
  const QRgb magenta = qRgb(255, 0, 255);
  ASSERT_EQ(doc.PlotSettings().Style(CPlotSettings::CurveRow(2, kCurveRaw)).colourIndex, 4);
  EXPECT_GT(CountColour(view->RenderImage(view->size()), magenta), 0);
  const auto linesBefore = legend->Model().Lines().size();
  const size_t steps = doc.UndoCount();

  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, CheckBoxCentre(tree->EntryItem(0, 2)));
  EXPECT_FALSE(doc.PlotSettings().IsShown(2, kCurveRaw));
  EXPECT_EQ(tree->EntryItem(0, 2)->checkState(), Qt::Unchecked);
  EXPECT_EQ(doc.UndoCount(), steps + 1);
  EXPECT_EQ(CountColour(view->RenderImage(view->size()), magenta), 0);
  EXPECT_FALSE(LegendLists("Specimen 2-R"));
  EXPECT_TRUE(LegendLists("Specimen 1-R") && LegendLists("Specimen 3-R"));
  // Name, two ranges, a blank line and the replicate's rule are gone.
  EXPECT_EQ(legend->Model().Lines().size(), linesBefore - 5);

  // One undo brings everything back in all three panes.
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(tree->EntryItem(0, 2)->checkState(), Qt::Checked);
  EXPECT_TRUE(LegendLists("Specimen 2-R"));
  EXPECT_GT(CountColour(view->RenderImage(view->size()), magenta), 0);
}

TEST_F(TreeLegendTest, DuringAnEditTheLegendGathersChangesBeforeTakingTheRangesAgain) {
  // Outside an edit a change is taken at the next turn of the event loop.
  QApplication::processEvents();
  doc.Notify(kChangeData);
  EXPECT_TRUE(legend->RebuildTimer().isActive());
  EXPECT_EQ(legend->RebuildTimer().interval(), 0);
  QApplication::processEvents();
  EXPECT_FALSE(legend->RebuildTimer().isActive());
  // During an edit (a curve dragged), a burst of changes waits once.
  ASSERT_TRUE(doc.BeginEdit("Move Curve", kChangeData));
  for (int i = 0; i < 5; ++i) doc.NotifyEdit(kChangeData);
  EXPECT_TRUE(legend->RebuildTimer().isActive());
  EXPECT_EQ(legend->RebuildTimer().interval(), COLMViewLegend::kEditRebuildDelayMs);
  // What is asked for is still current.
  ShiftRawCurve(doc.EditDatabase(), 2, 0.0, 1e6);
  doc.NotifyEdit(kChangeData);
  bool shifted = false;
  for (const std::string& t : legend->Model().Texts())
    shifted |= t.find("e+06") != std::string::npos;
  EXPECT_TRUE(shifted);
  doc.EndEdit(false);
}

TEST_F(TreeLegendTest, LegendScrollsWhenLongerThanItsPane) {
  legend->resize(250, 900);
  QApplication::processEvents();
  EXPECT_EQ(legend->verticalScrollBar()->maximum(), 0);
  legend->resize(250, 120);
  QApplication::processEvents();
  EXPECT_GT(legend->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(legend->verticalScrollBar()->maximum(),
            legend->ContentHeight() - legend->viewport()->height());
  // With no replicate only the title and its rule remain, which fit.
  doc.New();
  EXPECT_EQ(legend->Model().Texts(), std::vector<std::string>{"OLM V1.0"});
  EXPECT_EQ(legend->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(tree->Model()->item(0)->child(0)->rowCount(), 0);
}

}  // namespace
}  // namespace olm::test
