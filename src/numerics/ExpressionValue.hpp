#pragma once
// CExpressionValue: one value of the calculator language.
//
// A value is a scalar, a two- or three-component vector or point, or a matrix.
// Matrices can be large (an editor column holds up to 10^7 rows), so the
// matrix storage is shared between copies of a value and copied only when a
// holder that shares it wants to change it.  An operation on a value that is
// the only holder of its matrix works in place.
#include <memory>
#include <string>
#include <string_view>

#include "numerics/Containers.hpp"

namespace olm {

// Kinds of value.  Kinds 4 and 5 are further scalar kinds that no operation
// produces; they behave as scalars everywhere.
enum ValueKind : int {
  kKindScalar = 0,
  kKindVector = 1,
  kKindPoint = 2,
  kKindMatrix = 3,
  kKindScalar4 = 4,
  kKindScalar5 = 5,
  kKindVector2d = 6,
  kKindPoint2d = 7,
};

// Status codes of the expression engine (0 is success).
enum ExpressionStatus : int {
  kExprOk = 0,
  kExprSyntax = 1,           // character that starts no token, or tokens left over
  kExprMissingParen = 2,     // missing ")"
  kExprEmpty = 3,            // empty statement
  kExprUnknownName = 4,      // no variable of that name
  kExprBadNumber = 5,        // malformed number
  kExprNoArgument = 6,       // function name not followed by "("
  kExprDomain = 7,           // argument outside a function's domain or of the wrong kind
  kExprDivideByZero = 9,     // division by zero
  kExprBadSeparator = 10,    // argument not followed by "," or ")"
  kExprIncompatible = 12,    // operands of incompatible kinds or dimensions
  kExprTooLong = 13,         // statement longer than 512 characters
  kExprBadName = 14,         // invalid name on the left of "="
  kExprBadMatDims = 15,      // bad mat dimensions
  kExprDiffFailed = 16,      // diff failed
  kExprIntegFailed = 17,     // integ failed
  kExprRootFailed = 18,      // root: f failed; root2: no real root
  kExprRootFlat = 19,        // root: derivative too small
  kExprRootNoConverge = 20,  // root: no convergence in 20 iterations
  kExprRootOperands = 21,    // root operands not scalars; failed solve
  kExprSveFailed = 23,       // sve refused
  kExprSve2Failed = 24,      // sve2 refused
  kExprBadKind = 26,         // a value of a kind outside the list assigned
  kExprNoMemory = 27,        // not enough memory for a value
};

// The meaning of a status code, as a short English phrase.
const char* ExpressionStatusText(int status);

inline bool IsScalarKind(int kind) {
  return kind == kKindScalar || kind == kKindScalar4 || kind == kKindScalar5;
}
inline bool IsValidKind(int kind) {
  return kind >= kKindScalar && kind <= kKindPoint2d;
}
// Number of components of a vector or point kind, 0 for the others.
inline int ComponentCount(int kind) {
  if (kind == kKindVector || kind == kKindPoint) return 3;
  if (kind == kKindVector2d || kind == kKindPoint2d) return 2;
  return 0;
}

class CExpressionValue {
 public:
  using Matrix = CMatrix<double>;
  using TextMatrix = CMatrix<std::string>;

  CExpressionValue() = default;
  CExpressionValue(const CExpressionValue&) = default;
  CExpressionValue(CExpressionValue&&) noexcept = default;
  // The components take the source's size (container assignment would not).
  CExpressionValue& operator=(const CExpressionValue& other);
  CExpressionValue& operator=(CExpressionValue&& other);

  static CExpressionValue Scalar(double value);
  // A vector or point of kind 1, 2, 6 or 7 (z is ignored for the two-component kinds).
  static CExpressionValue Components(int kind, double x, double y, double z = 0.0);
  // Takes over the matrix's storage (no element is copied).
  static CExpressionValue FromMatrix(Matrix&& matrix);
  // Shares the matrix with its other holders; it is copied before any change.
  static CExpressionValue FromSharedMatrix(std::shared_ptr<Matrix> matrix);

  int GetKind() const { return m_kind; }
  // Sets the kind; the caller fills the matching fields.
  void SetKind(int kind) { m_kind = kind; }
  bool IsScalar() const { return IsScalarKind(m_kind); }
  bool IsMatrix() const { return m_kind == kKindMatrix; }

  double GetScalar() const { return m_scalar; }
  void SetScalar(double value) { m_scalar = value; }

  // The expression text that produced the value (set for statements).
  const std::string& GetText() const { return m_text; }
  void SetText(std::string text) { m_text = std::move(text); }

  // Components of a vector or point, 1-based.
  CVector<double>& GetComponents() { return m_components; }
  const CVector<double>& GetComponents() const { return m_components; }
  // Symbolic text of component i (1 to 3); empty when unknown.
  const std::string& GetComponentText(int i) const { return m_componentTexts[i - 1]; }
  void SetComponentText(int i, std::string text) { m_componentTexts[i - 1] = std::move(text); }
  void ClearComponentTexts();

  // The matrix (an empty one for values that hold none).
  const Matrix& GetMatrix() const;
  // The matrix for writing: copied first when another value shares it.
  Matrix& MutableMatrix();
  // Replaces the matrix, taking over its storage; the kind becomes matrix.
  void SetMatrix(Matrix&& matrix);
  void SetSharedMatrix(std::shared_ptr<Matrix> matrix);
  // Moves the matrix out when this value is its only holder, copies it otherwise.
  Matrix TakeMatrix();
  // The shared storage itself (null when none); for holders that keep it.
  const std::shared_ptr<Matrix>& GetSharedMatrix() const { return m_matrix; }
  // True when another value (or a resolver) holds the same matrix storage.
  bool IsMatrixShared() const { return m_matrix && m_matrix.use_count() > 1; }
  int GetRows() const { return m_matrix ? m_matrix->GetRows() : 0; }
  int GetColumns() const { return m_matrix ? m_matrix->GetColumns() : 0; }

  // Texts of the matrix elements as written in `mat`; null when the elements
  // have no texts of their own (results of arithmetic, columns of data).
  const TextMatrix* GetElementTexts() const { return m_elementTexts.get(); }
  void SetElementTexts(TextMatrix&& texts);
  void ClearElementTexts() { m_elementTexts.reset(); }

  // Readable text: scalars with "%g", vectors "vector (x, y, z)", points
  // "point (x, y, z)", matrices "matrix R x C" and one line per row.
  std::string ToText() const;

 private:
  int m_kind = kKindScalar;
  double m_scalar = 0.0;
  std::string m_text;
  CVector<double> m_components;
  std::string m_componentTexts[3];
  std::shared_ptr<Matrix> m_matrix;
  std::shared_ptr<const TextMatrix> m_elementTexts;
};

}  // namespace olm
