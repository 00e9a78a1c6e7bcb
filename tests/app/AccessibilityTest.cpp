// Every control of the dialogs has an accessible name, so that screen
// readers and UI automation find it: its own name, its text (buttons), its
// tool tip, or a label whose buddy it is.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QStringList>
#include <memory>

#include "app/DistributionDlg.hpp"
#include "app/EditRawData.hpp"
#include "app/FailureSurfaceDlg.hpp"
#include "app/FlowRuleCoefDlg.hpp"
#include "app/GraphSettingsSheet.hpp"
#include "app/OLMViewDialogs.hpp"
#include "app/ReadRawDataDlg.hpp"
#include "app/RepZoneDataDlg.hpp"
#include "document/Document.hpp"

namespace olm {
namespace {

// Whether w is a control of its own, not a part of a composite one.
bool IsControl(const QWidget* w) {
  const bool control = qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
                       qobject_cast<const QAbstractSpinBox*>(w) ||
                       qobject_cast<const QAbstractButton*>(w) ||
                       qobject_cast<const QAbstractItemView*>(w) ||
                       qobject_cast<const QPlainTextEdit*>(w);
  return control && !qobject_cast<QComboBox*>(w->parentWidget()) &&
         !qobject_cast<QAbstractSpinBox*>(w->parentWidget()) &&
         !qobject_cast<QAbstractItemView*>(w->parentWidget());
}

// The controls of a window that have no accessible name by any route.
QStringList Unnamed(QWidget& window) {
  QSet<const QWidget*> buddies;
  for (const QLabel* label : window.findChildren<QLabel*>())
    if (label->buddy()) buddies.insert(label->buddy());
  QStringList unnamed;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    // Parts of a composite control (a combo box's line edit, a spin box's
    // editor, a table's corner button) are named by their owner.
    if (!IsControl(w)) continue;
    QString name = w->accessibleName();
    if (const auto* b = qobject_cast<QAbstractButton*>(w); b && name.isEmpty()) name = b->text();
    if (name.isEmpty()) name = w->toolTip();
    if (name.isEmpty() && !buddies.contains(w))
      unnamed << QString("%1 %2").arg(w->metaObject()->className(), w->objectName());
  }
  return unnamed;
}

// Every dialog of the program, shown.
struct CAllDialogs {
  CAllDialogs() {
    dialogs.emplace_back(std::make_unique<CReadRawDataDlg>(nullptr, doc));
    dialogs.emplace_back(std::make_unique<CRepZoneDataDlg>(nullptr, doc));
    dialogs.emplace_back(std::make_unique<CGraphSettingsSheet>(doc));
    dialogs.emplace_back(std::make_unique<CCurveMoveDlg>(doc));
    dialogs.emplace_back(std::make_unique<CBestFitDlg>());
    dialogs.emplace_back(std::make_unique<app::CDistributionDlg>());
    dialogs.emplace_back(std::make_unique<app::CFailureSurfaceDlg>(QString()));
    dialogs.emplace_back(std::make_unique<app::CFlowRuleCoefDlg>(db));
    for (auto& d : dialogs) d->show();
  }
  COLMDoc doc;
  CReplicateDB db;
  std::vector<std::unique_ptr<QWidget>> dialogs;
};

TEST(Accessibility, EveryEnabledControlOfEveryDialogTakesTheTabKey) {
  // A control without Tab focus cannot be reached from the keyboard.
  CAllDialogs all;
  for (auto& d : all.dialogs) {
    QStringList unreachable;
    for (QWidget* w : d->findChildren<QWidget*>())
      if (IsControl(w) && w->isVisibleTo(d.get()) && w->isEnabled() &&
          !(w->focusPolicy() & Qt::TabFocus))
        unreachable << QString("%1 %2").arg(w->metaObject()->className(), w->accessibleName());
    EXPECT_EQ(unreachable, QStringList()) << d->metaObject()->className();
  }
}

TEST(Accessibility, EveryControlOfEveryDialogHasAName) {
  CAllDialogs all;
  for (auto& d : all.dialogs) {
    EXPECT_FALSE(d->findChildren<QAbstractButton*>().isEmpty()) << d->metaObject()->className();
    EXPECT_EQ(Unnamed(*d), QStringList()) << d->metaObject()->className();
  }
}

}  // namespace
}  // namespace olm
