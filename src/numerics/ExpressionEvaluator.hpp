#pragma once
// CExpressionEvaluator: the calculator language.
//
// One statement at a time: an optional assignment "name =" followed by an
// expression over numbers, variables, vectors, points, matrices and the
// function library.  Evaluation is recursive descent that computes while it
// parses; recursion depth is bounded by the statement length (512
// characters).  The evaluator holds its variables in a table; names it does
// not hold itself it asks an optional IVariableResolver for, so that a
// caller with much data (the raw-data editor's columns) can produce a
// variable's value only when a statement uses it.
//
// Nothing here shows a message: callers turn a non-zero status into their own
// text (ExpressionStatusText gives the meaning of each code).
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "numerics/ExpressionOperators.hpp"
#include "numerics/ExpressionValue.hpp"
#include "numerics/NumericMethods.hpp"

namespace olm {

struct CFunctionArgument;

// Supplies variables that an evaluator does not hold in its own table.
//
// The evaluator looks in its table first and asks the resolver only for names
// it does not find there.  An assignment always stores into the table, so an
// assigned name hides the resolver's until the caller removes it from the
// table (RemoveVariable or TakeVariable).
class IVariableResolver {
 public:
  virtual ~IVariableResolver() = default;

  // Fills value with the variable called name and returns true, or returns
  // false when the name is unknown.  A matrix can be handed out with shared
  // storage (CExpressionValue::FromSharedMatrix): the evaluator never writes
  // into storage that another holder shares.
  virtual bool Resolve(std::string_view name, CExpressionValue& value) = 0;

  // Kind and matrix shape of a known variable, without producing its
  // storage; the evaluator needs them to refuse storing a matrix of other
  // dimensions under the name.  The default resolves the value.
  virtual bool Describe(std::string_view name, int& kind, int& rows, int& columns);
};

class CExpressionEvaluator {
 public:
  static constexpr int kMaxStatementLength = 512;
  static constexpr int kMaxTokenLength = 256;
  // Numeric methods (diff, integ, root) may appear in the function text of
  // another up to this depth; deeper ones fail with their own status.
  static constexpr int kMaxMethodNesting = 3;
  // Evaluations of function texts that one top-level statement may make in
  // all its numeric methods together, by default; beyond it the method fails.
  static constexpr long kDefaultEvaluationLimit = 20000;

  // Token classes.
  enum TokenClass : int {
    kTokenEnd = 0,
    kTokenDelimiter = 1,
    kTokenName = 2,
    kTokenNumber = 3,
    kTokenFunction = 4,        // one-argument function
    kTokenTwoArgFunction = 5,  // ang, ran, uv, mat, solve, diff
    kTokenConstructor = 6,     // vec, vec2d, pnt, pnt2d, integ, root, root2, root3
    kTokenVectorEquation = 7,  // sve, sve2
  };

  CExpressionEvaluator();
  ~CExpressionEvaluator();
  CExpressionEvaluator(const CExpressionEvaluator&) = delete;
  CExpressionEvaluator& operator=(const CExpressionEvaluator&) = delete;

  // Evaluates one statement and returns its status.  On success result holds
  // the statement's value (its text is the expression's text) and an
  // assignment has stored the variable; on failure result is a scalar 0 and
  // every variable keeps its value.
  int Evaluate(std::string_view text, CExpressionValue& result);
  // The same, giving only the scalar part of the result (0 for other kinds);
  // value is left alone on failure.
  int EvaluateScalar(std::string_view text, double& value);
  // Status of the last Evaluate (or scan).
  int GetStatus() const { return m_status; }

  // Scanning on its own: SetText starts at the beginning of text and
  // NextToken advances to the next token, returning 0 or status 1.
  void SetText(std::string_view text);
  int NextToken();
  const std::string& GetToken() const { return m_token; }
  int GetTokenClass() const { return m_class; }

  // The variable table.
  const CExpressionValue* FindVariable(std::string_view name) const;
  // Stores value under name as given (no checks); vectors take the name.
  void SetVariable(std::string_view name, CExpressionValue value);
  bool RemoveVariable(std::string_view name);
  // Moves the variable out of the table; false when the table lacks it.
  bool TakeVariable(std::string_view name, CExpressionValue& value);
  void ClearVariables() { m_variables.clear(); }
  const std::map<std::string, CExpressionValue, std::less<>>& GetVariables() const {
    return m_variables;
  }

  // The resolver asked for names the table lacks (null for none); not owned.
  void SetResolver(IVariableResolver* resolver) { m_resolver = resolver; }
  IVariableResolver* GetResolver() const { return m_resolver; }

  // Restarts the random generator of `ran` (every evaluator starts from the
  // same fixed seed).
  void SeedRandom(std::int32_t seed) { m_shared->random.Seed(seed); }
  // Sets the number of function-text evaluations one statement may make.
  void SetEvaluationLimit(long limit) { m_shared->evaluationLimit = limit; }
  // Sets the multiply-adds that the matrix products, determinants, solves and
  // eigen computations of one statement may spend together.
  void SetWorkLimit(double limit) { m_shared->work.SetLimit(limit); }

  // The 44 names of the function table, in order.
  static const std::vector<std::string_view>& FunctionNames();
  // Token class of a name: 4 to 7 for the function names, 2 otherwise.
  static int ClassifyName(std::string_view name);

 private:
  // State shared by an evaluator and the evaluators its numeric methods create.
  struct CShared {
    CCombinedRandom random;
    long evaluations = 0;
    long evaluationLimit = kDefaultEvaluationLimit;
    CWorkBudget work;
  };

  CExpressionEvaluator(CShared* shared, int depth);

  int ParseStatement(CExpressionValue& value);
  int ParseExpression(CExpressionValue& value);
  int ParseTerm(CExpressionValue& value);
  int ParseSigned(CExpressionValue& value);
  int ParsePower(CExpressionValue& value);
  int ParsePrimary(CExpressionValue& value);
  int ParseFunction(CExpressionValue& value);
  int ParseListFunction(CExpressionValue& value);
  int ParseMat(CExpressionValue& value);
  // The elements left in the current argument list: its commas at depth 0
  // up to the list's closing ")", plus one.
  int CountListedElements() const;
  int ReadArguments(int count, bool firstRaw, std::vector<CFunctionArgument>& args,
                    std::string& raw);
  int ReadRawText(std::string& raw);
  int Assign(const std::string& name, CExpressionValue& value);
  bool LookUp(std::string_view name, CExpressionValue& value);
  // Runs a numeric method on the function text f(x) in a fresh evaluator;
  // f fails when the text cannot be evaluated, the nesting is too deep or
  // the statement's budget of evaluations is spent.
  template <class Method>
  bool RunOnFunctionText(const std::string& text, Method method);

  bool IsDelimiter(char c) const { return m_class == kTokenDelimiter && m_delimiter == c; }

  std::string m_text;
  std::size_t m_pos = 0;
  std::size_t m_tokenStart = 0;
  std::string m_token;
  int m_class = kTokenEnd;
  char m_delimiter = 0;
  int m_function = -1;  // function of a class 4-7 token
  int m_status = 0;

  std::map<std::string, CExpressionValue, std::less<>> m_variables;
  IVariableResolver* m_resolver = nullptr;

  int m_depth = 0;  // numeric methods around this evaluator's statements
  std::unique_ptr<CShared> m_ownShared;
  CShared* m_shared = nullptr;
};

}  // namespace olm
