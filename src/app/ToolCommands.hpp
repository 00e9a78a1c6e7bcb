#pragma once
// The "Statistics" and "Composites" menus of the main window.  Each entry
// opens its modal tool dialog on a fresh dialog object, destroyed when the
// dialog closes; none of them changes the document, and all are always
// enabled.
#include <QString>
#include <functional>
#include <string>

class QMenuBar;
class QWidget;

namespace olm {
class CReplicateDB;
}

namespace olm::app {

// Adds the two menus at the end of the bar (the main window calls this
// between its View and Help menus).  database gives the document's
// replicates to the MAT213 dialog, projectPath the project's file ("" for
// a project never saved) to the failure-surface dialog; both are asked
// each time a dialog opens.
void AddToolMenus(QMenuBar* bar, QWidget* parent, std::function<const CReplicateDB&()> database,
                  std::function<std::string()> projectPath);

// The three commands themselves.
void RunDistributionAnalysis(QWidget* parent);
void RunMat213InputData(QWidget* parent, const CReplicateDB& db);
void RunFailureSurface(QWidget* parent, const QString& projectPath);

}  // namespace olm::app
