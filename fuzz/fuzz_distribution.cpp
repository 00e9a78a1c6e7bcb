// libFuzzer target of the distribution input file: any bytes as the file.
//
// Every input must be read or refused with CDistributionError.  An input
// that is read is also written and read back, which must give the same
// sample, requests and range.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "FuzzUi.hpp"
#include "distribution/DistributionFiles.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  olm::fuzz::InstallFuzzUi();
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  olm::CDistributionInput input;
  try {
    input = olm::ReadDistributionInput(in);
  } catch (const olm::CDistributionError&) {
    return 0;
  }
  std::ostringstream out;
  olm::WriteDistributionInput(out, input.sample, olm::OptionsOf(input), input.lower, input.upper);
  std::istringstream again(out.str());
  olm::CDistributionInput reread;
  try {
    reread = olm::ReadDistributionInput(again);
  } catch (const olm::CDistributionError&) {
    if (!input.sample.empty()) std::abort();  // what was written must read back
    return 0;
  }
  if (reread.sample != input.sample || reread.lower != input.lower || reread.upper != input.upper)
    std::abort();
  return 0;
}
