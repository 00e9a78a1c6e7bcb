#include "ui/TextViewer.hpp"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/UiText.hpp"

namespace olm::ui {

namespace {

// The find field: Enter finds forwards, Shift+Enter backwards, Escape hides
// the bar.
class CFindEdit : public QLineEdit {
 public:
  CFindEdit(CTextViewer* viewer, QWidget* bar) : QLineEdit(bar), m_viewer(viewer), m_bar(bar) {}

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      if (e->modifiers() & Qt::ShiftModifier)
        m_viewer->FindPrevious();
      else
        m_viewer->FindNext();
      return;
    }
    if (e->key() == Qt::Key_Escape) {
      m_bar->hide();
      return;
    }
    QLineEdit::keyPressEvent(e);
  }

 private:
  CTextViewer* m_viewer;
  QWidget* m_bar;
};

}  // namespace

CTextViewer::CTextViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* layout = new QVBoxLayout(this);

  auto* buttons = new QHBoxLayout;
  auto* reload = new QPushButton(tr("&Reload"), this);
  reload->setToolTip(tr("Read the file again"));
  auto* external = new QPushButton(tr("Open in &external editor"), this);
  external->setToolTip(tr("Open the file in the desktop's editor for it"));
  auto* find = new QPushButton(tr("&Find..."), this);
  find->setToolTip(tr("Find text (Ctrl+F)"));
  buttons->addWidget(reload);
  buttons->addWidget(external);
  buttons->addWidget(find);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  connect(reload, &QPushButton::clicked, this, &CTextViewer::Reload);
  connect(external, &QPushButton::clicked, this, &CTextViewer::OpenExternally);
  connect(find, &QPushButton::clicked, this, &CTextViewer::ShowFindBar);

  m_text = new QPlainTextEdit(this);
  m_text->setReadOnly(true);
  m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  m_text->setAccessibleName(tr("Text"));
  m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  layout->addWidget(m_text, 1);

  m_findBar = new QWidget(this);
  auto* findLayout = new QHBoxLayout(m_findBar);
  findLayout->setContentsMargins(0, 0, 0, 0);
  auto* findLabel = new QLabel(tr("F&ind:"), m_findBar);
  m_findEdit = new CFindEdit(this, m_findBar);
  m_findEdit->setAccessibleName(tr("Find"));
  findLabel->setBuddy(m_findEdit);
  auto* next = new QPushButton(tr("&Next"), m_findBar);
  auto* previous = new QPushButton(tr("&Previous"), m_findBar);
  auto* closeFind = new QToolButton(m_findBar);
  closeFind->setText(tr("Close"));
  closeFind->setToolTip(tr("Close the find bar"));
  findLayout->addWidget(findLabel);
  findLayout->addWidget(m_findEdit, 1);
  findLayout->addWidget(next);
  findLayout->addWidget(previous);
  findLayout->addWidget(closeFind);
  layout->addWidget(m_findBar);
  m_findBar->hide();
  connect(next, &QPushButton::clicked, this, &CTextViewer::FindNext);
  connect(previous, &QPushButton::clicked, this, &CTextViewer::FindPrevious);
  connect(closeFind, &QToolButton::clicked, m_findBar, &QWidget::hide);

  m_status = new QLabel(this);
  m_status->setAccessibleName(tr("Status"));
  layout->addWidget(m_status);

  auto* findKey = new QShortcut(QKeySequence::Find, this);
  connect(findKey, &QShortcut::activated, this, &CTextViewer::ShowFindBar);
  auto* nextKey = new QShortcut(QKeySequence::FindNext, this);
  connect(nextKey, &QShortcut::activated, this, &CTextViewer::FindNext);
  auto* previousKey = new QShortcut(QKeySequence::FindPrevious, this);
  connect(previousKey, &QShortcut::activated, this, &CTextViewer::FindPrevious);
  auto* reloadKey = new QShortcut(QKeySequence::Refresh, this);
  connect(reloadKey, &QShortcut::activated, this, &CTextViewer::Reload);
  auto* closeKey = new QShortcut(QKeySequence::Close, this);
  connect(closeKey, &QShortcut::activated, this, &QWidget::close);

  resize(760, 560);
}

CTextViewer* CTextViewer::ShowFile(const QString& path, QWidget* parent) {
  auto* viewer = new CTextViewer(parent);
  viewer->setAttribute(Qt::WA_DeleteOnClose, true);
  viewer->Open(path);
  viewer->show();
  viewer->raise();
  return viewer;
}

bool CTextViewer::Open(const QString& path) {
  m_path = path;
  setWindowTitle(QFileInfo(path).fileName() + tr(" - Viewer"));
  return Reload();
}

bool CTextViewer::Reload() {
  QFile file(m_path);
  if (!file.open(QIODevice::ReadOnly)) {
    m_text->clear();
    m_status->setText(tr("Cannot read %1: %2").arg(m_path, file.errorString()));
    return false;
  }
  const qint64 size = file.size();
  QByteArray bytes = file.read(std::min(size, m_shownBytes));
  const bool cut = bytes.size() < size;
  if (cut && bytes.lastIndexOf('\n') >= 0) bytes.truncate(bytes.lastIndexOf('\n') + 1);
  // Keep the reader's place across a reload.
  const int position = m_text->textCursor().position();
  m_text->setPlainText(ToQString(std::string_view(bytes.constData(), bytes.size())));
  QTextCursor cursor = m_text->textCursor();
  cursor.setPosition(std::min(position, m_text->document()->characterCount() - 1));
  m_text->setTextCursor(cursor);
  const QString where = QFileInfo(m_path).absoluteFilePath();
  m_status->setText(
      cut ? tr("%1: the first %2 MiB of %3 MiB are shown; \"Open in external editor\" "
               "shows the whole file.")
                .arg(where)
                .arg(double(bytes.size()) / (1 << 20), 0, 'f', 1)
                .arg(double(size) / (1 << 20), 0, 'f', 1)
          : where);
  return true;
}

QString CTextViewer::Text() const {
  return m_text->toPlainText();
}

QString CTextViewer::Status() const {
  return m_status->text();
}

void CTextViewer::ShowFindBar() {
  m_findBar->show();
  m_findEdit->setFocus();
  m_findEdit->selectAll();
}

bool CTextViewer::FindNext() {
  return Find(false);
}

bool CTextViewer::FindPrevious() {
  return Find(true);
}

bool CTextViewer::Find(bool backwards) {
  const QString needle = m_findEdit->text();
  if (needle.isEmpty()) {
    ShowFindBar();
    return false;
  }
  const QTextDocument::FindFlags flags =
      backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  if (m_text->find(needle, flags)) {
    m_status->setText(QString());
    return true;
  }
  // Wrap around once from the other end.
  QTextCursor start = m_text->textCursor();
  QTextCursor wrap(m_text->document());
  wrap.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
  m_text->setTextCursor(wrap);
  if (m_text->find(needle, flags)) {
    m_status->setText(tr("Search wrapped"));
    return true;
  }
  m_text->setTextCursor(start);
  m_status->setText(tr("Not found: %1").arg(needle));
  return false;
}

bool CTextViewer::OpenExternally() {
  if (m_path.isEmpty()) return false;
  const bool ok =
      QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_path).absoluteFilePath()));
  if (!ok) m_status->setText(tr("No external editor could be started for %1").arg(m_path));
  return ok;
}

}  // namespace olm::ui
