#pragma once
// Small text helpers shared by the readers of the input files and the
// command line: case folding, field splitting and whole-field numbers.
#include <string>
#include <string_view>
#include <vector>

namespace olm {

// ASCII lower case.
std::string Lower(std::string_view text);

// The fields of a line: runs of commas, blanks, tabs and line ends separate
// them; empty fields are not kept.
std::vector<std::string> SplitFields(std::string_view line);

// The parts of a text between single separators, empty ones kept
// ("a,,b" -> "a", "", "b"; "" -> one empty part).
std::vector<std::string> Split(std::string_view text, char separator);

// A finite number filling the whole field (a leading '+' allowed, no
// blanks); false otherwise, value then unspecified.
bool ParseFiniteNumber(std::string_view field, double& value);

}  // namespace olm
