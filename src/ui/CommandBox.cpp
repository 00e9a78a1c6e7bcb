#include "ui/CommandBox.hpp"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QStringListModel>
#include <algorithm>

namespace olm::ui {

namespace {
bool IsWordChar(QChar c) {
  return c.isLetterOrNumber() || c == QLatin1Char('_');
}
}  // namespace

CCommandBox::CCommandBox(QWidget* parent)
    : QLineEdit(parent), m_completer(new QCompleter(this)), m_words(new QStringListModel(this)) {
  m_completer->setModel(m_words);
  m_completer->setCaseSensitivity(Qt::CaseInsensitive);
  m_completer->setCompletionMode(QCompleter::PopupCompletion);
  m_completer->setWidget(this);
  connect(m_completer, qOverload<const QString&>(&QCompleter::activated), this,
          &CCommandBox::InsertCompletion);
  connect(this, &QLineEdit::textEdited, this, [this] { UpdateCompletion(); });
}

void CCommandBox::SetWords(const QStringList& words) {
  QStringList sorted = words;
  sorted.removeDuplicates();
  sorted.sort(Qt::CaseInsensitive);
  m_words->setStringList(sorted);
}

void CCommandBox::AddToHistory(const QString& command) {
  const QString text = command.trimmed();
  if (!text.isEmpty() && (m_history.isEmpty() || m_history.last() != text)) m_history.append(text);
  m_historyIndex = static_cast<int>(m_history.size());
  m_typed.clear();
}

QString CCommandBox::WordAtCursor() const {
  const QString line = text();
  int start = cursorPosition();
  while (start > 0 && IsWordChar(line[start - 1])) --start;
  return line.mid(start, cursorPosition() - start);
}

void CCommandBox::UpdateCompletion() {
  const QString word = WordAtCursor();
  if (word.size() < 2) {
    m_completer->popup()->hide();
    return;
  }
  m_completer->setCompletionPrefix(word);
  if (m_completer->completionCount() == 0 ||
      (m_completer->completionCount() == 1 &&
       m_completer->currentCompletion().compare(word, Qt::CaseInsensitive) == 0)) {
    m_completer->popup()->hide();
    return;
  }
  m_completer->complete();
}

void CCommandBox::InsertCompletion(const QString& word) {
  const QString prefix = WordAtCursor();
  const int pos = cursorPosition();
  QString line = text();
  line.replace(pos - prefix.size(), prefix.size(), word);
  setText(line);
  setCursorPosition(pos - static_cast<int>(prefix.size()) + static_cast<int>(word.size()));
}

void CCommandBox::keyPressEvent(QKeyEvent* event) {
  const bool popup = m_completer->popup() && m_completer->popup()->isVisible();
  if (!popup && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
    if (m_history.isEmpty()) return;
    if (m_historyIndex == m_history.size()) m_typed = text();
    if (event->key() == Qt::Key_Up)
      m_historyIndex = std::max(0, m_historyIndex - 1);
    else
      m_historyIndex = std::min(static_cast<int>(m_history.size()), m_historyIndex + 1);
    setText(m_historyIndex == m_history.size() ? m_typed : m_history[m_historyIndex]);
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace olm::ui

// The widget's meta-object code (the folder's library lists only .cpp files).
#include "moc_CommandBox.cpp"
