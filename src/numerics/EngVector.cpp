#include "numerics/EngVector.hpp"

#include "numerics/UserInterface.hpp"

namespace olm {

void EngVectorFatal(const std::string& name, int code, long long value, long long size) {
  std::string text = "CEngVector:: " + name + ". ";
  switch (code) {
    case 1: text += "Memory allocation failure: " + std::to_string(value); break;
    case 2:
      text += "Vector index is out of bounds: " + std::to_string(value) + "(" +
              std::to_string(size) + ")";
      break;
    case 3: text += "Constructor. Invalid size: " + std::to_string(value); break;
    default: text += "Constructor. Memory allocation error: " + std::to_string(value); break;
  }
  text += ".\n";
  FatalError(text);
}

}  // namespace olm
