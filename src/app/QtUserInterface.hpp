#pragma once
// The desktop program's message routine: every message and question becomes
// a QMessageBox on the user-interface thread (a call from a worker thread
// waits there until the user has answered).  A fatal error ends the program
// only after its message has been shown.
#include <QString>
#include <functional>

#include "numerics/UserInterface.hpp"

class QWidget;

namespace olm {

class CQtUserInterface : public IUserInterface {
 public:
  // parent gives the boxes their owner window (may change, may be null).
  explicit CQtUserInterface(std::function<QWidget*()> parent = {});

  void Show(MessageKind kind, std::string_view text) override;
  bool Ask(std::string_view text, QuestionKind kind, std::string_view title,
           bool* stopAsking) override;
  [[noreturn]] void Fatal(std::string_view text) override;
  [[noreturn]] void Terminate(int status) override;

  // The caption of every box.
  static QString Caption() { return QStringLiteral("OLM"); }

 private:
  void ShowHere(MessageKind kind, const QString& text);
  bool AskHere(const QString& text, QuestionKind kind, const QString& title, bool* stopAsking);
  QWidget* Parent() const;

  std::function<QWidget*()> m_parent;
};

}  // namespace olm
