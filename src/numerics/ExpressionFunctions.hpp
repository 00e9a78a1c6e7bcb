#pragma once
// The calculator's function library: the names, their token classes and
// argument lists, and what each computes on each kind of value.  The numeric
// methods that evaluate a function text (diff, integ, root) and `mat` are
// carried out by the evaluator itself.
#include <string>
#include <string_view>
#include <vector>

#include "numerics/ExpressionOperators.hpp"
#include "numerics/ExpressionValue.hpp"
#include "numerics/NumericMethods.hpp"

namespace olm {

// Function identifiers: the 44 names of the function table in their order,
// then the reserved names that are not in the table.
enum FunctionId : int {
  kFnSin,
  kFnCos,
  kFnTan,
  kFnAsin,
  kFnAcos,
  kFnAtan,
  kFnSqrt,
  kFnAbs,
  kFnLog,
  kFnLn,
  kFnExp,
  kFnInt,
  kFnFact,
  kFnMag,
  kFnNormalize,
  kFnAng,
  kFnVec,
  kFnPnt,
  kFnUv,
  kFnInteg,
  kFnDiff,
  kFnRoot,
  kFnRoot2,
  kFnRoot3,
  kFnMat,
  kFnSolve,
  kFnTpose,
  kFnMax,
  kFnMin,
  kFnTnorm,
  kFnEigen,
  kFnSgn,
  kFnSinh,
  kFnCosh,
  kFnTanh,
  kFnCoth,
  kFnSech,
  kFnCsch,
  kFnRan,
  kFnAvg,
  kFnMedian,
  kFnStdev,
  kFnStdevp,
  kFnDet,
  kFunctionTableSize,  // 44
  kFnVec2d = kFunctionTableSize,
  kFnPnt2d,
  kFnSve,
  kFnSve2,
  kFunctionCount
};

struct CFunctionInfo {
  std::string_view name;
  int tokenClass;  // 4 to 7
  int arity;       // arguments of a fixed list; 1 for class 4; 0 for mat, sve, sve2
  bool firstRaw;   // the first argument is a function text in x, read raw
};

const CFunctionInfo& GetFunctionInfo(int id);
// Identifier of a function or reserved name, -1 for any other name.
int FindFunction(std::string_view name);

// An argument of a list function: its value and its text as written.
struct CFunctionArgument {
  CExpressionValue value;
  std::string text;
};

// A one-argument function (class 4) applied to value, in place; det and
// eigen spend their work from budget.
int ApplyFunction(int id, CExpressionValue& value, CWorkBudget& budget);

// A list function other than diff, integ, root and mat, on evaluated
// arguments (as many as its arity); solve spends its work from budget.
int ApplyListFunction(int id, std::vector<CFunctionArgument>& args, CCombinedRandom& random,
                      CWorkBudget& budget, CExpressionValue& result);

}  // namespace olm
