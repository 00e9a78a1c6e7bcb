#include "app/DocUndoStack.hpp"

#include "ui/UiText.hpp"

namespace olm {

class CDocUndoCommand : public QUndoCommand {
 public:
  CDocUndoCommand(CDocUndoStack& stack, const std::string& name)
      : QUndoCommand(ui::ToQString(name)), m_stack(stack) {}

  void undo() override { Call(false); }
  void redo() override { Call(true); }

 private:
  void Call(bool redo) {
    if (m_stack.m_syncing) return;
    m_stack.m_inCommand = true;
    if (redo)
      m_stack.m_doc.Redo();
    else
      m_stack.m_doc.Undo();
    m_stack.m_inCommand = false;
  }

  CDocUndoStack& m_stack;
};

CDocUndoStack::CDocUndoStack(COLMDoc& doc, QObject* parent) : QUndoStack(parent), m_doc(doc) {
  m_doc.AddObserver(this);
  Sync();
}

CDocUndoStack::~CDocUndoStack() {
  m_doc.RemoveObserver(this);
}

void CDocUndoStack::DocumentChanged(unsigned changes) {
  // While one of our commands runs, QUndoStack moves its own index after
  // the command returns; the mirror is then already right.  Steps and the
  // modified mark change only with kChangeState, so the notices of a drag
  // or of a dialog's edits pass by.
  if (m_inCommand || !(changes & kChangeState)) return;
  Sync();
}

void CDocUndoStack::Sync() {
  m_syncing = true;
  std::vector<std::string> names = m_doc.UndoNames();
  if (names != m_names) {
    clear();
    for (const std::string& name : names) push(new CDocUndoCommand(*this, name));
    m_names = std::move(names);
  }
  const int index = static_cast<int>(m_doc.UndoIndex());
  if (this->index() != index) setIndex(index);
  if (!m_doc.IsModified()) {
    if (!isClean()) setClean();
  } else if (isClean()) {
    resetClean();
  }
  m_syncing = false;
}

}  // namespace olm
