// The "Data Set-Zone Data" dialog on the document: enabling rules, the
// "Update" refusals, zone count limits and the delete question, OK as one
// undo step and Cancel putting everything back, "Apply to all data sets",
// and "Analyze" with its progress dialog's Cancel.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include "DataDialogsTestUtil.hpp"
#include "app/DataDialogs.hpp"
#include "app/OLMView.hpp"
#include "app/RepZoneDataDlg.hpp"
#include "app/TaskRunner.hpp"

namespace olm::test {
namespace {

class ZoneDataDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { LoadSamples(doc); }
  const CReplicate& Rep(int r) const { return doc.Database().Replicate(r); }

  CRecordingUi ui;
  COLMDoc doc;
};

TEST_F(ZoneDataDlgTest, EnablingFollowsTheSmoothingChoice) {
  CRepZoneDataDlg dlg(nullptr, doc);
  struct {
    const char* smooth;
    bool order, points, repeats, outliers;
  } const rules[] = {{"No", false, false, false, true},
                     {"Median", false, true, true, true},
                     {"PMA", true, true, true, true},
                     {"Robust Loess", false, true, true, false},
                     {"Robust Lowess", false, true, true, false},
                     {"Lowess", false, true, true, true}};
  dlg.outliers->setCurrentIndex(1);
  for (const auto& rule : rules) {
    SCOPED_TRACE(rule.smooth);
    dlg.smooth->setCurrentText(rule.smooth);
    EXPECT_EQ(dlg.order->isEnabled(), rule.order);
    EXPECT_EQ(dlg.points->isEnabled(), rule.points);
    EXPECT_EQ(dlg.repeats->isEnabled(), rule.repeats);
    EXPECT_EQ(dlg.outliers->isEnabled(), rule.outliers);
    if (!rule.outliers) {
      EXPECT_EQ(dlg.outliers->currentIndex(), 0);  // stored as "None"
    }
  }
}

TEST_F(ZoneDataDlgTest, UpdateRefusesWhatTheRulesRefuseAndStoresTheRest) {
  CRepZoneDataDlg dlg(nullptr, doc);
  const double end = Rep(1).GetZoneEnd(1);
  dlg.startX->setText("10");
  dlg.endX->setText("5");
  dlg.fitType->setCurrentText("Linear Polynomial");
  EXPECT_FALSE(dlg.Update());
  EXPECT_EQ(ui.Last(), "End X should be greater than Start X");
  EXPECT_EQ(Rep(1).GetZoneEnd(1), end);
  // The same range with every choice at its first entry is stored silently.
  dlg.fitType->setCurrentIndex(0);
  ui.Clear();
  EXPECT_TRUE(dlg.Update());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(std::pair(Rep(1).GetZoneStart(1), Rep(1).GetZoneEnd(1)), std::pair(10.0, 5.0));
  // An even number of points with a median filter.
  dlg.startX->setText("0");
  dlg.endX->setText("0.1");
  dlg.smooth->setCurrentText("Median");
  dlg.points->setValue(4);
  EXPECT_FALSE(dlg.Update());
  EXPECT_EQ(ui.Last(), "Number of Points should be odd and between 3 and 25");
  dlg.points->setValue(27);
  EXPECT_FALSE(dlg.Update());
  dlg.smooth->setCurrentText("No");  // points disabled: any value passes
  EXPECT_TRUE(dlg.Update());
  // Quartic polynomial and "Order: 5" store degree 4 and order 5.
  dlg.fitType->setCurrentText("Quartic Polynomial");
  dlg.smooth->setCurrentText("PMA");
  dlg.order->setCurrentText("Order: 5");
  dlg.points->setValue(7);
  ASSERT_TRUE(dlg.Update());
  const CZone& z = Rep(1).Zone(1);
  EXPECT_EQ(std::tuple(z.fit.type, z.fit.degree, z.smoothing.order, z.smoothing.points),
            std::tuple(int(kFitPolynomial), 4, 5, 7));
  // The list shows the stored settings.
  EXPECT_EQ(dlg.list->topLevelItem(0)->text(3), "Quartic Polynomial");
}

TEST_F(ZoneDataDlgTest, ZoneCountLimitsTheDeleteQuestionAndContiguousBorders) {
  CRepZoneDataDlg dlg(nullptr, doc);
  dlg.dataSet->setCurrentIndex(1);
  dlg.dataSet->activated(1);
  ASSERT_EQ(dlg.Rules().DataSet(), 2);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(dlg.AddZone());
  EXPECT_EQ(Rep(2).zoneCount, 5);
  EXPECT_EQ(dlg.zone->count(), 5);
  EXPECT_EQ(dlg.zone->currentIndex(), 4);  // the new last zone is current
  EXPECT_FALSE(dlg.AddZone());
  EXPECT_EQ(ui.Last(), "Too many zones.");
  EXPECT_EQ(Rep(2).zoneCount, 5);
  // Zone 3 of five from 4 to 8 moves zone 2's end and zone 4's start.
  dlg.zone->activated(2);
  dlg.startX->setText("0.04");
  dlg.endX->setText("0.08");
  ASSERT_TRUE(dlg.Update());
  EXPECT_EQ(std::pair(Rep(2).GetZoneEnd(2), Rep(2).GetZoneStart(4)), std::pair(0.04, 0.08));
  // "Delete last zone?": No keeps it, Yes deletes it.
  ui.QueueAnswer(false);
  EXPECT_FALSE(dlg.DeleteZone());
  ASSERT_FALSE(ui.questions.empty());
  EXPECT_EQ(ui.questions.back(), "Delete last zone?");
  EXPECT_EQ(Rep(2).zoneCount, 5);
  ui.QueueAnswer(true);
  EXPECT_TRUE(dlg.DeleteZone());
  EXPECT_EQ(Rep(2).zoneCount, 4);
  EXPECT_EQ(dlg.zone->count(), 4);
  EXPECT_EQ(dlg.list->topLevelItemCount(), 1 + 4 + 1);  // one row per zone
}

TEST_F(ZoneDataDlgTest, OkIsOneUndoStepAndCancelPutsEverythingBack) {
  const size_t steps = doc.UndoCount();
  const int zones = Rep(1).zoneCount;
  {
    CRepZoneDataDlg dlg(nullptr, doc);
    EXPECT_EQ(ZoneMarkedReplicate(), 1);
    ASSERT_TRUE(dlg.AddZone());
    ASSERT_TRUE(dlg.AddZone());
    dlg.reject();
  }
  EXPECT_EQ(ZoneMarkedReplicate(), 0);
  EXPECT_EQ(Rep(1).zoneCount, zones);
  EXPECT_EQ(doc.UndoCount(), steps);
  EXPECT_FALSE(doc.IsEditing());
  {
    CRepZoneDataDlg dlg(nullptr, doc);
    ASSERT_TRUE(dlg.AddZone());
    ASSERT_TRUE(dlg.AddZone());
    dlg.accept();
  }
  EXPECT_EQ(Rep(1).zoneCount, zones + 2);
  ASSERT_EQ(doc.UndoCount(), steps + 1);
  EXPECT_EQ(doc.UndoName(), "Process Data");
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(Rep(1).zoneCount, zones);
  // OK without a change adds no step.
  {
    CRepZoneDataDlg dlg(nullptr, doc);
    dlg.accept();
  }
  EXPECT_EQ(doc.UndoIndex(), steps);
}

TEST_F(ZoneDataDlgTest, ThePlotMarksTheZoneBordersOfTheShownDataSetWhileTheDialogIsOpen) {
  COLMView view(doc);
  view.resize(800, 500);
  view.show();
  const auto mapped = [&](double x) {
    const CGraph& g = view.State().Graph();
    return g.WorldToDevice(x, g.DeviceToWorld(g.Frame().left, g.Frame().bottom).y).x;
  };
  view.grab();
  EXPECT_TRUE(view.ZoneBorderColumns().empty());  // no dialog: no marks
  {
    CRepZoneDataDlg dlg(nullptr, doc);
    dlg.dataSet->activated(1);  // data set 2
    ASSERT_TRUE(dlg.AddZone());
    dlg.zone->activated(0);
    dlg.startX->setText("0.01");
    dlg.endX->setText("0.05");
    ASSERT_TRUE(dlg.Update());
    const QImage shown = view.grab().toImage();
    const std::vector<int> columns = view.ZoneBorderColumns();
    // Zone 1's start and the border it shares with zone 2 (the end of zone 2
    // may lie beyond the window).
    ASSERT_GE(columns.size(), 2u);
    EXPECT_EQ(columns[0], mapped(Rep(2).GetZoneStart(1)));
    EXPECT_EQ(columns[1], mapped(0.05));
    const int midY = (view.State().Graph().Frame().top + view.State().Graph().Frame().bottom) / 2;
    int marked = 0;
    for (int y = midY - 10; y <= midY + 10; ++y)
      marked += shown.pixelColor(columns[1], y) == QColor(0, 128, 0);
    EXPECT_GT(marked, 3);  // dashed
  }
  view.grab();
  EXPECT_TRUE(view.ZoneBorderColumns().empty());
}

TEST_F(ZoneDataDlgTest, ApplyToAllGivesEveryDataSetTheZonesOfTheCurrentOne) {
  CRepZoneDataDlg dlg(nullptr, doc);
  ASSERT_TRUE(dlg.AddZone());
  dlg.startX->setText("0.0017");
  dlg.endX->setText("0.2");
  dlg.fitType->setCurrentText("Power - a*x^b");
  ASSERT_TRUE(dlg.ApplyToAll());
  dlg.accept();
  for (int r = 1; r <= 3; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(Rep(r).zoneCount, 2);
    EXPECT_EQ(Rep(r).GetZoneStart(2), 0.0017);
    EXPECT_EQ(Rep(r).GetZoneEnd(1), 0.0017);
    EXPECT_EQ(Rep(r).Zone(2).fit.type, kFitPowerLaw);
  }
}

TEST_F(ZoneDataDlgTest, AnalyzeRunsAsAStepAndAsksBeforeDiscardingResults) {
  CRepZoneDataDlg dlg(nullptr, doc);
  dlg.smooth->setCurrentText("Median");
  dlg.points->setValue(5);
  dlg.fitType->setCurrentText("Linear Polynomial");
  ASSERT_TRUE(dlg.ApplyToAll());
  ASSERT_TRUE(dlg.Analyze()) << ui.Last();
  EXPECT_TRUE(ui.questions.empty());  // nothing processed yet: no question
  EXPECT_EQ(ui.Last(), "Analysis complete");
  EXPECT_TRUE(doc.Database().IsLocked());
  EXPECT_TRUE(doc.IsEditing());  // the dialog goes on with a new edit
  // Processed now: the question; Cancel keeps the results.
  ui.QueueAnswer(false);
  EXPECT_FALSE(dlg.Analyze());
  EXPECT_EQ(ui.questions.back(), "All processed data will be lost. Proceed?");
  EXPECT_TRUE(doc.Database().IsLocked());
  dlg.reject();
  EXPECT_TRUE(doc.Database().IsLocked());  // the analysis was its own step
  const std::vector<std::string> names = doc.UndoNames();
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[names.size() - 2], "Process Data");
  EXPECT_EQ(names.back(), "Analyze");
}

TEST_F(ZoneDataDlgTest, AnalyzeThenCancelLeavesTheDatabaseAsItWas) {
  // Enough work for the progress dialog to be reached: replicates of sixty
  // thousand rows smoothed with robust Lowess.
  for (int i = 0; i < 6; ++i) AddMadeUpReplicate(doc, 60000, "big" + std::to_string(i));
  std::vector<CZoneControls> zones(1);
  zones[0].startX = 0;
  zones[0].endX = 1e9;
  zones[0].smoothIndex = 7;
  zones[0].points = 25;
  zones[0].repeats = 3;
  zones[0].fitIndex = 3;
  ASSERT_TRUE(doc.ApplyZonesToAll(zones));
  const size_t steps = doc.UndoCount();
  const int state = doc.Database().fittedFlag;
  CRepZoneDataDlg::progressDelayMs = 0;
  int hooked = 0;
  SetProgressDialogHook([&](QProgressDialog* dialog) {
    ++hooked;
    auto* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
  });
  CRepZoneDataDlg dlg(nullptr, doc);
  EXPECT_FALSE(dlg.Analyze());
  SetProgressDialogHook(nullptr);
  CRepZoneDataDlg::progressDelayMs = 500;
  EXPECT_EQ(hooked, 1);
  EXPECT_FALSE(ui.Saw("Analysis complete"));
  EXPECT_EQ(doc.Database().fittedFlag, state);
  for (int r = 1; r <= doc.Database().GetReplicateCount(); ++r) {
    EXPECT_FALSE(Rep(r).smoothed);
    EXPECT_EQ(Rep(r).smoothedCount, 0);
  }
  EXPECT_EQ(doc.UndoCount(), steps);  // nothing changed before Analyze: no step
  dlg.reject();
  EXPECT_EQ(doc.UndoCount(), steps);
}

}  // namespace
}  // namespace olm::test
