#include "app/HelpWindow.hpp"

#include <QFile>
#include <QTextBrowser>

namespace olm {

CHelpWindow::CHelpWindow(QWidget* parent) : QMainWindow(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("HelpWindow");
  setWindowTitle(tr("OLM Help"));
  m_browser = new QTextBrowser(this);
  m_browser->setAccessibleName(tr("Manual"));
  m_browser->setOpenExternalLinks(true);
  m_browser->setMarkdown(ManualText());
  setCentralWidget(m_browser);
  resize(760, 640);
}

QString CHelpWindow::ManualText() {
  // The manual is compiled in (resources/olm.qrc), so it is always there.
  QFile file(":/docs/manual.md");
  if (file.open(QIODevice::ReadOnly)) return QString::fromUtf8(file.readAll());
  return tr("The manual is missing from this build.");
}

}  // namespace olm
