#include "numerics/UserInterface.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace olm {

namespace {
CStderrUserInterface g_stderrUi;
IUserInterface* g_ui = &g_stderrUi;

void WriteLine(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
  std::fflush(stderr);
}
}  // namespace

void IUserInterface::Fatal(std::string_view text) {
  std::fputs("FATAL ERROR: ", stderr);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  std::exit(1);
}

void IUserInterface::Terminate(int status) { std::exit(status); }

IUserInterface& UserInterface() { return *g_ui; }

IUserInterface* SetUserInterface(IUserInterface* ui) {
  IUserInterface* previous = g_ui;
  g_ui = ui ? ui : &g_stderrUi;
  return previous;
}

void ShowMessage(std::string_view text, MessageKind kind) { g_ui->Show(kind, text); }

bool AskUser(std::string_view text, QuestionKind kind, std::string_view title, bool* stopAsking) {
  return g_ui->Ask(text, kind, title, stopAsking);
}

void FatalError(std::string_view text) {
  g_ui->Fatal(text);
  std::exit(1);  // an interface whose Fatal returned still must not go on
}

void Terminate(int status) {
  g_ui->Terminate(status);
  std::exit(status);
}

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n));
    std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  }
  va_end(args);
  return out;
}

void CStderrUserInterface::Show(MessageKind kind, std::string_view text) {
  if (kind == MessageKind::Diagnostic) {
    // Container and table diagnostics carry their own line breaks.
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
    return;
  }
  WriteLine(text);
}

bool CStderrUserInterface::Ask(std::string_view text, QuestionKind kind, std::string_view title,
                               bool* stopAsking) {
  std::string line(text);
  line += kind == QuestionKind::YesNo ? " [Yes]" : " [OK]";
  WriteLine(line);
  if (stopAsking) *stopAsking = false;
  return true;
}

}  // namespace olm
