#pragma once
// Shared helpers of the unit tests.
#include <gtest/gtest.h>

#include <deque>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "numerics/UserInterface.hpp"

namespace olm::test {

// Thrown by CRecordingUi::Fatal and ::Terminate so tests can observe them.
struct FatalCalled : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct TerminateCalled : std::runtime_error {
  explicit TerminateCalled(int s) : std::runtime_error("terminate"), status(s) {}
  int status;
};

// Records every message and question; answers questions from a queue
// (default: Yes/OK).  Installs itself for its lifetime.
class CRecordingUi : public IUserInterface {
 public:
  CRecordingUi();
  ~CRecordingUi() override;

  void Show(MessageKind kind, std::string_view text) override;
  bool Ask(std::string_view text, QuestionKind kind, std::string_view title,
           bool* stopAsking) override;
  void Fatal(std::string_view text) override;
  void Terminate(int status) override;

  // Queue the next answers: {accepted, stopAsking}.
  void QueueAnswer(bool accept, bool stopAsking = false) {
    answers.emplace_back(accept, stopAsking);
  }

  // All texts shown so far (messages, not questions).
  std::vector<std::string> Texts() const;
  // The texts of one kind.
  std::vector<std::string> Texts(MessageKind kind) const;
  // The last shown text, or "" when none.
  std::string Last() const;
  bool Saw(const std::string& text) const;
  void Clear() {
    messages.clear();
    questions.clear();
  }

  std::vector<std::pair<MessageKind, std::string>> messages;
  std::vector<std::string> questions;
  std::deque<std::pair<bool, bool>> answers;

 private:
  IUserInterface* m_previous;
};

// Absolute path of a file under tests/data.
std::string DataPath(const std::string& relative);
// Absolute path of a file under the source tree.
std::string SourcePath(const std::string& relative);
// A fresh empty folder under the system temp folder, removed on destruction.
class CTempDir {
 public:
  CTempDir();
  ~CTempDir();
  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }
  // Writes text to a file in this folder and returns its path.
  std::string Write(const std::string& name, const std::string& text) const;

 private:
  std::string m_path;
};

std::string ReadFile(const std::string& path);

// The lines of a text, without their line breaks.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The values f(0), ..., f(n - 1).
template <class F>
std::vector<double> Generate(int n, F f) {
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back(f(i));
  return v;
}

// Element by element within tol, naming the first index that is not.
inline void ExpectAllNear(const std::vector<double>& got, const std::vector<double>& want,
                          double tol) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) ASSERT_NEAR(got[i], want[i], tol) << "index " << i;
}

}  // namespace olm::test
