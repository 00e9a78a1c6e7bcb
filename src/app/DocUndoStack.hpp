#pragma once
// CDocUndoStack: a QUndoStack that mirrors the document's own undo stack, so
// that Qt's undo actions ("Undo Analyse") and undo view work on it.  Each
// document step is one QUndoCommand whose undo() and redo() call the
// document's Undo() and Redo(); the stack's clean state follows the
// document's modified mark.
#include <QUndoStack>
#include <string>
#include <vector>

#include "document/Document.hpp"

namespace olm {

class CDocUndoStack : public QUndoStack, public IDocObserver {
  Q_OBJECT

 public:
  explicit CDocUndoStack(COLMDoc& doc, QObject* parent = nullptr);
  ~CDocUndoStack() override;

  void DocumentChanged(unsigned changes) override;
  // Brings the mirror in line with the document (steps, index, clean state).
  void Sync();

 private:
  friend class CDocUndoCommand;
  COLMDoc& m_doc;
  std::vector<std::string> m_names;  // the document's steps the mirror holds
  bool m_syncing = false;            // pushing mirror commands: they do nothing
  bool m_inCommand = false;          // a command is calling the document
};

}  // namespace olm
