#pragma once
// A one-line command box: it remembers the commands entered (Up and Down
// walk through them) and completes the word under the cursor from a list of
// words (variable names, command words).
#include <QLineEdit>
#include <QStringList>

class QCompleter;
class QStringListModel;

namespace olm::ui {

class CCommandBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit CCommandBox(QWidget* parent = nullptr);

  // The words offered for completion.
  void SetWords(const QStringList& words);
  // Remembers a command (the latest last; a repeat of the latest is not added).
  void AddToHistory(const QString& command);
  const QStringList& History() const { return m_history; }
  QCompleter* Completer() const { return m_completer; }
  // The word the cursor stands in or after (letters, digits, '_').
  QString WordAtCursor() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void InsertCompletion(const QString& word);
  void UpdateCompletion();

  QCompleter* m_completer;
  QStringListModel* m_words;
  QStringList m_history;
  int m_historyIndex = 0;  // History().size(): the line being typed
  QString m_typed;         // the line being typed, kept while browsing history
};

}  // namespace olm::ui
