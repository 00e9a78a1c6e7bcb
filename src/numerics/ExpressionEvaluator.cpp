#include "numerics/ExpressionEvaluator.hpp"

#include <locale.h>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <new>

#include "numerics/ExpressionFunctions.hpp"
#include "numerics/ExpressionOperators.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsDelimiterChar(char c) {
  switch (c) {
    case '+':
    case '-':
    case '*':
    case '/':
    case '%':
    case '^':
    case '=':
    case '(':
    case ')':
    case '@':
    case ',':
      return true;
    default:
      return false;
  }
}
// Characters that end a name or a number: the delimiters other than "," are
// joined by "," itself and every white-space character.
bool EndsToken(char c) {
  return IsDelimiterChar(c) || IsSpace(c);
}

std::string Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

// A complete decimal number: digits, an optional point and fraction, an
// optional exponent with optional sign and digits.  Converted in the "C"
// locale whatever the program's locale is.
bool ConvertNumber(const std::string& token, double& value) {
  std::size_t i = 0;
  const std::size_t n = token.size();
  auto digits = [&] {
    const std::size_t start = i;
    while (i < n && IsDigit(token[i])) ++i;
    return i > start;
  };
  if (!digits()) return false;
  if (i < n && token[i] == '.') {
    ++i;
    digits();
  }
  if (i < n && (token[i] == 'e' || token[i] == 'E')) {
    ++i;
    if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
    if (!digits()) return false;
  }
  if (i != n) return false;
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  value = strtod_l(token.c_str(), nullptr, cLocale);
  return true;
}

bool IsValidVariableName(std::string_view name) {
  if (name.empty() || !IsLetter(name[0])) return false;
  for (char c : name)
    if (!IsLetter(c) && !IsDigit(c) && c != '_' && c != ' ') return false;
  for (std::string_view f : CExpressionEvaluator::FunctionNames())
    if (f == name) return false;
  return true;
}

}  // namespace

bool IVariableResolver::Describe(std::string_view name, int& kind, int& rows, int& columns) {
  CExpressionValue value;
  if (!Resolve(name, value)) return false;
  kind = value.GetKind();
  rows = value.GetRows();
  columns = value.GetColumns();
  return true;
}

// ---- Construction and the variable table -------------------------------------

CExpressionEvaluator::CExpressionEvaluator()
    : m_ownShared(std::make_unique<CShared>()), m_shared(m_ownShared.get()) {}

CExpressionEvaluator::CExpressionEvaluator(CShared* shared, int depth)
    : m_depth(depth), m_shared(shared) {}

CExpressionEvaluator::~CExpressionEvaluator() = default;

const std::vector<std::string_view>& CExpressionEvaluator::FunctionNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> v;
    for (int id = 0; id < kFunctionTableSize; ++id) v.push_back(GetFunctionInfo(id).name);
    return v;
  }();
  return names;
}

int CExpressionEvaluator::ClassifyName(std::string_view name) {
  const int id = FindFunction(name);
  return id < 0 ? kTokenName : GetFunctionInfo(id).tokenClass;
}

const CExpressionValue* CExpressionEvaluator::FindVariable(std::string_view name) const {
  const auto it = m_variables.find(name);
  return it == m_variables.end() ? nullptr : &it->second;
}

void CExpressionEvaluator::SetVariable(std::string_view name, CExpressionValue value) {
  if (ComponentCount(value.GetKind())) value.GetComponents().SetName(std::string(name));
  const auto it = m_variables.find(name);
  if (it != m_variables.end())
    it->second = std::move(value);
  else
    m_variables.emplace(std::string(name), std::move(value));
}

bool CExpressionEvaluator::RemoveVariable(std::string_view name) {
  const auto it = m_variables.find(name);
  if (it == m_variables.end()) return false;
  m_variables.erase(it);
  return true;
}

bool CExpressionEvaluator::TakeVariable(std::string_view name, CExpressionValue& value) {
  const auto it = m_variables.find(name);
  if (it == m_variables.end()) return false;
  value = std::move(it->second);
  m_variables.erase(it);
  return true;
}

bool CExpressionEvaluator::LookUp(std::string_view name, CExpressionValue& value) {
  const auto it = m_variables.find(name);
  if (it != m_variables.end()) {
    value = it->second;
    return true;
  }
  return m_resolver && m_resolver->Resolve(name, value) && IsValidKind(value.GetKind());
}

// ---- Scanning ------------------------------------------------------------------

void CExpressionEvaluator::SetText(std::string_view text) {
  m_text.assign(text.data(), text.size());
  m_pos = m_tokenStart = 0;
  m_token.clear();
  m_class = kTokenEnd;
  m_delimiter = 0;
  m_function = -1;
}

int CExpressionEvaluator::NextToken() {
  m_token.clear();
  m_delimiter = 0;
  m_function = -1;
  const std::size_t n = m_text.size();
  while (m_pos < n && IsSpace(m_text[m_pos])) ++m_pos;
  m_tokenStart = m_pos;
  m_class = kTokenEnd;
  if (m_pos >= n) return kExprOk;

  const char c = m_text[m_pos];
  if (IsDelimiterChar(c)) {
    m_token.assign(1, c);
    m_delimiter = c;
    m_class = kTokenDelimiter;
    ++m_pos;
    return kExprOk;
  }
  std::size_t end = m_pos + 1;
  if (IsLetter(c)) {
    while (end < n && !EndsToken(m_text[end])) ++end;
  } else if (IsDigit(c)) {
    // A sign right after an exponent letter belongs to the number.
    while (end < n) {
      const char d = m_text[end];
      const char previous = m_text[end - 1];
      if (EndsToken(d) && !((d == '+' || d == '-') && (previous == 'e' || previous == 'E'))) break;
      ++end;
    }
  } else {
    return m_status = kExprSyntax;
  }
  if (end - m_pos > static_cast<std::size_t>(kMaxTokenLength)) return m_status = kExprSyntax;
  m_token.assign(m_text, m_pos, end - m_pos);
  m_pos = end;
  if (IsDigit(c)) {
    m_class = kTokenNumber;
  } else {
    m_function = FindFunction(m_token);
    m_class = m_function < 0 ? kTokenName : GetFunctionInfo(m_function).tokenClass;
  }
  return kExprOk;
}

// ---- Statements ------------------------------------------------------------------

int CExpressionEvaluator::Evaluate(std::string_view text, CExpressionValue& result) {
  result = CExpressionValue();
  if (text.size() > static_cast<std::size_t>(kMaxStatementLength)) return m_status = kExprTooLong;
  if (m_depth == 0) {
    m_shared->evaluations = 0;
    m_shared->work.Reset();
  }
  SetText(text);
  CExpressionValue value;
  try {
    m_status = ParseStatement(value);
  } catch (const std::bad_alloc&) {
    // A matrix too large for the memory: the statement fails, nothing changes.
    m_status = kExprNoMemory;
    return m_status;
  }
  if (m_status == kExprOk) result = std::move(value);
  return m_status;
}

int CExpressionEvaluator::EvaluateScalar(std::string_view text, double& value) {
  CExpressionValue result;
  const int status = Evaluate(text, result);
  if (status == kExprOk) value = result.IsScalar() ? result.GetScalar() : 0.0;
  return status;
}

int CExpressionEvaluator::ParseStatement(CExpressionValue& value) {
  if (int st = NextToken()) return st;
  if (m_class == kTokenEnd) return kExprEmpty;

  std::string name;
  if (m_class == kTokenName) {
    const std::size_t firstStart = m_tokenStart;
    name = m_token;
    if (int st = NextToken()) return st;
    if (IsDelimiter('=')) {
      if (int st = NextToken()) return st;
    } else {
      // Not an assignment: scan the first token again.
      name.clear();
      m_pos = firstStart;
      if (int st = NextToken()) return st;
    }
  }
  const std::size_t expressionStart = m_tokenStart;
  if (int st = ParseExpression(value)) return st;
  if (m_class != kTokenEnd) return kExprSyntax;
  value.SetText(Trim(std::string_view(m_text).substr(expressionStart)));
  if (!name.empty()) return Assign(name, value);
  return kExprOk;
}

int CExpressionEvaluator::Assign(const std::string& name, CExpressionValue& value) {
  if (!IsValidVariableName(name)) return kExprBadName;
  if (!IsValidKind(value.GetKind())) return kExprBadKind;
  if (value.IsMatrix()) {
    // A name that holds a matrix keeps its dimensions.
    int kind = -1, rows = 0, columns = 0;
    if (const CExpressionValue* old = FindVariable(name)) {
      kind = old->GetKind();
      rows = old->GetRows();
      columns = old->GetColumns();
    } else if (m_resolver && !m_resolver->Describe(name, kind, rows, columns)) {
      kind = -1;
    }
    if (kind == kKindMatrix && (rows != value.GetRows() || columns != value.GetColumns()))
      return kExprIncompatible;
  }
  SetVariable(name, value);
  if (ComponentCount(value.GetKind())) value.GetComponents().SetName(name);
  return kExprOk;
}

// ---- Expressions -------------------------------------------------------------------

int CExpressionEvaluator::ParseExpression(CExpressionValue& value) {
  if (int st = ParseTerm(value)) return st;
  while (IsDelimiter('+') || IsDelimiter('-')) {
    const bool subtract = m_delimiter == '-';
    if (int st = NextToken()) return st;
    CExpressionValue right;
    if (int st = ParseTerm(right)) return st;
    if (int st = AddValues(value, right, subtract)) return st;
  }
  return kExprOk;
}

int CExpressionEvaluator::ParseTerm(CExpressionValue& value) {
  if (int st = ParseSigned(value)) return st;
  while (IsDelimiter('*') || IsDelimiter('/') || IsDelimiter('%') || IsDelimiter('@')) {
    const char op = m_delimiter;
    if (int st = NextToken()) return st;
    CExpressionValue right;
    if (int st = ParseSigned(right)) return st;
    int st = kExprOk;
    switch (op) {
      case '*':
        st = MultiplyValues(value, right, m_shared->work);
        break;
      case '/':
        st = DivideValues(value, right);
        break;
      case '%':
        st = RemainderValues(value, right);
        break;
      default:
        st = CrossValues(value, right);
        break;
    }
    if (st) return st;
  }
  return kExprOk;
}

int CExpressionEvaluator::ParseSigned(CExpressionValue& value) {
  bool negate = false;
  if (IsDelimiter('+') || IsDelimiter('-')) {
    negate = m_delimiter == '-';
    if (int st = NextToken()) return st;
  }
  if (int st = ParsePower(value)) return st;
  if (negate) NegateValue(value);
  return kExprOk;
}

int CExpressionEvaluator::ParsePower(CExpressionValue& value) {
  if (int st = ParsePrimary(value)) return st;
  // After a non-scalar the "^" is left to the caller, where it is out of place.
  if (!IsDelimiter('^') || !value.IsScalar()) return kExprOk;
  if (int st = NextToken()) return st;
  CExpressionValue exponent;
  if (int st = ParsePower(exponent)) return st;
  return PowerValues(value, exponent);
}

int CExpressionEvaluator::ParsePrimary(CExpressionValue& value) {
  switch (m_class) {
    case kTokenDelimiter:
      if (!IsDelimiter('(')) return kExprSyntax;
      if (int st = NextToken()) return st;
      if (int st = ParseExpression(value)) return st;
      if (!IsDelimiter(')')) return kExprMissingParen;
      return NextToken();
    case kTokenNumber: {
      double x = 0.0;
      if (!ConvertNumber(m_token, x)) return kExprBadNumber;
      value = CExpressionValue::Scalar(x);
      return NextToken();
    }
    case kTokenName:
      if (!LookUp(m_token, value)) return kExprUnknownName;
      return NextToken();
    case kTokenFunction:
      return ParseFunction(value);
    case kTokenTwoArgFunction:
    case kTokenConstructor:
      return ParseListFunction(value);
    case kTokenVectorEquation:
      // Vector equations are reserved but not supported.
      return m_function == kFnSve ? kExprSveFailed : kExprSve2Failed;
    default:
      return kExprSyntax;
  }
}

int CExpressionEvaluator::ParseFunction(CExpressionValue& value) {
  const int function = m_function;
  if (int st = NextToken()) return st;
  if (!IsDelimiter('(')) return kExprNoArgument;
  if (int st = NextToken()) return st;
  if (int st = ParseExpression(value)) return st;
  if (!IsDelimiter(')')) return kExprMissingParen;
  if (int st = NextToken()) return st;
  return ApplyFunction(function, value, m_shared->work);
}

template <class Method>
bool CExpressionEvaluator::RunOnFunctionText(const std::string& text, Method method) {
  if (m_depth >= kMaxMethodNesting) return false;
  // A fresh evaluator: the function sees x, numbers and functions only.
  CExpressionEvaluator child(m_shared, m_depth + 1);
  CExpressionValue fx;
  const RealFunction f = [&](double x, double& y) {
    if (++m_shared->evaluations > m_shared->evaluationLimit) return false;
    double ignored = 0.0;
    // x goes over in full precision: six significant digits would spoil the
    // differences of diff and root (and make nested derivatives meaningless).
    if (child.EvaluateScalar(Format("x=%.17g", x), ignored) != kExprOk) return false;
    if (child.Evaluate(text, fx) != kExprOk || !fx.IsScalar()) return false;
    y = fx.GetScalar();
    return true;
  };
  return method(f);
}

int CExpressionEvaluator::ParseListFunction(CExpressionValue& value) {
  const int function = m_function;
  if (int st = NextToken()) return st;
  if (!IsDelimiter('(')) return kExprNoArgument;
  if (function == kFnMat) return ParseMat(value);

  const CFunctionInfo& info = GetFunctionInfo(function);
  std::vector<CFunctionArgument> args(info.arity);
  std::string raw;
  if (int st = ReadArguments(info.arity, info.firstRaw, args, raw)) return st;
  if (!info.firstRaw)
    return ApplyListFunction(function, args, m_shared->random, m_shared->work, value);

  // The numeric methods on a function text in x.
  const CExpressionValue& a = args[1].value;
  switch (function) {
    case kFnDiff: {
      if (!a.IsScalar()) return kExprDomain;
      double d = 0.0;
      const bool ok = RunOnFunctionText(
          raw, [&](const RealFunction& f) { return DifferentiateFivePoint(f, a.GetScalar(), d); });
      if (!ok) return kExprDiffFailed;
      value = CExpressionValue::Scalar(d);
      return kExprOk;
    }
    case kFnInteg: {
      const CExpressionValue& b = args[2].value;
      if (!a.IsScalar() || !b.IsScalar() || !(b.GetScalar() > a.GetScalar()))
        return kExprIncompatible;
      double integral = 0.0;
      const bool ok = RunOnFunctionText(raw, [&](const RealFunction& f) {
        return IntegrateGaussLegendre(f, a.GetScalar(), b.GetScalar(), integral);
      });
      if (!ok) return kExprIntegFailed;
      value = CExpressionValue::Scalar(integral);
      return kExprOk;
    }
    default: {  // root
      if (!a.IsScalar() || !args[2].value.IsScalar()) return kExprRootOperands;
      double root = 0.0;
      RootResult result = RootResult::kEvaluationFailed;
      RunOnFunctionText(raw, [&](const RealFunction& f) {
        result = NewtonRoot(f, a.GetScalar(), root);
        return result == RootResult::kFound;
      });
      switch (result) {
        case RootResult::kFound:
          value = CExpressionValue::Scalar(root);
          return kExprOk;
        case RootResult::kFlatDerivative:
          return kExprRootFlat;
        case RootResult::kNoConvergence:
          return kExprRootNoConverge;
        default:
          return kExprRootFailed;
      }
    }
  }
}

int CExpressionEvaluator::ReadArguments(int count, bool firstRaw,
                                        std::vector<CFunctionArgument>& args, std::string& raw) {
  // The current token is "(".
  for (int k = 0; k < count; ++k) {
    if (k == 0 && firstRaw) {
      if (int st = ReadRawText(raw)) return st;
    } else {
      if (int st = NextToken()) return st;
      const std::size_t start = m_tokenStart;
      if (int st = ParseExpression(args[k].value)) return st;
      args[k].text = Trim(std::string_view(m_text).substr(start, m_tokenStart - start));
    }
    if (!IsDelimiter(',') && !IsDelimiter(')')) return kExprBadSeparator;
    if (k + 1 < count && IsDelimiter(')')) return kExprBadSeparator;   // too few arguments
    if (k + 1 == count && IsDelimiter(',')) return kExprMissingParen;  // too many
  }
  return NextToken();
}

int CExpressionEvaluator::ReadRawText(std::string& raw) {
  const std::size_t start = m_pos;
  int depth = 0;
  for (std::size_t i = start; i < m_text.size(); ++i) {
    const char c = m_text[i];
    if (c == '(') {
      ++depth;
    } else if ((c == ')' && depth-- == 0) || (c == ',' && depth == 0)) {
      raw.assign(m_text, start, i - start);
      // The delimiter that ended the text becomes the current token.
      m_token.assign(1, c);
      m_delimiter = c;
      m_class = kTokenDelimiter;
      m_function = -1;
      m_tokenStart = i;
      m_pos = i + 1;
      return kExprOk;
    }
  }
  return kExprMissingParen;
}

int CExpressionEvaluator::CountListedElements() const {
  int depth = 0, count = 1;
  for (std::size_t i = m_pos; i < m_text.size(); ++i) {
    const char c = m_text[i];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth-- == 0) break;
    } else if (c == ',' && depth == 0) {
      ++count;
    }
  }
  return count;
}

int CExpressionEvaluator::ParseMat(CExpressionValue& value) {
  // The current token is "(".  Dimensions first.
  CExpressionValue dims[2];
  for (CExpressionValue& d : dims) {
    if (int st = NextToken()) return st;
    if (int st = ParseExpression(d)) return st;
    if (!IsDelimiter(',') && !IsDelimiter(')')) return kExprBadSeparator;
    if (&d == &dims[0] && IsDelimiter(')')) return kExprBadSeparator;
  }
  for (const CExpressionValue& d : dims)
    if (!d.IsScalar() || !(d.GetScalar() >= 1.0)) return kExprBadMatDims;
  const double rowCount = std::trunc(dims[0].GetScalar());
  const double columnCount = std::trunc(dims[1].GetScalar());
  if (IsDelimiter(')')) return kExprDomain;  // no elements at all
  // Dimensions beyond both the elements listed and the longest statement
  // could never be filled: refuse them before allocating.  Within that bound
  // a short list fails at its first missing element (status 7), however the
  // statement is spaced.
  const double listed = static_cast<double>(CountListedElements());
  if (rowCount * columnCount > std::max(listed, double(kMaxStatementLength)))
    return kExprBadMatDims;
  const int rows = static_cast<int>(rowCount);
  const int columns = static_cast<int>(columnCount);
  const int count = rows * columns;

  CMatrix<double> m(rows, columns);
  CMatrix<std::string> texts(rows, columns);
  for (int k = 0; k < count; ++k) {
    if (IsDelimiter(')')) return kExprDomain;  // the list ended before this element
    if (int st = NextToken()) return st;
    const std::size_t start = m_tokenStart;
    CExpressionValue element;
    if (ParseExpression(element) != kExprOk || !element.IsScalar()) return kExprDomain;
    if (!IsDelimiter(',') && !IsDelimiter(')')) return kExprBadSeparator;
    const int i = k / columns + 1, j = k % columns + 1;
    m(i, j) = element.GetScalar();
    texts(i, j) = Trim(std::string_view(m_text).substr(start, m_tokenStart - start));
  }
  if (!IsDelimiter(')')) return kExprMissingParen;  // more elements than the dimensions hold
  value = CExpressionValue::FromMatrix(std::move(m));
  value.SetElementTexts(std::move(texts));
  return NextToken();
}

}  // namespace olm
