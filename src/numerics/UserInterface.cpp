#include "numerics/UserInterface.hpp"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace olm {

namespace {
CStderrUserInterface g_stderrUi;
std::atomic<IUserInterface*> g_ui{&g_stderrUi};
// A worker thread's own interface (a collector), which takes precedence.
thread_local IUserInterface* t_ui = nullptr;

IUserInterface& Current() {
  return t_ui ? *t_ui : *g_ui.load();
}

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

void IUserInterface::Terminate(int status) {
  std::exit(status);
}

IUserInterface& UserInterface() {
  return Current();
}

IUserInterface* SetUserInterface(IUserInterface* ui) {
  return g_ui.exchange(ui ? ui : &g_stderrUi);
}

IUserInterface* SetThreadUserInterface(IUserInterface* ui) {
  IUserInterface* previous = t_ui;
  t_ui = ui;
  return previous;
}

void ShowMessage(std::string_view text, MessageKind kind) {
  Current().Show(kind, text);
}

bool AskUser(std::string_view text, QuestionKind kind, std::string_view title, bool* stopAsking) {
  return Current().Ask(text, kind, title, stopAsking);
}

void FatalError(std::string_view text) {
  Current().Fatal(text);
  std::exit(1);  // an interface whose Fatal returned still must not go on
}

void Terminate(int status) {
  Current().Terminate(status);
  std::exit(status);
}

void CMessageCollector::Show(MessageKind kind, std::string_view text) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_messages.push_back({kind, std::string(text)});
}

bool CMessageCollector::Ask(std::string_view text, QuestionKind, std::string_view,
                            bool* stopAsking) {
  // Work off the user-interface thread cannot ask; it takes the default.
  std::lock_guard<std::mutex> lock(m_mutex);
  m_messages.push_back({MessageKind::Information, std::string(text)});
  if (stopAsking) *stopAsking = false;
  return true;
}

void CMessageCollector::Fatal(std::string_view text) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.push_back({MessageKind::Error, std::string(text)});
  }
  throw CCollectedFatal(std::string(text));
}

void CMessageCollector::Terminate(int status) {
  throw CCollectedFatal(Format("Terminated with status %d", status));
}

std::vector<CCollectedMessage> CMessageCollector::Take() {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<CCollectedMessage> out;
  out.swap(m_messages);
  return out;
}

void CMessageCollector::Replay(IUserInterface& ui) {
  for (const CCollectedMessage& m : Take()) ui.Show(m.kind, m.text);
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
