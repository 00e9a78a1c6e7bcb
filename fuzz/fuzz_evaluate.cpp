// libFuzzer target for the calculator: any bytes as statements.
//
// The whole input is evaluated as one statement with the default limits
// (inputs over 512 bytes must be refused with status 13).  When the input
// holds line ends, its lines are also evaluated in order in one evaluator
// that resolves a few small column names, as the raw-data editor's evaluator
// does, so that variables and shared column storage meet every operator.
// Variables let a few lines build large matrices and then spend a full work
// budget on every further line, which only slows the search down: that pass
// runs with smaller limits.  A crash, a sanitizer report, an unknown status
// or a malformed value is a finding.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "numerics/ExpressionEvaluator.hpp"

namespace {

using olm::CExpressionValue;

class CFuzzColumns : public olm::IVariableResolver {
 public:
  CFuzzColumns() {
    for (int c = 0; c < 2; ++c) {
      m_columns[c] = std::make_shared<olm::CMatrix<double>>(8, 1);
      for (int i = 1; i <= 8; ++i) (*m_columns[c])(i, 1) = (c + 1) * 0.5 * i - 3.0;
    }
  }
  bool Resolve(std::string_view name, CExpressionValue& value) override {
    if (name == "ds1_c1_raw") {
      value = CExpressionValue::FromSharedMatrix(m_columns[0]);
    } else if (name == "ds1_c2_raw") {
      value = CExpressionValue::FromSharedMatrix(m_columns[1]);
    } else if (name == "ds2_c1_raw") {
      // Produced fresh on every use.
      olm::CMatrix<double> m(8, 1);
      for (int i = 1; i <= 8; ++i) m(i, 1) = i * i;
      value = CExpressionValue::FromMatrix(std::move(m));
    } else {
      return false;
    }
    return true;
  }
  // The shared columns must never be written through the evaluator.
  void Check() const {
    for (int c = 0; c < 2; ++c)
      for (int i = 1; i <= 8; ++i)
        if ((*m_columns[c])(i, 1) != (c + 1) * 0.5 * i - 3.0) std::abort();
  }

 private:
  std::shared_ptr<olm::CMatrix<double>> m_columns[2];
};

bool KnownStatus(int status) {
  switch (status) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 9:
    case 10:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
    case 23:
    case 24:
    case 26:
    case 27:
      return true;
    default:
      return false;
  }
}

void CheckValue(const CExpressionValue& v) {
  if (!olm::IsValidKind(v.GetKind())) std::abort();
  if (v.GetComponents().GetSize() != olm::ComponentCount(v.GetKind())) std::abort();
  if (v.IsMatrix()) {
    if (v.GetRows() < 1 || v.GetColumns() < 1) std::abort();
    const olm::CMatrix<std::string>* texts = v.GetElementTexts();
    if (texts && (texts->GetRows() != v.GetRows() || texts->GetColumns() != v.GetColumns()))
      std::abort();
  }
}

void Run(olm::CExpressionEvaluator& e, std::string_view statement) {
  CExpressionValue v;
  const int status = e.Evaluate(statement, v);
  if (!KnownStatus(status) || status != e.GetStatus()) std::abort();
  if (statement.size() > 512 && status != 13) std::abort();
  if (status == 0) CheckValue(v);
  (void)v.ToText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  {
    olm::CExpressionEvaluator e;
    Run(e, text);
  }
  if (text.find('\n') != std::string_view::npos) {
    CFuzzColumns columns;
    olm::CExpressionEvaluator e;
    e.SetResolver(&columns);
    e.SetWorkLimit(1e7);
    e.SetEvaluationLimit(2000);
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      Run(e, text.substr(start, end - start));
      start = end + 1;
    }
    for (const auto& [name, value] : e.GetVariables()) CheckValue(value);
    columns.Check();
  }
  return 0;
}
