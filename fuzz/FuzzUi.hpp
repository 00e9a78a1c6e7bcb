#pragma once
// The user interface of the fuzz targets: refused inputs show messages, which
// are swallowed; a container diagnostic or a fatal error is a fault of the
// code under test and stops the run.
#include <cstdlib>
#include <string_view>

#include "numerics/UserInterface.hpp"

namespace olm::fuzz {

class CFuzzUi : public IUserInterface {
 public:
  void Show(MessageKind kind, std::string_view) override {
    if (kind == MessageKind::Diagnostic) std::abort();
  }
  bool Ask(std::string_view, QuestionKind, std::string_view, bool* stopAsking) override {
    if (stopAsking) *stopAsking = false;
    return true;
  }
  void Fatal(std::string_view) override { std::abort(); }
  void Terminate(int) override { std::abort(); }
};

// Installs the interface once for the whole run.
inline void InstallFuzzUi() {
  static CFuzzUi ui;
  static CScopedUserInterface installed(ui);
}

}  // namespace olm::fuzz
