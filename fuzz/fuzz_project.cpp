// Fuzz target of the project-file reader.
//
// Any input must either be refused with a message or be read; nothing may
// crash, leak, allocate without bound or show undefined behaviour.  What is
// read must also be writable: writing it, reading that back and writing
// again gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/ProjectStream.hpp"
#include "numerics/UserInterface.hpp"
#include "plot/Project.hpp"

namespace {

// Swallows the messages of refused inputs.  Container misuse (a diagnostic)
// or a fatal error would be a fault of the reader: stop there.
class CFuzzUi : public olm::IUserInterface {
 public:
  void Show(olm::MessageKind kind, std::string_view) override {
    if (kind == olm::MessageKind::Diagnostic) std::abort();
  }
  bool Ask(std::string_view, olm::QuestionKind, std::string_view, bool* stopAsking) override {
    if (stopAsking) *stopAsking = false;
    return true;
  }
  void Fatal(std::string_view) override { std::abort(); }
  void Terminate(int) override { std::abort(); }
};

std::string Written(olm::CProject& project) {
  olm::CMemorySink sink;
  olm::CProjectWriter out(sink);
  project.Write(out);
  if (!out.Finish()) std::abort();
  return sink.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CFuzzUi ui;
  static olm::CScopedUserInterface installed(ui);

  olm::CMemorySource input(data, size);
  olm::CProject project;
  if (!project.Read(input, "input")) return 0;

  const std::string first = Written(project);
  olm::CMemorySource again(first);
  olm::CProject reread;
  if (!reread.Read(again, "written")) std::abort();
  if (Written(reread) != first) std::abort();
  return 0;
}
