// The graph settings sheet: page checks that keep the page open, Apply as a
// preview, OK as one undo step, Cancel putting the document back, and the
// style table's drawn combo boxes.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "ViewTestSupport.hpp"
#include "app/GraphSettingsSheet.hpp"
#include "ui/StyleComboBoxes.hpp"

namespace olm::test {
namespace {

class GraphSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ImportSamples(doc, 2));
    sheet = std::make_unique<CGraphSettingsSheet>(doc);
    sheet->show();
    ui.Clear();
  }
  void Press(QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(sheet->Buttons()->button(which), Qt::LeftButton);
  }

  CRecordingUi ui;
  COLMDoc doc;
  std::unique_ptr<CGraphSettingsSheet> sheet;
};

TEST_F(GraphSettingsTest, ModelMinimumAboveMaximumIsRefusedAndThePageStays) {
  const CPlotSettings before = doc.PlotSettings();
  const size_t steps = doc.UndoCount();
  sheet->Tabs()->setCurrentIndex(CGraphSettingsSheet::kLayoutPage);
  sheet->LimitEdit(4)->setText("5");  // model x minimum
  sheet->LimitEdit(5)->setText("1");  // model x maximum
  sheet->Tabs()->setCurrentIndex(CGraphSettingsSheet::kAttributesPage);
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                            "Max X Model value should be greater than Min X Model value."});
  EXPECT_EQ(sheet->Tabs()->currentIndex(), CGraphSettingsSheet::kLayoutPage);
  // OK is refused the same way; the document is untouched.
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(ui.Last(), "Max X Model value should be greater than Min X Model value.");
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(doc.PlotSettings(), before);
  EXPECT_EQ(doc.UndoCount(), steps);
  // Fixed, the page may be left.
  sheet->LimitEdit(5)->setText("50");
  sheet->Tabs()->setCurrentIndex(CGraphSettingsSheet::kAttributesPage);
  EXPECT_EQ(sheet->Tabs()->currentIndex(), CGraphSettingsSheet::kAttributesPage);
}

TEST_F(GraphSettingsTest, NumberFormatsAndNumbersAreCheckedInTheSheet) {
  sheet->Tabs()->setCurrentIndex(CGraphSettingsSheet::kLayoutPage);
  sheet->FormatEdit(0)->setText("%d items");  // no floating conversion
  sheet->Tabs()->setCurrentIndex(CGraphSettingsSheet::kAttributesPage);
  EXPECT_EQ(sheet->Tabs()->currentIndex(), CGraphSettingsSheet::kLayoutPage);
  EXPECT_EQ(ui.Texts().size(), 1u);
  sheet->FormatEdit(0)->setText("%.3f");
  sheet->LimitEdit(0)->setText("abc");
  sheet->Tabs()->setCurrentIndex(CGraphSettingsSheet::kAttributesPage);
  EXPECT_EQ(sheet->Tabs()->currentIndex(), CGraphSettingsSheet::kLayoutPage);
  EXPECT_EQ(ui.Last(), "Enter a number for the Min X Plot value.");
  sheet->LimitEdit(0)->setText(QString::number(doc.PlotSettings().plotXMin));
  Press(QDialogButtonBox::Ok);
  EXPECT_EQ(doc.PlotSettings().xAxisFormat, "%.3f");
}

TEST_F(GraphSettingsTest, ApplyPreviewsAndOkIsOneUndoStep) {
  const std::string oldTitle = doc.PlotSettings().graphTitle;
  const size_t steps = doc.UndoCount();
  sheet->TitleEdit()->setText("Steel strip");
  // The style table: replicate 1's raw curve gets colour 5 and marker 3.
  auto* colour = qobject_cast<ui::CDrawnComboBox*>(sheet->StyleTable()->cellWidget(0, 0));
  auto* marker = qobject_cast<ui::CDrawnComboBox*>(sheet->StyleTable()->cellWidget(0, 1));
  ASSERT_TRUE(colour && marker);
  EXPECT_EQ(sheet->StyleTable()->rowCount(), 6);  // two replicates, three kinds
  colour->SetValue(5);
  marker->SetValue(3);

  Press(QDialogButtonBox::Apply);
  EXPECT_EQ(doc.PlotSettings().graphTitle, "Steel strip");  // previewed
  EXPECT_EQ(doc.UndoCount(), steps);
  Press(QDialogButtonBox::Ok);
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_EQ(sheet->result(), QDialog::Accepted);
  EXPECT_EQ(doc.UndoCount(), steps + 1);
  const CCurveStyle& st = doc.PlotSettings().Style(CPlotSettings::CurveRow(1, kCurveRaw));
  EXPECT_EQ(std::tuple(doc.PlotSettings().graphTitle, st.colourIndex, st.markerKind),
            std::tuple(std::string("Steel strip"), 5, 3));
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.PlotSettings().graphTitle, oldTitle);
  EXPECT_EQ(doc.PlotSettings().Style(CPlotSettings::CurveRow(1, kCurveRaw)).colourIndex, 1);
}

TEST_F(GraphSettingsTest, CancelAfterApplyPutsTheDocumentBack) {
  const CPlotSettings before = doc.PlotSettings();
  const size_t steps = doc.UndoCount();
  sheet->TitleEdit()->setText("Preview only");
  Press(QDialogButtonBox::Apply);
  EXPECT_EQ(doc.PlotSettings().graphTitle, "Preview only");
  Press(QDialogButtonBox::Cancel);
  EXPECT_EQ(doc.PlotSettings(), before);
  EXPECT_EQ(doc.UndoCount(), steps);
  EXPECT_FALSE(doc.IsEditing());
}

TEST(StyleComboBoxTest, EntriesAreDrawnAndChooseTheStoredIndices) {
  ui::CLineStyleComboBox styles;
  ui::CLineWeightComboBox weights;
  ui::CMarkerComboBox markers;
  EXPECT_EQ(std::tuple(styles.count(), weights.count(), markers.count()), std::tuple(5, 10, 11));
  // Every entry but "no marker" carries a picture with dark pixels.
  for (int i = 1; i < markers.count(); ++i) {
    const QImage picture = markers.itemIcon(i).pixmap(markers.iconSize()).toImage();
    bool dark = false;
    for (int y = 0; y < picture.height() && !dark; ++y)
      for (int x = 0; x < picture.width() && !dark; ++x)
        dark = qAlpha(picture.pixel(x, y)) > 0 && qGray(picture.pixel(x, y)) < 128;
    EXPECT_TRUE(dark) << "marker " << i;
  }
  weights.SetWidth(4);
  EXPECT_EQ(weights.Width(), 4);
  styles.SetValue(7);  // beyond the table: nothing chosen
  EXPECT_EQ(styles.Value(), -1);
}

}  // namespace
}  // namespace olm::test
