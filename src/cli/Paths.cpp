#include "cli/Paths.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cli/Commands.hpp"
#include "numerics/OutputFile.hpp"

namespace olm::cli {

namespace fs = std::filesystem;

std::string SamplesDir() {
  if (const char* env = std::getenv("OLM_SAMPLES_DIR")) return env;
  return OLM_SAMPLES_DIR;
}

std::string MakeOutputDir(const std::string& wanted, const std::string& base) {
  std::error_code ec;
  if (!wanted.empty()) {
    fs::create_directories(wanted, ec);
    if (!fs::is_directory(wanted)) throw UsageError("cannot create folder '" + wanted + "'");
    return wanted;
  }
  for (int k = 1;; ++k) {
    const std::string name = k == 1 ? base : base + "-" + std::to_string(k);
    if (fs::create_directory(name, ec)) return name;
    if (ec) throw UsageError("cannot create folder '" + name + "': " + ec.message());
  }
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::string error;
  if (olm::WriteTextFile(path, text, {}, &error)) return true;
  std::fprintf(stderr, "%s\n",
               error.empty() ? ("Cannot write " + path + ".").c_str() : error.c_str());
  return false;
}

}  // namespace olm::cli
