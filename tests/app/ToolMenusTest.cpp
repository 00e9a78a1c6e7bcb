// The Statistics and Composites menus: their entries and status texts, and
// each entry opening its dialog on a fresh object over an empty, never-saved
// document that stays unmodified.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>

#include "ToolCommandsTestSupport.hpp"
#include "app/DistributionDlg.hpp"
#include "app/FailureSurfaceDlg.hpp"
#include "app/FlowRuleCoefDlg.hpp"
#include "app/ToolCommands.hpp"
#include "engine/Database.hpp"

namespace olm::test {
namespace {

class ToolMenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_window.menuBar()->addMenu("&View");
    app::AddToolMenus(
        m_window.menuBar(), &m_window,
        [this]() -> const CReplicateDB& {
          ++m_databaseAsked;
          return m_db;
        },
        [this] {
          ++m_pathAsked;
          return std::string();
        });
    m_window.menuBar()->addMenu("&Help");
    m_window.statusBar();
    m_window.setWindowModified(false);
    m_window.show();
  }

  QMenu* Menu(const QString& title) {
    for (QAction* a : m_window.menuBar()->actions())
      if (a->menu() && a->text() == title) return a->menu();
    return nullptr;
  }
  QAction* Entry(const QString& menu, const QString& text) {
    QMenu* m = Menu(menu);
    if (!m) return nullptr;
    for (QAction* a : m->actions())
      if (a->text() == text) return a;
    return nullptr;
  }

  QMainWindow m_window;
  CReplicateDB m_db;
  int m_databaseAsked = 0;
  int m_pathAsked = 0;
};

TEST_F(ToolMenusTest, MenusSitBetweenViewAndHelpWithTheirStatusTexts) {
  QStringList titles;
  for (QAction* a : m_window.menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, (QStringList{"&View", "&Statistics", "&Composites", "&Help"}));

  struct Expected {
    const char *menu, *entry, *tip;
  };
  const Expected entries[] = {
      {"&Statistics", "&Distribution Analysis", "Carry out probability distribition analysis"},
      {"&Composites", "Generate MAT213 Material Card", "Generate MAT213 material card data"},
      {"&Composites", "Generate Failure Surface", "Generate failure surface"}};
  for (const Expected& e : entries) {
    QAction* action = Entry(e.menu, e.entry);
    ASSERT_NE(action, nullptr) << e.entry;
    EXPECT_EQ(action->statusTip(), e.tip);
    EXPECT_TRUE(action->isEnabled());
    // Hovering in the menu shows the text in the status bar.
    action->showStatusText(m_window.menuBar());
    EXPECT_EQ(m_window.statusBar()->currentMessage(), e.tip);
  }
  EXPECT_EQ(Menu("&Statistics")->actions().size(), 1);
  EXPECT_EQ(Menu("&Composites")->actions().size(), 2);
}

// Triggers the entry and closes the dialog it opens with the given button;
// returns the dialog's class name and caption.
template <class Dialog>
QString OpenAndClose(QAction* action, bool accept) {
  QString seen;
  QPointer<QDialog> opened;
  CModalAnswers answers;
  answers.Then([&](QWidget* w) {
    auto* dialog = qobject_cast<Dialog*>(w);
    seen = dialog ? dialog->windowTitle() : QString("<%1>").arg(w->metaObject()->className());
    opened = dialog;
    if (accept)
      qobject_cast<QDialog*>(w)->accept();
    else
      QTest::keyClick(w, Qt::Key_Escape);
  });
  action->trigger();
  EXPECT_TRUE(answers.Done());
  EXPECT_TRUE(answers.unexpected.isEmpty());
  EXPECT_TRUE(opened.isNull());  // destroyed when closed
  return seen;
}

TEST_F(ToolMenusTest, EachEntryOpensItsDialogAndLeavesTheDocumentAlone) {
  for (bool accept : {false, true}) {
    EXPECT_EQ(
        OpenAndClose<app::CDistributionDlg>(Entry("&Statistics", "&Distribution Analysis"), accept),
        "Distribution Analysis");
    EXPECT_EQ(OpenAndClose<app::CFlowRuleCoefDlg>(
                  Entry("&Composites", "Generate MAT213 Material Card"), accept),
              "MAT213 Input Data");
    EXPECT_EQ(OpenAndClose<app::CFailureSurfaceDlg>(
                  Entry("&Composites", "Generate Failure Surface"), accept),
              "Define Failure Surface");
  }
  EXPECT_FALSE(m_window.isWindowModified());
  EXPECT_EQ(m_db.GetReplicateCount(), 0);
  EXPECT_EQ(m_db.title, "Untitled");
  // The document is asked afresh each time a dialog opens.
  EXPECT_EQ(m_databaseAsked, 2);
  EXPECT_EQ(m_pathAsked, 2);
}

TEST_F(ToolMenusTest, MessagesOfAToolGoToItsOwnBoxesAndTheInterfaceIsRestored) {
  IUserInterface* before = &UserInterface();
  QString message;
  CModalAnswers answers;
  answers.Then([&](QWidget* w) {
    // Compute with no sample: the dialog's own message box.
    auto* dialog = qobject_cast<app::CDistributionDlg*>(w);
    ASSERT_NE(dialog, nullptr);
    CModalAnswers inner;
    inner.Message();
    dialog->Compute();
    message = inner.messages.value(0);
    dialog->reject();
  });
  Entry("&Statistics", "&Distribution Analysis")->trigger();
  EXPECT_EQ(message, "Invalid input.");  // lower and upper bound both 0
  EXPECT_EQ(&UserInterface(), before);
}

}  // namespace
}  // namespace olm::test
