#pragma once
// Helpers of the main window's widget tests: sample projects and answering
// modal dialogs.
#include <QApplication>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>

#include "TestSupport.hpp"
#include "app/MainFrame.hpp"

namespace olm::test {

// A data file of two columns (x, y) with the two header lines.
std::string WriteCurve(const CTempDir& dir, const std::string& name, int points, double slope);

// A project of `replicates` curves imported from files written into dir,
// with one zone each; analysed when asked; saved to dir/name.
std::string WriteProject(const CTempDir& dir, const std::string& name, int replicates,
                         bool analysed);

// Calls fn with the next modal widget once it is shown (polling the event
// loop), so that a test can answer a dialog that exec() is about to show.
void AnswerModal(std::function<void(QWidget*)> fn);

// Clicks the button of a QMessageBox (QMessageBox::StandardButton).
void AnswerMessageBox(int button);

// Clears the recent-file list of the test settings.
void ClearRecentFiles();

QAction* ActionOf(CMainFrame& frame, const char* name);

}  // namespace olm::test
