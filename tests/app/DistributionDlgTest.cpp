// The "Distribution Analysis" dialog driven as a user drives it: import,
// compute, read the fields, graph, view results; and its refusals.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cmath>

#include "ToolCommandsTestSupport.hpp"
#include "app/DistributionDlg.hpp"
#include "app/DistributionGraphDlg.hpp"
#include "distribution/DistributionFiles.hpp"
#include "distribution/DistributionForm.hpp"
#include "ui/TextViewer.hpp"

namespace olm::test {
namespace {

using app::CDistributionDlg;
using app::CDistributionGraphDlg;

QPushButton* ButtonOf(QWidget* dialog, const QString& text) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>())
    if (b->text() == text) return b;
  ADD_FAILURE() << "no button " << text.toStdString();
  return nullptr;
}

QLineEdit* FieldOf(QWidget* dialog, const char* name) {
  for (QLineEdit* e : dialog->findChildren<QLineEdit*>())
    if (e->accessibleName() == QString::fromUtf8(name)) return e;
  ADD_FAILURE() << "no field " << name;
  return nullptr;
}

QTableWidget* GridOf(QWidget* dialog) {
  return dialog->findChild<QTableWidget*>();
}

void TypeCell(QTableWidget* grid, int row, const QString& text) {
  grid->item(row, 0)->setText(text);  // as the cell editor commits it
}

class DistributionDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<ui::CTextViewer*>(w)) w->close();
  }
  QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
  QString Write(const char* name, const QByteArray& text) const {
    QFile file(Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return Path(name);
  }
  // Imports a file through the Import button and its open dialog.
  QStringList Import(CDistributionDlg& dlg, const QString& file, bool expectOk = true) {
    CModalAnswers answers;
    answers.File(file).Message();
    QTest::mouseClick(ButtonOf(&dlg, "&Import"), Qt::LeftButton);
    EXPECT_TRUE(answers.Done());
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("|").toStdString();
    if (expectOk) {
      EXPECT_EQ(answers.messages.value(0), "Input file has been read and data stored.");
    }
    return answers.messages;
  }
  // Computes through the Compute button, saving the results to file.
  QStringList Compute(CDistributionDlg& dlg, const QString& file) {
    CModalAnswers answers;
    answers.File(file).Message();
    QTest::mouseClick(ButtonOf(&dlg, "&Compute"), Qt::LeftButton);
    EXPECT_TRUE(answers.Done());
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join("|").toStdString();
    return answers.messages;
  }

  QTemporaryDir m_dir;
};

TEST_F(DistributionDlgTest, ShowsItsControlsWithTheirTips) {
  CDistributionDlg dlg;
  EXPECT_EQ(dlg.windowTitle(), "Distribution Analysis");
  QTableWidget* grid = GridOf(&dlg);
  EXPECT_EQ(grid->rowCount(), 25);
  EXPECT_EQ(grid->columnCount(), 1);
  EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Value");
  auto* choice = dlg.findChild<QComboBox*>();
  QStringList entries;
  for (int i = 0; i < choice->count(); ++i) entries << choice->itemText(i);
  EXPECT_EQ(entries, (QStringList{"Weibull-2P", "Weibull-3P", "Normal", "Log normal", "Gamma",
                                  "Generalized exponential"}));
  QStringList groups;
  for (QGroupBox* g : dlg.findChildren<QGroupBox*>()) groups << g->title();
  EXPECT_EQ(groups, (QStringList{" Input ", " Variable Input Data ",
                                 " Results from Distribution Analyses ", " Statistical Data "}));
  const std::pair<const char*, const char*> tips[] = {
      {"OK", "Click when done"},
      {"&Compute", "Click to compute the distribution properties"},
      {"&Import", "Read the model data from a text file"},
      {"&Export", "Write the model data to a text file"},
      {"&View Results", "View the results file in Notepad"},
      {"&Graph", "Graph the distributions"}};
  for (const auto& [button, tip] : tips) {
    QPushButton* b = ButtonOf(&dlg, button);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->toolTip(), tip);
  }
  // Weibull-2P is selected first and takes its option.
  EXPECT_EQ(choice->currentIndex(), 0);
  EXPECT_TRUE(FieldOf(&dlg, "Additional Data")->isEnabled());
}

TEST_F(DistributionDlgTest, ModelsThatCannotBeFittedAreReported) {
  CDistributionDlg dlg;
  dlg.show();
  QTableWidget* grid = GridOf(&dlg);
  const char* const values[] = {"-3", "1", "4", "-1", "5", "9"};
  for (int r = 0; r < 6; ++r) TypeCell(grid, r, values[r]);
  FieldOf(&dlg, "Lower Bound")->setText("-10");
  FieldOf(&dlg, "Upper Bound")->setText("20");
  // Logarithmic models cannot take the negative values; the others are fitted.
  EXPECT_EQ(Compute(dlg, Path("negative.out")), QStringList{"Error in finding solution ..."});
  ASSERT_TRUE(dlg.HasResults());
  auto* choice = dlg.findChild<QComboBox*>();
  choice->setCurrentIndex(kNormal);
  Q_EMIT choice->activated(kNormal);
  EXPECT_EQ(FieldOf(&dlg, "Scale Parameter")->text(), "2.5");  // the sample mean
  choice->setCurrentIndex(kLognormal);
  Q_EMIT choice->activated(kLognormal);
  EXPECT_FALSE(FieldOf(&dlg, "Scale Parameter")->toolTip().isEmpty());  // why it failed
}

TEST_F(DistributionDlgTest, ImportedSampleGivesTheEngineParameters) {
  CDistributionDlg dlg;
  dlg.show();
  const QString input = SamplePath("dist/strength25.dat");
  Import(dlg, input);
  QTableWidget* grid = GridOf(&dlg);
  const CDistributionInput file = ReadDistributionInput(input.toStdString());
  ASSERT_EQ(file.sample.size(), 25u);
  EXPECT_EQ(grid->item(0, 0)->text().toDouble(), file.sample[0]);
  EXPECT_EQ(grid->item(24, 0)->text().toDouble(), file.sample[24]);
  EXPECT_EQ(FieldOf(&dlg, "Lower Bound")->text().toDouble(), file.lower);
  EXPECT_EQ(FieldOf(&dlg, "Upper Bound")->text().toDouble(), file.upper);

  const QStringList shown = Compute(dlg, Path("strength25.out"));
  EXPECT_EQ(shown, QStringList{"Computations complete ..."});
  ASSERT_TRUE(dlg.HasResults());
  EXPECT_TRUE(QFileInfo::exists(Path("strength25.out")));

  // The normal distribution's fields, as `olm dist` gives them for the file.
  auto* choice = dlg.findChild<QComboBox*>();
  choice->setFocus();
  QTest::keyClick(choice, Qt::Key_Down);
  QTest::keyClick(choice, Qt::Key_Down);
  ASSERT_EQ(choice->currentText(), "Normal");
  CDistributionAnalysis reference;
  ASSERT_TRUE(reference.Run(file));
  const CDistributionResult* normal = reference.Find(kNormal);
  ASSERT_NE(normal, nullptr);
  const double mean = FieldOf(&dlg, "Scale Parameter")->text().toDouble();
  const double sd = FieldOf(&dlg, "Shape Parameter")->text().toDouble();
  // The dialog keeps the values in single precision; six digits agree.
  EXPECT_NEAR(mean, normal->parameters(1), 1e-5 * normal->parameters(1));
  EXPECT_NEAR(sd, normal->parameters(2), 1e-5 * normal->parameters(2));
  // Shown as `olm dist` prints them (%g): 428.26 and 53.1135 for this file.
  EXPECT_EQ(FieldOf(&dlg, "Scale Parameter")->text(), app::ToolNumber(normal->parameters(1)));
  EXPECT_EQ(FieldOf(&dlg, "Shape Parameter")->text(), app::ToolNumber(normal->parameters(2)));
  EXPECT_FALSE(FieldOf(&dlg, "Additional Data")->isEnabled());
  // The sample mean is the fitted normal mean; the statistics' deviation
  // divides by n, the fitted one by n - 1.
  EXPECT_EQ(FieldOf(&dlg, "Mean")->text(), app::ToolNumber(normal->parameters(1)));
  const double n = 25.0;
  EXPECT_NEAR(FieldOf(&dlg, "Standard Deviation")->text().toDouble(),
              normal->parameters(2) * std::sqrt((n - 1) / n), 1e-4);
  EXPECT_EQ(FieldOf(&dlg, "Mininum")->text(), "283.2");
  EXPECT_EQ(FieldOf(&dlg, "Maximum")->text(), "508.3");

  // Weibull 3P shows its location and enables its option.
  QTest::keyClick(choice, Qt::Key_Up);
  QTest::keyClick(choice, Qt::Key_Up);
  QTest::keyClick(choice, Qt::Key_Down);
  ASSERT_EQ(choice->currentText(), "Weibull-3P");
  EXPECT_TRUE(FieldOf(&dlg, "Additional Data")->isEnabled());
  EXPECT_NEAR(FieldOf(&dlg, "Loc. Parameter")->text().toDouble(),
              reference.Find(kWeibull3P)->location, 1.0);
}

TEST_F(DistributionDlgTest, MalformedOrShortInputIsRefusedAndTheDialogGoesOn) {
  CDistributionDlg dlg;
  dlg.show();
  TypeCell(GridOf(&dlg), 0, "123");
  const QString bad = Write("bad.dat",
                            "*heading\n\n*data\n1\n2\nthree\n4\n5\n6\n*distribution\nnormal\n"
                            "*minmax\n0, 10\n*end\n");
  QStringList shown = Import(dlg, bad, false);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith(kInputReadError)) << shown[0].toStdString();
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(GridOf(&dlg)->item(0, 0)->text(), "123");  // nothing taken over

  const QString unknown = Write("unknown.dat",
                                "*heading\n\n*data\n1\n2\n3\n4\n5\n*distribution\ncauchy\n"
                                "*minmax\n0, 10\n*end\n");
  shown = Import(dlg, unknown, false);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith(kInputReadError));

  const QString shortFile = Write("short.dat",
                                  "*heading\n\n*data\n1\n2\n3\n*distribution\nnormal\n"
                                  "*minmax\n0, 10\n*end\n");
  EXPECT_EQ(Import(dlg, shortFile, false), QStringList{"No raw data defined."});

  Import(dlg, Write("missing-then.dat", ""), false);  // empty file: refused, no crash
  EXPECT_TRUE(dlg.isVisible());
  // And a good file is still taken afterwards.
  Import(dlg, SamplePath("dist/strength25.dat"));
  EXPECT_EQ(GridOf(&dlg)->item(0, 0)->text(), "434.7");
}

TEST_F(DistributionDlgTest, ALongerSampleFillsTheGridAndSaysWhatWasLeftOut) {
  CDistributionDlg dlg;
  dlg.show();
  QByteArray text = "*heading\n\n*data\n";
  for (int i = 1; i <= 30; ++i) text += QByteArray::number(100 + i) + "\n";
  text += "*distribution\nnormal\n*minmax\n0, 200\n*end\n";
  CModalAnswers answers;
  answers.File(Write("thirty.dat", text)).Message().Message();
  QTest::mouseClick(ButtonOf(&dlg, "&Import"), Qt::LeftButton);
  ASSERT_EQ(answers.messages.size(), 2);
  EXPECT_EQ(answers.messages[0], "Input file has been read and data stored.");
  EXPECT_TRUE(answers.messages[1].contains("30")) << answers.messages[1].toStdString();
  EXPECT_EQ(GridOf(&dlg)->item(24, 0)->text(), "125");
}

TEST_F(DistributionDlgTest, ComputeChecksRangeAndCellsBeforeAskingForAFile) {
  CDistributionDlg dlg;
  dlg.show();
  QTableWidget* grid = GridOf(&dlg);
  TypeCell(grid, 0, "10");
  TypeCell(grid, 1, "20");
  FieldOf(&dlg, "Lower Bound")->setText("5");
  FieldOf(&dlg, "Upper Bound")->setText("5");
  {
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(ButtonOf(&dlg, "&Compute"), Qt::LeftButton);
    EXPECT_EQ(answers.messages, QStringList{"Invalid input."});
    EXPECT_TRUE(answers.unexpected.isEmpty());  // no save dialog
  }
  FieldOf(&dlg, "Upper Bound")->setText("50");
  TypeCell(grid, 2, "sqrt(");
  {
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(ButtonOf(&dlg, "&Compute"), Qt::LeftButton);
    EXPECT_EQ(answers.messages, QStringList{"Error: Data Pt.: 3 has invalid expression"});
    EXPECT_TRUE(answers.unexpected.isEmpty());
  }
  FieldOf(&dlg, "Upper Bound")->setText("fifty");
  {
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(ButtonOf(&dlg, "&Compute"), Qt::LeftButton);
    EXPECT_EQ(answers.messages, QStringList{"Please enter a number."});
  }
  EXPECT_FALSE(dlg.HasResults());
}

TEST_F(DistributionDlgTest, CellsTakeExpressionsAndAZeroEndsTheSample) {
  CDistributionDlg dlg;
  dlg.show();
  QTableWidget* grid = GridOf(&dlg);
  TypeCell(grid, 0, "2*5");
  EXPECT_EQ(grid->item(0, 0)->text(), "10");  // evaluated on entry
  TypeCell(grid, 1, "sqrt(400)");
  EXPECT_EQ(grid->item(1, 0)->text(), "20");
  TypeCell(grid, 2, "0");
  TypeCell(grid, 3, "1000");
  FieldOf(&dlg, "Lower Bound")->setText("1");
  FieldOf(&dlg, "Upper Bound")->setText("40");
  Compute(dlg, Path("two.out"));
  EXPECT_EQ(FieldOf(&dlg, "Mean")->text(), "15");
  EXPECT_EQ(FieldOf(&dlg, "Maximum")->text(), "20");
  EXPECT_EQ(FieldOf(&dlg, "Median")->text(), "15");
  ASSERT_NE(dlg.Analysis(), nullptr);
  EXPECT_EQ(dlg.Analysis()->Sample().size(), 2u);
}

TEST_F(DistributionDlgTest, ExportWritesAnInputFileThatImportsBack) {
  CDistributionDlg dlg;
  dlg.show();
  Import(dlg, SamplePath("dist/strength25.dat"));
  {
    CModalAnswers answers;
    answers.File(Path("copy.dat")).Message();
    QTest::mouseClick(ButtonOf(&dlg, "&Export"), Qt::LeftButton);
    EXPECT_EQ(answers.messages, QStringList{"Data file has been created."});
  }
  const CDistributionInput original =
      ReadDistributionInput(SamplePath("dist/strength25.dat").toStdString());
  const CDistributionInput copy = ReadDistributionInput(Path("copy.dat").toStdString());
  ASSERT_EQ(copy.sample.size(), original.sample.size());
  for (size_t i = 0; i < copy.sample.size(); ++i)
    EXPECT_EQ(copy.sample[i], original.sample[i]) << i;
  EXPECT_EQ(copy.lower, original.lower);
  EXPECT_EQ(copy.upper, original.upper);
  EXPECT_EQ(copy.requests.size(), 6u);
}

TEST_F(DistributionDlgTest, ViewResultsAndGraphNeedResults) {
  CDistributionDlg dlg;
  dlg.show();
  const auto viewers = [&] { return dlg.findChildren<ui::CTextViewer*>().size(); };
  QTest::mouseClick(ButtonOf(&dlg, "&View Results"), Qt::LeftButton);
  EXPECT_EQ(viewers(), 0);
  {
    CModalAnswers answers;  // no window may open
    QTest::mouseClick(ButtonOf(&dlg, "&Graph"), Qt::LeftButton);
    EXPECT_TRUE(answers.unexpected.isEmpty());
  }
  Import(dlg, SamplePath("dist/strength25.dat"));
  Compute(dlg, Path("r.out"));
  QTest::mouseClick(ButtonOf(&dlg, "&View Results"), Qt::LeftButton);
  const auto opened = dlg.findChildren<ui::CTextViewer*>();
  ASSERT_EQ(opened.size(), 1);
  EXPECT_TRUE(opened[0]->isVisible());
  EXPECT_TRUE(opened[0]->Text().contains(" NORMAL DISTRIBUTION "));
  {
    // A results file gone since: the viewer cannot be started, and says so.
    QFile::rename(Path("r.out"), Path("r.moved"));
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(ButtonOf(&dlg, "&View Results"), Qt::LeftButton);
    EXPECT_TRUE(answers.messages.value(0).startsWith("Unable to execute "));
    EXPECT_EQ(dlg.findChildren<ui::CTextViewer*>().size(), 1);
    QFile::rename(Path("r.moved"), Path("r.out"));
  }

  // The graph: the sample's empirical CDF, then the checked distributions.
  int emptyPixels = 0, normalPixels = 0;
  QStringList series;
  CModalAnswers answers;
  answers.Then([&](QWidget* w) {
    auto* graph = qobject_cast<CDistributionGraphDlg*>(w);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->windowTitle(), "X-Y Graph");
    for (int i = 0; i < graph->DistributionList()->count(); ++i)
      EXPECT_EQ(graph->DistributionList()->item(i)->checkState(), Qt::Unchecked);
    emptyPixels = CountNonBackground(graph->View()->grab().toImage());
    EXPECT_EQ(graph->View()->Chart().title, "Cumulative Distribution Function");
    graph->DistributionList()->item(kNormal)->setCheckState(Qt::Checked);
    graph->DistributionList()->item(kGamma)->setCheckState(Qt::Checked);
    for (const auto& s : graph->View()->Chart().series) series << QString::fromStdString(s.name);
    normalPixels = CountNonBackground(graph->View()->grab().toImage());
    graph->PlotChoice()->setCurrentIndex(1);
    EXPECT_EQ(graph->View()->Chart().title, "Probability Density Function");
    EXPECT_EQ(graph->View()->Chart().series.size(), 2u);  // no empirical curve of a density
    EXPECT_EQ(graph->View()->Chart().xTitle, "Random variable");
    EXPECT_EQ(graph->View()->Chart().yTitle, "Probability");
    graph->accept();
  });
  QTest::mouseClick(ButtonOf(&dlg, "&Graph"), Qt::LeftButton);
  EXPECT_TRUE(answers.Done());
  EXPECT_EQ(series, (QStringList{"Sample", "Normal", "Gamma"}));
  EXPECT_GT(emptyPixels, 0);
  EXPECT_GT(normalPixels, emptyPixels);  // the two curves add pixels
}

TEST_F(DistributionDlgTest, GraphExportsPngSvgAndPdf) {
  auto analysis = std::make_shared<CDistributionAnalysis>();
  ASSERT_TRUE(
      analysis->Run(ReadDistributionInput(SamplePath("dist/strength25.dat").toStdString())));
  CDistributionGraphDlg graph(analysis);
  graph.show();
  graph.DistributionList()->item(kWeibull2P)->setCheckState(Qt::Checked);
  for (const char* name : {"g.png", "g.svg", "g.pdf"}) {
    CModalAnswers answers;
    answers.File(Path(name));
    QTest::mouseClick(ButtonOf(&graph, "&Export..."), Qt::LeftButton);
    EXPECT_TRUE(answers.Done());
    EXPECT_GT(QFileInfo(Path(name)).size(), 100) << name;
  }
  QImage png(Path("g.png"));
  ASSERT_FALSE(png.isNull());
  EXPECT_GT(CountNonBackground(png), 1000);
  QString error;
  EXPECT_FALSE(app::ExportToolChart(Path("g.bmp"), 100, 100, graph.BuildChart(), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(Path("g.bmp")));
}

}  // namespace
}  // namespace olm::test
