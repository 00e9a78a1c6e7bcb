#include "app/ToolCommands.hpp"

#include <QMenuBar>
#include <QMessageBox>

namespace olm {

void AddToolMenus(QMenuBar* bar, QWidget* parent, std::function<const CReplicateDB&()>,
                  std::function<std::string()>) {
  QMenu* statistics = bar->addMenu(QObject::tr("&Statistics"));
  statistics->addAction(QObject::tr("&Distribution Analysis"), parent, [parent] {
    QMessageBox::information(parent, QObject::tr("Distribution Analysis"),
                             QObject::tr("Not available yet."));
  });
  bar->addMenu(QObject::tr("&Composites"));
}

}  // namespace olm
