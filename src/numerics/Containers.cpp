#include "numerics/Containers.hpp"

#include "numerics/UserInterface.hpp"

namespace olm {

void ReportVectorError(int code, const std::string& name) {
  static const char* const kTexts[] = {
      "Memory allocation failure.\n", "Row index is out of bounds.\n",
      "Constructor. Invalid number of rows or columns.\n", "Constructor. Incompatible vectors.\n"};
  if (code < 0 || code > 3) return;
  ShowMessage("CVector::Vector Name: " + name + ".\n" + kTexts[code], MessageKind::Diagnostic);
}

void ReportMatrixError(int code) {
  static const char* const kTexts[] = {
      "Matrix:: Memory allocation failure. ", "Matrix::Row-Column reference is out of bounds. ",
      "Matrix::Constructor. Invalid number of rows or columns. ", "Matrix::Incompatible matrices. "};
  if (code < 0 || code > 3) return;
  ShowMessage(kTexts[code], MessageKind::Diagnostic);
}

}  // namespace olm
