#pragma once
// The one routine through which core code talks to the user.
//
// Engine, tools and containers never show a window or read a key: they hand
// messages and questions to the installed IUserInterface.  The desktop
// program installs one that shows QMessageBox, the command-line tool one that
// writes to stderr and answers questions with their default, tests one that
// records.  The default writes to stderr.
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace olm {

enum class MessageKind {
  Information,  // a plain message box ("Analysis complete")
  Error,        // an engine error ("Gap between zones.")
  Diagnostic,   // container misuse and table-printer limits: stderr in the engine build
};

enum class QuestionKind { YesNo, OkCancel };

class IUserInterface {
 public:
  virtual ~IUserInterface() = default;

  // Shows one message and returns when the user has seen it.
  virtual void Show(MessageKind kind, std::string_view text) = 0;

  // Asks a question; true means Yes (or OK).  When stopAsking is not null the
  // question offers a "do not ask again" option, and *stopAsking is set to
  // whether the user chose it.
  virtual bool Ask(std::string_view text, QuestionKind kind, std::string_view title,
                   bool* stopAsking) = 0;

  // An internal error that the program cannot continue from.  The default
  // writes "FATAL ERROR: <text>" to stderr and ends the process with status 1;
  // an interface may throw instead.  Must not return.
  virtual void Fatal(std::string_view text);

  // Ends the process with the status (after a fatal engine error).  Must not
  // return; tests replace it with a throw.
  virtual void Terminate(int status);
};

// The interface in use on the calling thread; never null.
IUserInterface& UserInterface();
// Installs ui for the whole program (null restores the stderr default) and
// returns the previous one.
IUserInterface* SetUserInterface(IUserInterface* ui);
// Installs ui for the calling thread only, over the program's one (null
// removes it), and returns the previous thread interface.  Work run on a
// worker thread installs a CMessageCollector, so that no window is ever
// opened off the user-interface thread.
IUserInterface* SetThreadUserInterface(IUserInterface* ui);

void ShowMessage(std::string_view text, MessageKind kind = MessageKind::Information);
bool AskUser(std::string_view text, QuestionKind kind = QuestionKind::YesNo,
             std::string_view title = {}, bool* stopAsking = nullptr);
[[noreturn]] void FatalError(std::string_view text);
[[noreturn]] void Terminate(int status);

// printf-style formatting in the "C" locale into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Writes to stderr; questions are answered with Yes/OK (batch use).
class CStderrUserInterface : public IUserInterface {
 public:
  void Show(MessageKind kind, std::string_view text) override;
  bool Ask(std::string_view text, QuestionKind kind, std::string_view title,
           bool* stopAsking) override;
};

// Installs an interface for the lifetime of the object.
class CScopedUserInterface {
 public:
  explicit CScopedUserInterface(IUserInterface& ui) : m_previous(SetUserInterface(&ui)) {}
  ~CScopedUserInterface() { SetUserInterface(m_previous); }
  CScopedUserInterface(const CScopedUserInterface&) = delete;
  CScopedUserInterface& operator=(const CScopedUserInterface&) = delete;

 private:
  IUserInterface* m_previous;
};

// Installs an interface for the calling thread for the lifetime of the object.
class CScopedThreadUserInterface {
 public:
  explicit CScopedThreadUserInterface(IUserInterface& ui)
      : m_previous(SetThreadUserInterface(&ui)) {}
  ~CScopedThreadUserInterface() { SetThreadUserInterface(m_previous); }
  CScopedThreadUserInterface(const CScopedThreadUserInterface&) = delete;
  CScopedThreadUserInterface& operator=(const CScopedThreadUserInterface&) = delete;

 private:
  IUserInterface* m_previous;
};

struct CCollectedMessage {
  MessageKind kind = MessageKind::Information;
  std::string text;
  bool operator==(const CCollectedMessage&) const = default;
};

// A fatal error raised while messages were being collected: the work is
// abandoned and the caller shows the collected messages.
class CCollectedFatal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Collects messages in order (thread-safe) to be shown later by their
// caller on its own thread.  Questions take their default answer (Yes/OK);
// a fatal error or a termination throws CCollectedFatal instead of ending the
// process.
class CMessageCollector : public IUserInterface {
 public:
  void Show(MessageKind kind, std::string_view text) override;
  bool Ask(std::string_view text, QuestionKind kind, std::string_view title,
           bool* stopAsking) override;
  [[noreturn]] void Fatal(std::string_view text) override;
  [[noreturn]] void Terminate(int status) override;

  // The messages so far, in order; the collector is emptied.
  std::vector<CCollectedMessage> Take();
  // Shows the collected messages through ui, in order, and empties the
  // collector.
  void Replay(IUserInterface& ui);

 private:
  std::mutex m_mutex;
  std::vector<CCollectedMessage> m_messages;
};

}  // namespace olm
