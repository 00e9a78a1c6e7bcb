// libFuzzer target of the flow-rule model file, "*include" lines included.
//
// The input is the main file; its "*include" lines may name the two files of
// a scratch folder (a valid curve file and a copy of the input itself, which
// is refused because it includes again) or anything else.  Every input must
// be read or refused with a message; a model that is read is also written as
// model text and read back, which must succeed.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzUi.hpp"
#include "composites/FlowRuleModel.hpp"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const std::string f = "/tmp/olm-fuzz-flowrule-" + std::to_string(::getpid());
    std::filesystem::create_directories(f);
    std::ofstream(f + "/curves.k") << "*define_curve id 1\n0 100\n0.01 120\n0.02 130\n";
    return f;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  olm::fuzz::InstallFuzzUi();
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::ofstream(Folder() + "/self.k", std::ios::binary) << text;
  olm::CFlowRuleModel model;
  if (!olm::ReadFlowRuleModelText(text, Folder(), model).empty()) return 0;
  const std::string again =
      olm::FormatFlowRuleCurves(model) + olm::FormatFlowRuleSettings(model) + "*end\n";
  olm::CFlowRuleModel reread;
  if (!olm::ReadFlowRuleModelText(again, Folder(), reread).empty()) std::abort();
  if (reread.DefinedCount() != model.DefinedCount()) std::abort();
  return 0;
}
