// Fuzz target of the project-file reader.
//
// Any input must either be refused with a message or be read; nothing may
// crash, leak, allocate without bound or show undefined behaviour.  What is
// read must also be writable: writing it, reading that back and writing
// again gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzUi.hpp"
#include "engine/ProjectStream.hpp"
#include "plot/Project.hpp"

namespace {

std::string Written(olm::CProject& project) {
  olm::CMemorySink sink;
  olm::CProjectWriter out(sink);
  project.Write(out);
  if (!out.Finish()) std::abort();
  return sink.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  olm::fuzz::InstallFuzzUi();

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
