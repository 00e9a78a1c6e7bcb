#include "app/ToolCommands.hpp"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/DistributionDlg.hpp"
#include "app/FailureSurfaceDlg.hpp"
#include "app/FlowRuleCoefDlg.hpp"
#include "ui/UiText.hpp"

namespace olm::app {

void RunDistributionAnalysis(QWidget* parent) {
  CDistributionDlg dialog(parent);
  dialog.exec();
}

void RunMat213InputData(QWidget* parent, const CReplicateDB& db) {
  CFlowRuleCoefDlg dialog(db, parent);
  dialog.exec();
}

void RunFailureSurface(QWidget* parent, const QString& projectPath) {
  CFailureSurfaceDlg dialog(projectPath, parent);
  dialog.exec();
}

void AddToolMenus(QMenuBar* bar, QWidget* parent, std::function<const CReplicateDB&()> database,
                  std::function<std::string()> projectPath) {
  QMenu* statistics = bar->addMenu(QObject::tr("&Statistics"));
  QAction* distribution = statistics->addAction(QObject::tr("&Distribution Analysis"));
  distribution->setStatusTip(QObject::tr("Carry out probability distribition analysis"));
  QObject::connect(distribution, &QAction::triggered, bar,
                   [parent] { RunDistributionAnalysis(parent); });

  QMenu* composites = bar->addMenu(QObject::tr("&Composites"));
  QAction* mat213 = composites->addAction(QObject::tr("Generate MAT213 Material Card"));
  mat213->setStatusTip(QObject::tr("Generate MAT213 material card data"));
  QObject::connect(mat213, &QAction::triggered, bar,
                   [parent, database] { RunMat213InputData(parent, database()); });
  QAction* failureSurface = composites->addAction(QObject::tr("Generate Failure Surface"));
  failureSurface->setStatusTip(QObject::tr("Generate failure surface"));
  QObject::connect(failureSurface, &QAction::triggered, bar, [parent, projectPath] {
    RunFailureSurface(parent, ui::ToQString(projectPath ? projectPath() : std::string()));
  });
}

}  // namespace olm::app
