#include "app/ReportViewer.hpp"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextCursor>
#include <QToolBar>
#include <QUrl>

#include "ui/UiText.hpp"

namespace olm {

CReportViewer::CReportViewer(QWidget* parent) : QMainWindow(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("ReportViewer");
  m_text = new QPlainTextEdit(this);
  m_text->setReadOnly(true);
  m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  m_text->setAccessibleName(tr("Report"));
  setCentralWidget(m_text);

  QToolBar* bar = addToolBar(tr("Report"));
  bar->setObjectName("ReportBar");
  auto* label = new QLabel(tr("&Find:"), bar);
  m_find = new QLineEdit(bar);
  m_find->setAccessibleName(tr("Find"));
  m_find->setClearButtonEnabled(true);
  label->setBuddy(m_find);
  bar->addWidget(label);
  bar->addWidget(m_find);
  QAction* next = bar->addAction(tr("Find &Next"), this, [this] { Find(m_find->text()); });
  next->setShortcut(QKeySequence::FindNext);
  connect(m_find, &QLineEdit::returnPressed, next, &QAction::trigger);
  auto* focusFind = new QAction(tr("Find"), this);
  focusFind->setShortcut(QKeySequence::Find);
  connect(focusFind, &QAction::triggered, this, [this] {
    m_find->setFocus();
    m_find->selectAll();
  });
  addAction(focusFind);
  bar->addSeparator();
  bar->addAction(QIcon::fromTheme("document-open", QIcon(":/icons/open.svg")),
                 tr("Open in external editor"), this, [this] { OpenExternal(); });
  resize(800, 600);
}

bool CReportViewer::LoadFile(const QString& path) {
  m_path = path;
  setWindowTitle(tr("%1 - Report").arg(QFileInfo(path).fileName()));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    m_text->clear();
    statusBar()->showMessage(tr("Cannot read %1").arg(path));
    return false;
  }
  const QByteArray bytes = file.readAll();
  m_text->setPlainText(ui::ToQString(std::string_view(bytes.constData(), bytes.size())));
  return true;
}

bool CReportViewer::Find(const QString& text) {
  if (text.isEmpty()) return false;
  if (m_text->find(text)) return true;
  QTextCursor start = m_text->textCursor();
  m_text->moveCursor(QTextCursor::Start);
  if (m_text->find(text)) return true;
  m_text->setTextCursor(start);
  statusBar()->showMessage(tr("\"%1\" not found").arg(text), 3000);
  return false;
}

bool CReportViewer::OpenExternal() {
  if (m_path.isEmpty()) return false;
  const bool ok = QDesktopServices::openUrl(QUrl::fromLocalFile(m_path));
  if (!ok) statusBar()->showMessage(tr("No external editor could be started."), 5000);
  return ok;
}

}  // namespace olm
