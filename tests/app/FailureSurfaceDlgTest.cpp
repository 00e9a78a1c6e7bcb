// The "Define Failure Surface" dialog: the twelve inputs, Compute writing
// test.txt where the user chooses, the "Failure Plot" popup and the six
// plot types painted in the frame.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include "ToolCommandsTestSupport.hpp"
#include "app/FailureSurfaceDlg.hpp"

namespace olm::test {
namespace {

using app::CFailureSurfaceDlg;

// A carbon-epoxy ply (MPa) with some applied shear and normal stress.
const char* const kPly[12] = {"2000", "1200", "50", "200", "50", "200",
                              "70",   "40",   "70", "2",   "20", "10"};

void EnterPly(CFailureSurfaceDlg& dlg) {
  for (int k = 0; k < 12; ++k) {
    QLineEdit* edit = dlg.Field(k);
    edit->clear();
    QTest::keyClicks(edit, kPly[k]);
  }
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QPushButton* ComputeButton(QWidget* dlg) {
  for (QPushButton* b : dlg->findChildren<QPushButton*>())
    if (b->text() == "&Compute") return b;
  return nullptr;
}

class FailureSurfaceDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
  QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
  QTemporaryDir m_dir;
};

TEST_F(FailureSurfaceDlgTest, ShowsItsControls) {
  CFailureSurfaceDlg dlg(QString{});
  EXPECT_EQ(dlg.windowTitle(), "Define Failure Surface");
  auto* group = dlg.findChild<QGroupBox*>();
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), " User Input ");
  auto* type = dlg.findChild<QComboBox*>();
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->count(), 1);
  EXPECT_EQ(type->currentText(), "Tsai-Wu Laminate");
  QStringList prompts;
  for (int k = 0; k < 12; ++k) prompts << dlg.Field(k)->accessibleName();
  EXPECT_EQ(prompts, (QStringList{"S1T", "S1C", "S2T", "S2C", "S3T", "S3C", "S12", "S23", "S13",
                                  "n", "S12 value", "S33 value"}));
  // Every prompt label is the buddy of its edit box.
  int buddies = 0;
  for (QLabel* label : dlg.findChildren<QLabel*>())
    for (int k = 0; k < 12; ++k)
      if (label->buddy() == dlg.Field(k) && label->text() == prompts[k]) ++buddies;
  EXPECT_EQ(buddies, 12);
  QStringList buttons;
  for (QPushButton* b : dlg.findChildren<QPushButton*>()) buttons << b->text().remove('&');
  EXPECT_TRUE(buttons.contains("Compute"));
  EXPECT_TRUE(buttons.contains("OK"));
  EXPECT_TRUE(buttons.contains("Cancel"));
}

TEST_F(FailureSurfaceDlgTest, ProposesTestTxtBesideTheProjectOrInTheWorkingFolder) {
  EXPECT_EQ(CFailureSurfaceDlg(QString{}).DefaultOutputPath(),
            QDir::current().filePath("test.txt"));
  const QString project = Path("sub/project.olm");
  EXPECT_EQ(CFailureSurfaceDlg(project).DefaultOutputPath(), Path("sub/test.txt"));
}

TEST_F(FailureSurfaceDlgTest, ComputeWritesTheSameFileAsTheCommandLineTool) {
  CFailureSurfaceDlg dlg(Path("p.olm"));
  dlg.show();
  EnterPly(dlg);
  EXPECT_FALSE(dlg.PlotFrame()->Chart().HasPoints());
  EXPECT_EQ(dlg.PlotFrame()->Chart().emptyText, "Need at least one set of values to plot.");
  EXPECT_GT(CountNonBackground(dlg.PlotFrame()->grab().toImage()), 0);  // the notice is drawn

  CModalAnswers answers;
  answers.File(Path("test.txt"));
  QTest::mouseClick(ComputeButton(&dlg), Qt::LeftButton);
  EXPECT_TRUE(answers.Done());
  EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join('|').toStdString();
  ASSERT_EQ(answers.proposed.size(), 1);
  EXPECT_EQ(answers.proposed[0], Path("test.txt"));  // beside the project

  // `olm failure-surface` fills the same form from its options and computes.
  CFailureSurfaceForm reference;
  CFailureSurfaceInput& in = reference.Input();
  float* fields[12] = {&in.s1t, &in.s1c, &in.s2t, &in.s2c, &in.s3t,      &in.s3c,
                       &in.s12, &in.s23, &in.s13, &in.n,   &in.s12Value, &in.s33Value};
  for (int k = 0; k < 12; ++k) *fields[k] = static_cast<float>(std::stod(kPly[k]));
  reference.SetOutputPath(Path("reference.txt").toStdString());
  ASSERT_TRUE(reference.Compute());
  const QByteArray written = ReadAll(Path("test.txt"));
  EXPECT_FALSE(written.isEmpty());
  EXPECT_EQ(written, ReadAll(Path("reference.txt")));
  EXPECT_TRUE(dlg.PlotFrame()->Chart().HasPoints());
  EXPECT_EQ(dlg.PlotFrame()->Chart().title, "S22-S11 Plot");

  // A second Compute writes the chosen file again without asking.
  QFile::remove(Path("test.txt"));
  CModalAnswers none;
  QTest::mouseClick(ComputeButton(&dlg), Qt::LeftButton);
  EXPECT_TRUE(none.unexpected.isEmpty());
  EXPECT_EQ(ReadAll(Path("test.txt")), written);
}

TEST_F(FailureSurfaceDlgTest, EachPlotTypeOfThePopupIsPaintedInTheFrame) {
  CFailureSurfaceDlg dlg(QString{});
  dlg.resize(1000, 600);
  dlg.show();
  EnterPly(dlg);
  const QStringList entries{"S22-S11 Plot",   "S23-S13 Plot",
                            "S22-S11-Scaled", "S22-S11-Scaled-Centered",
                            "R-Theta-11-22",  "R-Theta-13-23"};
  const QStringList titles{"S22-S11 Plot",        "S23-S13 Plot",
                           "S22-S11 Scaled Plot", "S22-S11 Scaled Centered Plot",
                           "R-Theta 11-22 space", "R-Theta 13-23 space"};
  const int empty = CountNonBackground(dlg.PlotFrame()->grab().toImage());
  QList<QImage> pictures;
  for (int type = 0; type < 6; ++type) {
    // The right button opens the popup; the entry is chosen with the keyboard.
    const QPoint at = dlg.rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, dlg.mapToGlobal(at));
    QApplication::sendEvent(&dlg, &event);
    QMenu* menu = dlg.PlotMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "Failure Plot");
    QStringList texts;
    for (QAction* a : menu->actions()) texts << a->text();
    EXPECT_EQ(texts, entries);
    CModalAnswers answers;
    if (type == 0) answers.File(Path("test.txt"));  // the first Compute asks once
    menu->actions()[type]->trigger();
    menu->hide();
    EXPECT_TRUE(answers.Done());
    EXPECT_TRUE(answers.unexpected.isEmpty()) << answers.unexpected.join('|').toStdString();
    EXPECT_EQ(dlg.Form().PlotType(), type);
    const app::CToolChart& chart = dlg.PlotFrame()->Chart();
    EXPECT_EQ(chart.title, titles[type].toStdString());
    EXPECT_EQ(chart.series.size(), 2u);  // the two branches
    const QImage picture = dlg.PlotFrame()->grab().toImage();
    EXPECT_GT(CountNonBackground(picture), empty + 500) << type;
    pictures << picture;
  }
  EXPECT_TRUE(QFileInfo::exists(Path("test.txt")));
  for (int a = 0; a < 6; ++a)
    for (int b = a + 1; b < 6; ++b) EXPECT_NE(pictures[a], pictures[b]) << a << " " << b;
}

TEST_F(FailureSurfaceDlgTest, BadInputKeepsTheDialogOpenAndWritesNothing) {
  CFailureSurfaceDlg dlg(Path("p.olm"));
  dlg.show();
  EnterPly(dlg);
  dlg.Field(3)->setText("2e");
  {
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(ComputeButton(&dlg), Qt::LeftButton);
    EXPECT_EQ(answers.messages, QStringList{"Please enter a number."});
    EXPECT_TRUE(answers.unexpected.isEmpty());
  }
  dlg.Field(3)->setText("0");
  {
    CModalAnswers answers;
    answers.Message();
    QTest::mouseClick(ComputeButton(&dlg), Qt::LeftButton);
    EXPECT_EQ(answers.messages, QStringList{"The value of S2C must be a number greater than 0."});
  }
  dlg.Field(3)->setText("200");
  {
    CModalAnswers answers;  // the file question cancelled: nothing written
    answers.File(QString());
    QTest::mouseClick(ComputeButton(&dlg), Qt::LeftButton);
    EXPECT_TRUE(answers.Done());
  }
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(QFileInfo::exists(Path("test.txt")));
  EXPECT_FALSE(dlg.PlotFrame()->Chart().HasPoints());
}

TEST_F(FailureSurfaceDlgTest, TheDialogOpensAtItsLastSize) {
  QSize last;
  {
    CFailureSurfaceDlg dlg(QString{});
    dlg.show();
    dlg.resize(dlg.size() + QSize(37, 23));
    last = dlg.size();
    QTest::keyClick(&dlg, Qt::Key_Escape);  // closing by any button remembers it
  }
  CFailureSurfaceDlg again(QString{});
  EXPECT_EQ(again.size(), last);
}

}  // namespace
}  // namespace olm::test
