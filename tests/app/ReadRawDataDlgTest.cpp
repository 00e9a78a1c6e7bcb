// The "Read Raw Data" dialog: imports through the real dialog match the
// batch import, bad files report and add nothing, "Apply" keeps the dialog
// open, several files at once, the suggested layout and the parsed preview.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>

#include "DataDialogsTestUtil.hpp"
#include "app/ReadRawDataDlg.hpp"
#include "engine/EngineError.hpp"

namespace olm::test {
namespace {

// Sets the dialog's controls to a case's settings.
void SetControls(CReadRawDataDlg& dlg, const CImportCase& c) {
  dlg.SetFiles({QString::fromStdString(c.path)}, /*suggest=*/false);
  CReadRawDataForm form = FormOf(c, "");
  form.dataId = dlg.dataId->text().toStdString();
  dlg.SetForm(form);
}

class ReadRawDataDlgTest : public ::testing::Test {
 protected:
  void ExpectSameReplicate(const CReplicate& got, const CReplicate& want, const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(got.pointCount, want.pointCount);
    ASSERT_EQ(got.columnCount, want.columnCount);
    EXPECT_EQ(std::pair(got.xColumn, got.yColumn), std::pair(want.xColumn, want.yColumn));
    for (int c = 1; c <= want.columnCount; ++c) {
      EXPECT_EQ(got.headings(c), want.headings(c));
      EXPECT_EQ(got.units(c), want.units(c));
    }
    for (int i = 1; i <= want.pointCount; ++i)
      for (int c = 1; c <= want.columnCount; ++c)
        ASSERT_EQ(got.raw(i, c), want.raw(i, c)) << "row " << i << " column " << c;
  }

  CRecordingUi ui;
  CTempDir dir;
  COLMDoc doc;
};

TEST_F(ReadRawDataDlgTest, SamplesAndRealExportsReadAsTheBatchImportReadsThem) {
  std::vector<CImportCase> cases = SampleCases();
  cases.push_back({DataPath("real/example.csv"), 5, 4, 3, 18, {false, false, true, '\0'}});
  cases.push_back({DataPath("real/example2.csv"), 15, 3, 2, 2, {false, false, true, ';'}});
  cases.push_back({DataPath("real/example4.csv"), 8, 2, 4, 13, {false, false, true, '\0'}, true});
  cases.push_back({DataPath("real/TST_2021-12_QS_001.csv"), 9, 6, 2, 2, {true, true, true, '\0'}});
  CReadRawDataDlg dlg(nullptr, doc);
  int n = 0;
  for (const CImportCase& c : cases) {
    SetControls(dlg, c);
    ASSERT_EQ(dlg.Apply(), 1) << c.path << ": " << ui.Last();
    ++n;
    // The batch import, on a database of its own.
    CReplicateDB reference;
    CReadRawDataForm form = FormOf(c);
    ASSERT_TRUE(form.Apply(reference));
    ExpectSameReplicate(doc.Database().Replicate(n), reference.Replicate(1), c.path);
  }
  EXPECT_EQ(doc.UndoCount(), cases.size());                        // one step per file
  EXPECT_EQ(doc.Database().Replicate(1).GetTitle(), "tensile_1");  // Data ID from the file name
  EXPECT_EQ(doc.Database().Replicate(6).pointCount, 931);          // the decimal-comma export
  EXPECT_EQ(doc.Database().Replicate(6).raw(1, 2), 79.004883);
}

TEST_F(ReadRawDataDlgTest, SuggestedLayoutReadsTheExportsWithoutHelp) {
  CReadRawDataDlg dlg(nullptr, doc);
  // The MTS export: tab-separated, decimal commas, 13 header lines, 8 columns.
  dlg.SetFiles({QString::fromStdString(DataPath("real/example4.csv"))});
  EXPECT_TRUE(dlg.tab->isChecked());
  EXPECT_FALSE(dlg.blank->isChecked());
  EXPECT_FALSE(dlg.comma->isChecked());
  EXPECT_TRUE(dlg.decimalComma->isChecked());
  EXPECT_EQ(std::pair(dlg.headerLines->value(), dlg.columns->value()), std::pair(13, 8));
  // The sample with a title line: three header lines, tabs.
  dlg.SetFiles({QString::fromStdString(SamplePath("tensile_3.txt"))});
  EXPECT_EQ(std::pair(dlg.headerLines->value(), dlg.columns->value()), std::pair(3, 3));
  EXPECT_FALSE(dlg.decimalComma->isChecked());
  dlg.xColumn->setValue(2);
  dlg.yColumn->setValue(3);
  ASSERT_EQ(dlg.Apply(), 1) << ui.Last();
  CReplicateDB reference;
  CReadRawDataForm form = FormOf(SampleCases()[2]);
  ASSERT_TRUE(form.Apply(reference));
  EXPECT_EQ(doc.Database().Replicate(1).pointCount, reference.Replicate(1).pointCount);
  EXPECT_EQ(doc.Database().Replicate(1).headings(3), "stress");
}

TEST_F(ReadRawDataDlgTest, ParsedPreviewFollowsTheSettingsAndShowsLatin1Headings) {
  CReadRawDataDlg dlg(nullptr, doc);
  dlg.SetFiles({QString::fromStdString(DataPath("real/example.csv"))});
  ASSERT_EQ(dlg.preview->topLevelItemCount(), CReadRawDataDlg::kPreviewLines);
  EXPECT_EQ(dlg.preview->topLevelItem(1)->text(1),
            QString::fromUtf8("\"Einspannlänge\"   832.756   \"mm\""));
  EXPECT_EQ(dlg.headerLines->value(), 18);
  // Line 17 holds the headings, line 18 the units, as the row labels say.
  ASSERT_GE(dlg.parsed->rowCount(), 19);
  EXPECT_EQ(dlg.parsed->verticalHeaderItem(16)->text(), "17 headings");
  EXPECT_EQ(dlg.parsed->verticalHeaderItem(17)->text(), "18 units");
  EXPECT_EQ(dlg.parsed->verticalHeaderItem(18)->text(), "19 data");
  EXPECT_EQ(dlg.parsed->item(16, 0)->text(), QString::fromUtf8("Prüfzeit"));
  dlg.xColumn->setValue(4);
  EXPECT_EQ(dlg.parsed->horizontalHeaderItem(3)->text(), "4 (x)");
  // Fewer header lines: line 17 becomes the units line and 18 a data line
  // whose texts are no numbers.
  dlg.headerLines->setValue(17);
  EXPECT_EQ(dlg.parsed->verticalHeaderItem(17)->text(), "18 data");
  EXPECT_EQ(dlg.parsed->item(17, 0)->toolTip(), "Not a number");
  // The decimal comma decides whether "78,494141" is a number.
  dlg.SetFiles({QString::fromStdString(DataPath("real/example4.csv"))});
  EXPECT_TRUE(dlg.parsed->item(15, 1)->toolTip().isEmpty());
  dlg.decimalComma->setChecked(false);
  EXPECT_EQ(dlg.parsed->item(15, 1)->toolTip(), "Not a number");
}

TEST_F(ReadRawDataDlgTest, MalformedLineReportsItsLineNumberAndAddsNothing) {
  CReadRawDataDlg dlg(nullptr, doc);
  dlg.SetFiles({QString::fromStdString(dir.Write("bad.csv", "x,y\nmm,N\n1,2\n\n3,abc\n"))}, false);
  EXPECT_EQ(dlg.Apply(), 0);
  EXPECT_NE(ui.Last().find("line number 5"), std::string::npos) << ui.Last();
  EXPECT_EQ(doc.Database().GetReplicateCount(), 0);
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.IsModified());
  // A file that cannot be read, and the form's own checks, add nothing either.
  ui.Clear();
  dlg.SetFiles({QString::fromStdString(dir.File("missing.csv"))}, false);
  EXPECT_EQ(dlg.Apply(), 0);
  EXPECT_EQ(ui.Texts().size(), 1u);
  dlg.SetFiles({QString::fromStdString(dir.Write("good.csv", "x,y\nmm,N\n1,2\n"))}, false);
  dlg.xColumn->setValue(3);
  EXPECT_EQ(dlg.Apply(), 0);
  EXPECT_EQ(ui.Last(), "Invalid X-data column number");
  dlg.xColumn->setValue(1);
  dlg.headerLines->setValue(1);
  EXPECT_EQ(dlg.Apply(), 0);
  EXPECT_EQ(ui.Last(), "Need a minimum of two header lines");
  EXPECT_EQ(doc.Database().GetReplicateCount(), 0);
}

TEST_F(ReadRawDataDlgTest, ApplyKeepsTheDialogOpenForASecondFile) {
  CReadRawDataDlg dlg(nullptr, doc);
  dlg.show();
  dlg.SetFiles({QString::fromStdString(dir.Write("a.csv", "x,y\nmm,N\n1,2\n2,4\n"))});
  ASSERT_EQ(dlg.Apply(), 1);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.preview->topLevelItemCount(), 0);  // cleared for the next file
  EXPECT_EQ(ui.Last(), "Successfully created replicate 1");
  dlg.SetFiles({QString::fromStdString(dir.Write("b.csv", "x,y\nmm,N\n1,3\n2,5\n3,7\n"))});
  ASSERT_EQ(dlg.Apply(), 1);
  EXPECT_EQ(ui.Last(), "Successfully created replicate 2");
  ASSERT_EQ(doc.Database().GetReplicateCount(), 2);
  EXPECT_EQ(doc.Database().Replicate(2).GetTitle(), "b");
  EXPECT_EQ(doc.Database().Replicate(2).pointCount, 3);
  // Each file is one undo step.
  EXPECT_EQ(doc.UndoCount(), 2u);
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.Database().GetReplicateCount(), 1);
  // Apply without a file chosen now: the file cannot be opened; nothing is added.
  EXPECT_EQ(dlg.Apply(), 0);
  EXPECT_EQ(doc.Database().GetReplicateCount(), 1);
}

TEST_F(ReadRawDataDlgTest, SeveralFilesOneBadImportTheOthersAndTheTwentyFirstIsRefused) {
  CReadRawDataDlg dlg(nullptr, doc);
  const QStringList files = {QString::fromStdString(dir.Write("one.csv", "x,y\nmm,N\n1,2\n2,3\n")),
                             QString::fromStdString(dir.Write("two.csv", "x,y\nmm,N\n1,2\nz,3\n")),
                             QString::fromStdString(dir.Write("three.csv", "x,y\nmm,N\n5,6\n"))};
  dlg.SetFiles(files);
  EXPECT_FALSE(dlg.dataId->isEnabled());  // each file takes its own name
  EXPECT_EQ(dlg.Apply(), 2);
  ASSERT_EQ(doc.Database().GetReplicateCount(), 2);
  EXPECT_EQ(doc.Database().Replicate(1).GetTitle(), "one");
  EXPECT_EQ(doc.Database().Replicate(2).GetTitle(), "three");
  EXPECT_EQ(ui.Texts(MessageKind::Error).size(), 1u) << ui.Last();
  // Up to twenty replicates: of 19 more files, 18 are taken.
  QStringList many;
  for (int i = 0; i < 19; ++i)
    many << QString::fromStdString(dir.Write("m" + std::to_string(i) + ".csv", "x,y\n-,-\n1,2\n"));
  dlg.SetFiles(many);
  ui.Clear();
  EXPECT_EQ(dlg.Apply(), 18);
  EXPECT_EQ(doc.Database().GetReplicateCount(), CReplicateDB::kMaxReplicates);
  EXPECT_THAT(ui.Last(), ::testing::EndsWith(": " + CEngineError::Text(kErrDataSetCount)));
}

TEST_F(ReadRawDataDlgTest, LargeFileIsReadOnAWorkerAsOneStep) {
  // Past the size that moves the reading to a worker thread.
  std::string text = "t,x,y\ns,mm,N\n";
  int rows = 0;
  while (text.size() < static_cast<size_t>(CReadRawDataDlg::kTaskBytes) + 1000) {
    ++rows;
    text += std::to_string(rows) + ",0." + std::to_string(rows) + ",-" +
            std::to_string(rows % 977) + "\n";
  }
  CReadRawDataDlg dlg(nullptr, doc);
  dlg.SetFiles({QString::fromStdString(dir.Write("large.csv", text))});
  EXPECT_EQ(std::pair(dlg.columns->value(), dlg.headerLines->value()), std::pair(3, 2));
  dlg.xColumn->setValue(2);
  dlg.yColumn->setValue(3);
  ASSERT_EQ(dlg.Apply(), 1) << ui.Last();
  const CReplicate& rep = doc.Database().Replicate(1);
  EXPECT_EQ(rep.pointCount, rows);
  EXPECT_EQ(rep.raw(rows, 1), rows);
  EXPECT_EQ(rep.GetTitle(), "large");
  EXPECT_EQ(doc.UndoCount(), 1u);
  // The messages raised on the worker are shown afterwards.
  EXPECT_EQ(ui.Last(), "Successfully created replicate 1");
}

}  // namespace
}  // namespace olm::test
