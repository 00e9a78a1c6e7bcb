// The "MAT213 Input Data" dialog: its lists filled from a project of twelve
// data sets, Update and the list, and Compute running the flow-rule program
// on the sample model with the dialog's choices.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "ToolCommandsTestSupport.hpp"
#include "app/FlowRuleCoefDlg.hpp"
#include "composites/FlowRuleProgram.hpp"
#include "engine/Database.hpp"
#include "ui/TextViewer.hpp"

namespace olm::test {
namespace {

using app::CFlowRuleCoefDlg;

QString ModelPath() {
  return SamplePath("composites/flowrule_model.txt");
}

// A project whose data set k holds the sample model's curve k.
void FillFromModel(CReplicateDB& db) {
  CFlowRuleModel model;
  ASSERT_EQ(ReadFlowRuleModel(ModelPath().toStdString(), model), "");
  for (int id = 1; id <= kFlowRuleCurveCount; ++id) {
    const int r = db.AddReplicate();
    ASSERT_EQ(r, id);
    CReplicate& rep = db.Replicate(r);
    rep.SetTitle("Test " + std::to_string(id));
    const CVector<double>& x = model.x[static_cast<size_t>(id - 1)];
    const CVector<double>& y = model.y[static_cast<size_t>(id - 1)];
    rep.raw.SetSize(x.GetSize(), 2);
    for (int i = 1; i <= x.GetSize(); ++i) {
      rep.raw(i, 1) = x(i);
      rep.raw(i, 2) = y(i);
    }
    rep.pointCount = x.GetSize();
    rep.columnCount = 2;
    rep.SetXYColumns(1, 2);
  }
}

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The coefficient lines "G11: ..." of a results file.
QStringList Coefficients(const QString& path) {
  QStringList lines;
  for (const QString& line : ReadText(path).split('\n'))
    if (line.size() > 4 && line.startsWith('G') && line[3] == ':') lines << line;
  return lines;
}

class FlowRuleCoefDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<ui::CTextViewer*>(w)) w->close();
  }
  QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
  void SelectModel(CFlowRuleCoefDlg& dlg, const QString& path) {
    CModalAnswers answers;
    answers.Message().File(path);
    QTest::mouseClick(dlg.SelectFileButton(), Qt::LeftButton);
    EXPECT_TRUE(answers.Done());
    EXPECT_EQ(answers.messages.value(0), "Selecting OLM model file");
  }
  QTemporaryDir m_dir;
  CReplicateDB m_db;
};

TEST_F(FlowRuleCoefDlgTest, ListsComeFromTheProjectsDataSets) {
  FillFromModel(m_db);
  CFlowRuleCoefDlg dlg(m_db);
  EXPECT_EQ(dlg.windowTitle(), "MAT213 Input Data");
  ASSERT_EQ(dlg.DataSetList()->count(), 12);
  EXPECT_EQ(dlg.DataSetList()->itemText(0), "Test 1");
  EXPECT_EQ(dlg.DataSetList()->itemText(11), "Test 12");
  ASSERT_EQ(dlg.UseAsList()->count(), 12);
  EXPECT_EQ(dlg.UseAsList()->itemText(0), FlowRuleCurveName(1));
  EXPECT_EQ(dlg.MasterList()->count(), 6);
  EXPECT_EQ(dlg.SlaveList()->count(), 3);

  QTreeWidget* list = dlg.CurveList();
  ASSERT_EQ(list->columnCount(), 3);
  EXPECT_EQ(list->headerItem()->text(0), "Test Data");
  EXPECT_EQ(list->headerItem()->text(1), "OLM Data File");
  EXPECT_EQ(list->headerItem()->text(2), "Data Set Name");
  for (int c = 0; c < 3; ++c) EXPECT_EQ(list->columnWidth(c), 80);
  ASSERT_EQ(list->topLevelItemCount(), 12);
  EXPECT_EQ(list->topLevelItem(6)->text(0), FlowRuleCurveName(7));
}

TEST_F(FlowRuleCoefDlgTest, ControlsFollowTheirTabOrder) {
  FillFromModel(m_db);
  CFlowRuleCoefDlg dlg(m_db);
  dlg.show();
  QApplication::setActiveWindow(&dlg);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
  QWidget* expected[] = {dlg.ResultsEdit(),  dlg.CardEdit(),  dlg.SelectFileButton(),
                         dlg.DataSetList(),  dlg.UseAsList(), dlg.UpdateButton(),
                         dlg.MasterList(),   dlg.SlaveList(), dlg.CurveList(),
                         dlg.ComputeButton()};
  expected[0]->setFocus();
  for (size_t k = 0; k + 1 < std::size(expected); ++k) {
    ASSERT_EQ(QApplication::focusWidget(), expected[k]) << k;
    QTest::keyClick(expected[k], Qt::Key_Tab);
  }
  EXPECT_EQ(QApplication::focusWidget(), expected[std::size(expected) - 1]);
}

TEST_F(FlowRuleCoefDlgTest, UpdateAssignsTheDataSetToTheCurve) {
  FillFromModel(m_db);
  CFlowRuleCoefDlg dlg(m_db);
  dlg.show();
  dlg.DataSetList()->setCurrentIndex(2);
  dlg.UseAsList()->setCurrentIndex(4);
  {
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(dlg.UpdateButton(), Qt::LeftButton);
    EXPECT_EQ(answers.messages, QStringList{"Updating list of MAT213 12 curves"});
  }
  EXPECT_EQ(dlg.AssignedDataSet(5), 3);
  EXPECT_EQ(dlg.CurveList()->topLevelItem(4)->text(1), "Untitled");  // the project
  EXPECT_EQ(dlg.CurveList()->topLevelItem(4)->text(2), "Test 3");
  EXPECT_EQ(dlg.CurveList()->topLevelItem(3)->text(2), "");

  // A click on a row says so and makes its curve the "Use as" choice.
  CModalAnswers answers;
  answers.Message();
  QTreeWidgetItem* row = dlg.CurveList()->topLevelItem(8);
  const QRect rect = dlg.CurveList()->visualItemRect(row);
  QTest::mouseClick(dlg.CurveList()->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(answers.messages, QStringList{"Selecting a row from the table"});
  EXPECT_EQ(dlg.UseAsList()->currentIndex(), 8);
}

TEST_F(FlowRuleCoefDlgTest, UpdateWithoutDataSetsIsRefused) {
  CFlowRuleCoefDlg dlg(m_db);  // an empty project
  dlg.show();
  CModalAnswers answers;
  answers.Message();
  QTest::mouseClick(dlg.UpdateButton(), Qt::LeftButton);
  ASSERT_EQ(answers.messages.size(), 1);
  EXPECT_NE(answers.messages[0], "Updating list of MAT213 12 curves");
}

TEST_F(FlowRuleCoefDlgTest, ComputeWithEmptyFieldsOnlyAnnounces) {
  CFlowRuleCoefDlg dlg(m_db);
  dlg.show();
  CModalAnswers answers;
  answers.Message();
  QTest::mouseClick(dlg.ComputeButton(), Qt::LeftButton);
  EXPECT_EQ(answers.messages, QStringList{"Ready to compute ..."});
  EXPECT_TRUE(answers.unexpected.isEmpty());
  EXPECT_EQ(dlg.LastStatus(), -1);
  EXPECT_TRUE(dlg.findChildren<ui::CTextViewer*>().isEmpty());
}

TEST_F(FlowRuleCoefDlgTest, ComputeRunsTheProgramOnTheSampleModel) {
  FillFromModel(m_db);
  CFlowRuleCoefDlg dlg(m_db);
  dlg.show();
  SelectModel(dlg, ModelPath());
  EXPECT_EQ(dlg.ModelFile(), QFileInfo(ModelPath()).absoluteFilePath());
  EXPECT_EQ(dlg.MasterList()->currentData().toInt(), 2);  // as the model file says
  EXPECT_EQ(dlg.CurveList()->topLevelItem(0)->text(1), "flowrule_model.txt");
  QTest::keyClicks(dlg.ResultsEdit(), Path("results.txt"));
  QTest::keyClicks(dlg.CardEdit(), Path("card.k"));
  CModalAnswers answers;
  answers.Message();
  QTest::mouseClick(dlg.ComputeButton(), Qt::LeftButton);
  EXPECT_EQ(answers.messages, QStringList{"Ready to compute ..."});
  EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join('|').toStdString();
  ASSERT_EQ(dlg.LastStatus(), 0);

  // The same coefficients as the program run on the file directly.
  CFlowRuleProgram direct;
  ASSERT_EQ(direct.Run({ModelPath().toStdString(), Path("direct.txt").toStdString(),
                        Path("direct.k").toStdString()}),
            0);
  const QStringList coefficients = Coefficients(Path("results.txt"));
  EXPECT_EQ(coefficients.size(), 9);
  EXPECT_EQ(coefficients, Coefficients(Path("direct.txt")));
  EXPECT_TRUE(ReadText(Path("card.k")).startsWith("*KEYWORD\n"));
  // The dialog shows them too.
  QLabel* shown = nullptr;
  for (QLabel* label : dlg.findChildren<QLabel*>())
    if (label->accessibleName() == "Calculated coefficients") shown = label;
  ASSERT_NE(shown, nullptr);
  for (const QString& line : coefficients)
    EXPECT_TRUE(shown->text().contains(line.section(':', 0, 0) + ": ")) << line.toStdString();

  // Results and card are open in the viewer.
  QStringList viewed;
  for (ui::CTextViewer* v : dlg.findChildren<ui::CTextViewer*>()) viewed << v->Path();
  EXPECT_TRUE(viewed.contains(Path("results.txt")));
  EXPECT_TRUE(viewed.contains(Path("card.k")));
  // They stay open when the dialog closes.
  dlg.accept();
  int open = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* v = qobject_cast<ui::CTextViewer*>(w); v && v->isVisible()) ++open;
  EXPECT_EQ(open, 2);
}

TEST_F(FlowRuleCoefDlgTest, AssignedDataSetsReplaceTheModelsCurves) {
  FillFromModel(m_db);
  CFlowRuleCoefDlg dlg(m_db);
  dlg.show();
  SelectModel(dlg, ModelPath());
  // Every curve from the data set holding the same test: same coefficients.
  for (int k = 0; k < 12; ++k) {
    dlg.DataSetList()->setCurrentIndex(k);
    dlg.UseAsList()->setCurrentIndex(k);
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(dlg.UpdateButton(), Qt::LeftButton);
  }
  for (int id = 1; id <= 12; ++id) EXPECT_EQ(dlg.AssignedDataSet(id), id);
  dlg.ResultsEdit()->setText(Path("same.txt"));
  dlg.CardEdit()->setText(Path("same.k"));
  {
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(dlg.ComputeButton(), Qt::LeftButton);
    ASSERT_EQ(dlg.LastStatus(), 0);
  }
  CFlowRuleProgram direct;
  ASSERT_EQ(direct.Run({ModelPath().toStdString(), Path("direct.txt").toStdString(),
                        Path("direct.k").toStdString()}),
            0);
  EXPECT_EQ(Coefficients(Path("same.txt")), Coefficients(Path("direct.txt")));

  // The off-axis test of the 1-2 plane taken from the 1-3 data set changes
  // the result.
  dlg.DataSetList()->setCurrentIndex(11);
  dlg.UseAsList()->setCurrentIndex(9);
  {
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(dlg.UpdateButton(), Qt::LeftButton);
  }
  dlg.ResultsEdit()->setText(Path("changed.txt"));
  dlg.CardEdit()->setText(Path("changed.k"));
  CModalAnswers answers;
  answers.Message();
  QTest::mouseClick(dlg.ComputeButton(), Qt::LeftButton);
  ASSERT_EQ(dlg.LastStatus(), 0);
  EXPECT_NE(Coefficients(Path("changed.txt")), Coefficients(Path("direct.txt")));
}

TEST_F(FlowRuleCoefDlgTest, AModelFileThatCannotBeReadIsRefused) {
  CFlowRuleCoefDlg dlg(m_db);
  dlg.show();
  QFile bad(Path("eleven.txt"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("*define_curve id 1\n0, 1\n1, 2\n*end\n");
  bad.close();
  CModalAnswers answers;
  answers.Message().File(Path("eleven.txt")).Message();
  QTest::mouseClick(dlg.SelectFileButton(), Qt::LeftButton);
  EXPECT_TRUE(answers.Done());
  ASSERT_EQ(answers.messages.size(), 2);
  EXPECT_FALSE(answers.messages[1].isEmpty());
  EXPECT_TRUE(dlg.ModelFile().isEmpty());
  EXPECT_TRUE(dlg.isVisible());
}

}  // namespace
}  // namespace olm::test
