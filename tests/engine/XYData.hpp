#pragma once
// Reads the reference files of tests/data/nist: two header lines, then
// "x,y" rows.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.hpp"

namespace olm::test {

inline bool ReadXY(const std::string& relative, std::vector<double>& x, std::vector<double>& y) {
  std::ifstream data(DataPath(relative));
  std::string line;
  if (!std::getline(data, line) || !std::getline(data, line)) return false;
  x.clear();
  y.clear();
  while (std::getline(data, line)) {
    std::istringstream fields(line);
    std::string a, b;
    std::getline(fields, a, ',');
    std::getline(fields, b, ',');
    x.push_back(std::stod(a));
    y.push_back(std::stod(b));
  }
  return !x.empty();
}

}  // namespace olm::test
