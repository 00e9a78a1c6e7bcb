#pragma once
#include <string>

namespace olm::cli {

// The folder of the bundled sample files: $OLM_SAMPLES_DIR, else the source
// tree's samples/ folder this binary was built from.
std::string SamplesDir();

// A new folder for outputs: `wanted` when given (created if missing), else
// "<base>" under the current folder, or "<base>-2", "-3", ... when taken.
// Throws UsageError when the folder cannot be created.
std::string MakeOutputDir(const std::string& wanted, const std::string& base);

// Writes text to a file through a temporary file renamed into place; false
// (with a message on stderr) when that fails.
bool WriteTextFile(const std::string& path, const std::string& text);

}  // namespace olm::cli
