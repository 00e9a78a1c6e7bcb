// Screenshots of the tool dialogs for the manual: run by
// scripts/screenshots-tools.sh (under Xvfb) with OLM_SCREENSHOT_DIR set;
// disabled in ordinary test runs.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "ToolCommandsTestSupport.hpp"
#include "app/DistributionDlg.hpp"
#include "app/DistributionGraphDlg.hpp"
#include "app/FailureSurfaceDlg.hpp"
#include "app/FlowRuleCoefDlg.hpp"
#include "composites/FlowRuleModel.hpp"
#include "engine/Database.hpp"
#include "ui/TextViewer.hpp"

namespace olm::test {
namespace {

QString Target(const char* name) {
  return QDir(qEnvironmentVariable("OLM_SCREENSHOT_DIR")).filePath(QString::fromUtf8(name));
}

void Save(QWidget& w, const char* name) {
  w.show();
  QApplication::processEvents();
  QTest::qWait(50);
  const QImage picture = w.grab().toImage();
  EXPECT_TRUE(picture.save(Target(name))) << name;
}

QPushButton* ButtonOf(QWidget* dialog, const QString& text) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

TEST(DISABLED_ToolScreenshots, Take) {
  ASSERT_FALSE(qEnvironmentVariableIsEmpty("OLM_SCREENSHOT_DIR"));
  QDir().mkpath(qEnvironmentVariable("OLM_SCREENSHOT_DIR"));
  QTemporaryDir scratch;

  {  // Distribution Analysis, after importing and computing the sample.
    app::CDistributionDlg dlg;
    dlg.resize(820, 720);
    dlg.show();
    CModalAnswers answers;
    answers.File(SamplePath("dist/strength25.dat")).Message();
    answers.File(scratch.filePath("strength25.out")).Message();
    QTest::mouseClick(ButtonOf(&dlg, "&Import"), Qt::LeftButton);
    QTest::mouseClick(ButtonOf(&dlg, "&Compute"), Qt::LeftButton);
    ASSERT_TRUE(answers.Done());
    auto* choice = dlg.findChild<QComboBox*>();
    choice->setCurrentIndex(kNormal);
    Q_EMIT choice->activated(kNormal);
    Save(dlg, "tools-distribution.png");

    std::shared_ptr<const CDistributionAnalysis> analysis(dlg.Analysis(), [](auto*) {});
    app::CDistributionGraphDlg graph(analysis);
    graph.resize(900, 560);
    for (int code : {kWeibull2P, kNormal, kGamma})
      graph.DistributionList()->item(code)->setCheckState(Qt::Checked);
    Save(graph, "tools-distribution-graph.png");
    graph.PlotChoice()->setCurrentIndex(1);
    Save(graph, "tools-distribution-graph-pdf.png");
  }

  {  // MAT213 Input Data over a project of twelve data sets.
    CReplicateDB db;
    CFlowRuleModel model;
    ASSERT_EQ(ReadFlowRuleModel(SamplePath("composites/flowrule_model.txt").toStdString(), model),
              "");
    for (int id = 1; id <= kFlowRuleCurveCount; ++id) {
      CReplicate& rep = db.Replicate(db.AddReplicate());
      rep.SetTitle(FlowRuleCurveName(id));
      const CVector<double>& x = model.x[static_cast<size_t>(id - 1)];
      const CVector<double>& y = model.y[static_cast<size_t>(id - 1)];
      rep.raw.SetSize(x.GetSize(), 2);
      for (int i = 1; i <= x.GetSize(); ++i) rep.raw(i, 1) = x(i), rep.raw(i, 2) = y(i);
      rep.pointCount = x.GetSize();
    }
    // The sample model copied, so that the output names land beside it.
    for (const char* name : {"flowrule_model.txt", "flowrule_curves.txt"})
      QFile::copy(SamplePath("composites/") + name, scratch.filePath(name));
    app::CFlowRuleCoefDlg dlg(db);
    dlg.resize(900, 600);
    dlg.show();
    dlg.LoadModel(scratch.filePath("flowrule_model.txt"));
    dlg.ResultsEdit()->setText("flowrule_results.txt");
    dlg.CardEdit()->setText("mat213_card.k");
    for (int k : {0, 1, 6}) {
      dlg.DataSetList()->setCurrentIndex(k);
      dlg.UseAsList()->setCurrentIndex(k);
      CModalAnswers answers;
      answers.Message();
      dlg.Update();
    }
    CModalAnswers answers;
    answers.Message();
    dlg.Compute();
    EXPECT_EQ(dlg.LastStatus(), 0);
    for (ui::CTextViewer* viewer : dlg.findChildren<ui::CTextViewer*>()) {
      if (viewer->Path().endsWith("flowrule_results.txt")) {
        viewer->resize(760, 560);
        Save(*viewer, "tools-mat213-results.png");
      }
      viewer->close();
    }
    Save(dlg, "tools-mat213.png");
  }

  {  // Define Failure Surface with its S22-S11 envelope.
    app::CFailureSurfaceDlg dlg(scratch.filePath("project.olm"));
    dlg.resize(980, 560);
    const char* const ply[12] = {"2000", "1200", "50", "200", "50", "200",
                                 "70",   "40",   "70", "2",   "20", "10"};
    for (int k = 0; k < 12; ++k) dlg.Field(k)->setText(ply[k]);
    dlg.show();
    CModalAnswers answers;
    answers.File(scratch.filePath("test.txt"));
    ASSERT_TRUE(dlg.Compute());
    Save(dlg, "tools-failure-surface.png");
    dlg.ChoosePlotType(4);
    Save(dlg, "tools-failure-surface-rtheta.png");
  }
}

}  // namespace
}  // namespace olm::test
