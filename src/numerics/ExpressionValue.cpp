#include "numerics/ExpressionValue.hpp"

#include <algorithm>
#include <vector>

#include "numerics/UserInterface.hpp"

namespace olm {

const char* ExpressionStatusText(int status) {
  switch (status) {
    case kExprOk:
      return "success";
    case kExprSyntax:
      return "character that starts no token, or tokens left after a complete statement";
    case kExprMissingParen:
      return "missing \")\"";
    case kExprEmpty:
      return "empty statement";
    case kExprUnknownName:
      return "no variable of that name";
    case kExprBadNumber:
      return "malformed number";
    case kExprNoArgument:
      return "function name not followed by \"(\"";
    case kExprDomain:
      return "argument outside a function's domain or of a kind the function does not take";
    case kExprDivideByZero:
      return "division by zero";
    case kExprBadSeparator:
      return "argument not followed by \",\" or \")\"";
    case kExprIncompatible:
      return "operands of incompatible kinds or dimensions";
    case kExprTooLong:
      return "statement longer than 512 characters";
    case kExprBadName:
      return "invalid name on the left of \"=\"";
    case kExprBadMatDims:
      return "bad mat dimensions";
    case kExprDiffFailed:
      return "diff failed";
    case kExprIntegFailed:
      return "integ failed";
    case kExprNoMemory:
      return "not enough memory";
    case kExprRootFailed:
      return "root failed: the function could not be evaluated, or no real root";
    case kExprRootFlat:
      return "root failed: derivative too small";
    case kExprRootNoConverge:
      return "root failed: no convergence in 20 iterations";
    case kExprRootOperands:
      return "root operands that are not scalars, or a failed solve";
    case kExprSveFailed:
      return "sve is not supported";
    case kExprSve2Failed:
      return "sve2 is not supported";
    case kExprBadKind:
      return "a value of a kind outside the list assigned";
    default:
      return "unknown status";
  }
}

CExpressionValue& CExpressionValue::operator=(const CExpressionValue& other) {
  if (this == &other) return *this;
  m_kind = other.m_kind;
  m_scalar = other.m_scalar;
  m_text = other.m_text;
  m_components.Assign(other.m_components);
  m_components.SetName(other.m_components.GetName());
  for (int i = 0; i < 3; ++i) m_componentTexts[i] = other.m_componentTexts[i];
  m_matrix = other.m_matrix;
  m_elementTexts = other.m_elementTexts;
  return *this;
}

CExpressionValue& CExpressionValue::operator=(CExpressionValue&& other) {
  if (this == &other) return *this;
  m_kind = other.m_kind;
  m_scalar = other.m_scalar;
  m_text = std::move(other.m_text);
  // At most three components: copying them costs less than a reallocation.
  m_components.Assign(other.m_components);
  m_components.SetName(other.m_components.GetName());
  for (int i = 0; i < 3; ++i) m_componentTexts[i] = std::move(other.m_componentTexts[i]);
  m_matrix = std::move(other.m_matrix);
  m_elementTexts = std::move(other.m_elementTexts);
  return *this;
}

CExpressionValue CExpressionValue::Scalar(double value) {
  CExpressionValue v;
  v.m_scalar = value;
  return v;
}

CExpressionValue CExpressionValue::Components(int kind, double x, double y, double z) {
  CExpressionValue v;
  v.m_kind = kind;
  const int n = ComponentCount(kind);
  v.m_components.SetSize(n);
  if (n >= 2) {
    v.m_components(1) = x;
    v.m_components(2) = y;
  }
  if (n == 3) v.m_components(3) = z;
  return v;
}

CExpressionValue CExpressionValue::FromMatrix(Matrix&& matrix) {
  CExpressionValue v;
  v.SetMatrix(std::move(matrix));
  return v;
}

CExpressionValue CExpressionValue::FromSharedMatrix(std::shared_ptr<Matrix> matrix) {
  CExpressionValue v;
  v.SetSharedMatrix(std::move(matrix));
  return v;
}

void CExpressionValue::ClearComponentTexts() {
  for (std::string& t : m_componentTexts) t.clear();
}

const CExpressionValue::Matrix& CExpressionValue::GetMatrix() const {
  static const Matrix kEmpty;
  return m_matrix ? *m_matrix : kEmpty;
}

CExpressionValue::Matrix& CExpressionValue::MutableMatrix() {
  if (!m_matrix) {
    m_matrix = std::make_shared<Matrix>();
  } else if (m_matrix.use_count() > 1) {
    auto copy = std::make_shared<Matrix>();
    copy->Assign(*m_matrix);
    m_matrix = std::move(copy);
  }
  return *m_matrix;
}

void CExpressionValue::SetMatrix(Matrix&& matrix) {
  m_kind = kKindMatrix;
  m_matrix = std::make_shared<Matrix>(std::move(matrix));
}

void CExpressionValue::SetSharedMatrix(std::shared_ptr<Matrix> matrix) {
  m_kind = kKindMatrix;
  m_matrix = std::move(matrix);
}

CExpressionValue::Matrix CExpressionValue::TakeMatrix() {
  std::shared_ptr<Matrix> held = std::move(m_matrix);
  if (!held) return Matrix();
  if (held.use_count() == 1) return Matrix(std::move(*held));
  Matrix copy;
  copy.Assign(*held);
  return copy;
}

void CExpressionValue::SetElementTexts(TextMatrix&& texts) {
  m_elementTexts = std::make_shared<const TextMatrix>(std::move(texts));
}

namespace {

std::string ComponentList(const CVector<double>& c) {
  std::string s = "(";
  for (int i = 1; i <= c.GetSize(); ++i) {
    if (i > 1) s += ", ";
    s += Format("%g", c(i));
  }
  return s + ")";
}

}  // namespace

std::string CExpressionValue::ToText() const {
  switch (m_kind) {
    case kKindVector:
    case kKindVector2d:
      return "vector " + ComponentList(m_components);
    case kKindPoint:
    case kKindPoint2d:
      return "point " + ComponentList(m_components);
    case kKindMatrix: {
      const Matrix& m = GetMatrix();
      std::string s = Format("matrix %d x %d", m.GetRows(), m.GetColumns());
      // Right-align each column to its widest element.
      std::vector<std::vector<std::string>> cells(m.GetRows());
      std::vector<size_t> width(m.GetColumns(), 0);
      for (int i = 1; i <= m.GetRows(); ++i)
        for (int j = 1; j <= m.GetColumns(); ++j) {
          cells[i - 1].push_back(Format("%g", m(i, j)));
          width[j - 1] = std::max(width[j - 1], cells[i - 1].back().size());
        }
      for (int i = 0; i < m.GetRows(); ++i) {
        s += '\n';
        for (int j = 0; j < m.GetColumns(); ++j) {
          s += "  ";
          s.append(width[j] - cells[i][j].size(), ' ');
          s += cells[i][j];
        }
      }
      return s;
    }
    default:
      return Format("%g", m_scalar);
  }
}

}  // namespace olm
