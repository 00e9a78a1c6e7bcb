#include "app/NavigationView.hpp"

#include <QHeaderView>
#include <QStandardItemModel>

#include "ui/UiText.hpp"

namespace olm {

namespace {

constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kReplicateRole = Qt::UserRole + 2;  // 1-based

// The entries of the tree as (kind, replicate) pairs, in order.
std::vector<std::pair<int, int>> EntryShape(const CTreeItem& root) {
  std::vector<std::pair<int, int>> shape;
  for (const CTreeItem& group : root.children)
    for (const CTreeItem& e : group.children) shape.emplace_back(e.kind, e.replicateIndex);
  return shape;
}

}  // namespace

CNavigationView::CNavigationView(COLMDoc& doc, QWidget* parent)
    : QTreeView(parent), m_doc(doc), m_model(new QStandardItemModel(this)) {
  setAccessibleName(tr("Data sets"));
  setMinimumWidth(50);
  setHeaderHidden(true);
  // Names are shown whole, with a horizontal scroll bar in a narrow pane,
  // rather than cut to "1:...".
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  header()->setStretchLastSection(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setModel(m_model);
  connect(m_model, &QStandardItemModel::itemChanged, this, &CNavigationView::ItemChanged);
  connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
    const QVariant kind = index.data(kKindRole);
    if (kind.isValid()) emit editRequested(index.data(kReplicateRole).toInt(), kind.toInt());
  });
  m_doc.AddObserver(this);
  Rebuild();
}

CNavigationView::~CNavigationView() {
  m_doc.RemoveObserver(this);
}

void CNavigationView::DocumentChanged(unsigned changes) {
  if (changes & (kChangeData | kChangeSettings)) Rebuild();
}

QStandardItem* CNavigationView::EntryItem(int kind, int replicate) const {
  QStandardItem* root = m_model->item(0);
  if (!root || kind < 0 || kind >= root->rowCount()) return nullptr;
  QStandardItem* group = root->child(kind);
  for (int i = 0; i < group->rowCount(); ++i)
    if (group->child(i)->data(kReplicateRole).toInt() == replicate) return group->child(i);
  return nullptr;
}

void CNavigationView::Rebuild() {
  const CReplicateDB& db = m_doc.Database();
  const auto previous = EntryShape(m_tree.Root());
  m_tree.Rebuild(db.GetReplicateCount() > 0 ? &db : nullptr);
  m_updating = true;
  if (m_model->rowCount() == 1 && EntryShape(m_tree.Root()) == previous) {
    // The same entries: only texts and check marks change, so the tree keeps
    // its scroll position and current item.
    for (int k = 0; k < 3; ++k)
      for (const CTreeItem& e : m_tree.Group(k).children) {
        QStandardItem* item = EntryItem(k, e.replicateIndex + 1);
        if (!item) continue;
        item->setText(ui::ToQString(e.text));
        item->setCheckState(e.checked ? Qt::Checked : Qt::Unchecked);
      }
    m_updating = false;
    return;
  }
  m_model->clear();
  const CTreeItem& rootItem = m_tree.Root();
  auto* root = new QStandardItem(ui::ToQString(rootItem.text));
  root->setEditable(false);
  for (const CTreeItem& group : rootItem.children) {
    auto* g = new QStandardItem(ui::ToQString(group.text));
    g->setEditable(false);
    for (const CTreeItem& e : group.children) {
      auto* item = new QStandardItem(ui::ToQString(e.text));
      item->setToolTip(item->text());  // the whole name in a narrow pane
      item->setEditable(false);
      item->setCheckable(true);
      item->setCheckState(e.checked ? Qt::Checked : Qt::Unchecked);
      item->setData(e.kind, kKindRole);
      item->setData(e.replicateIndex + 1, kReplicateRole);
      g->appendRow(item);
    }
    root->appendRow(g);
  }
  m_model->appendRow(root);
  expandAll();
  m_updating = false;
}

void CNavigationView::ItemChanged(QStandardItem* item) {
  if (m_updating) return;
  const QVariant kind = item->data(kKindRole);
  if (!kind.isValid()) return;
  const int replicate = item->data(kReplicateRole).toInt();
  const bool checked = item->checkState() == Qt::Checked;
  if (m_doc.Database().plotSettings.IsShown(replicate, kind.toInt()) == checked) return;
  if (!m_doc.SetCurveShown(replicate, kind.toInt(), checked)) Rebuild();
}

}  // namespace olm
