#include "TestSupport.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace olm::test {

CRecordingUi::CRecordingUi() : m_previous(SetUserInterface(this)) {}
CRecordingUi::~CRecordingUi() { SetUserInterface(m_previous); }

void CRecordingUi::Show(MessageKind kind, std::string_view text) {
  messages.emplace_back(kind, std::string(text));
}

bool CRecordingUi::Ask(std::string_view text, QuestionKind, std::string_view, bool* stopAsking) {
  questions.emplace_back(text);
  bool accept = true, stop = false;
  if (!answers.empty()) {
    std::tie(accept, stop) = answers.front();
    answers.pop_front();
  }
  if (stopAsking) *stopAsking = stop;
  return accept;
}

void CRecordingUi::Fatal(std::string_view text) {
  messages.emplace_back(MessageKind::Error, "FATAL ERROR: " + std::string(text));
  throw FatalCalled(std::string(text));
}

void CRecordingUi::Terminate(int status) { throw TerminateCalled(status); }

std::vector<std::string> CRecordingUi::Texts() const {
  std::vector<std::string> out;
  for (const auto& m : messages) out.push_back(m.second);
  return out;
}

std::vector<std::string> CRecordingUi::Texts(MessageKind kind) const {
  std::vector<std::string> out;
  for (const auto& m : messages)
    if (m.first == kind) out.push_back(m.second);
  return out;
}

std::string CRecordingUi::Last() const { return messages.empty() ? "" : messages.back().second; }

bool CRecordingUi::Saw(const std::string& text) const {
  for (const auto& m : messages)
    if (m.second == text) return true;
  return false;
}

std::string DataPath(const std::string& relative) {
  const char* root = std::getenv("OLM_TEST_DATA");
  return std::string(root ? root : "tests/data") + "/" + relative;
}

std::string SourcePath(const std::string& relative) {
  if (const char* root = std::getenv("OLM_SOURCE_DIR")) return std::string(root) + "/" + relative;
  // ctest passes only the first variable of the test environment list;
  // the data folder is tests/data of the source tree.
  if (const char* data = std::getenv("OLM_TEST_DATA"))
    return std::string(data) + "/../../" + relative;
  return "./" + relative;
}

CTempDir::CTempDir() {
  std::random_device rd;
  std::mt19937_64 gen(rd());
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate = base / ("olm-test-" + std::to_string(gen()));
    if (std::filesystem::create_directory(candidate)) {
      m_path = candidate.string();
      break;
    }
  }
}

CTempDir::~CTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

std::string CTempDir::Write(const std::string& name, const std::string& text) const {
  const std::string path = File(name);
  std::ofstream out(path, std::ios::binary);
  out << text;
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace olm::test
