#pragma once
// The method families: smoothing filters, fit types (and the fit choices of
// the zone dialog and `olm`), outlier methods, curve kinds and best-fit end
// types.  Each family is an `enum class` and one table with an entry per
// value, in the order of the enum, which is also the order of the dialog's
// choice list.  An entry holds the number that a zone's settings and the
// project file store, the keyword of `olm` and its JSON, the texts the
// dialog and the report show, the parameter ranges and enabling rules.
// Everything else reads these tables; adding a method is one entry here plus
// its algorithm (and its case in the switch that dispatches to it).
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/EngineError.hpp"

namespace olm {

// ---------------------------------------------------------------- table helpers

// True when entry i of the table holds the enum value i.
template <typename Table>
constexpr bool InEnumOrder(const Table& table) {
  for (std::size_t i = 0; i < table.size(); ++i)
    if (static_cast<std::size_t>(table[i].value) != i) return false;
  return true;
}

// The entry of an enum value.
template <typename Table, typename Enum>
constexpr const auto& EntryOf(const Table& table, Enum value) {
  return table[static_cast<std::size_t>(value)];
}

// The entry that stores `stored`; null for a number no method has.
template <typename Table>
constexpr const auto* FindStored(const Table& table, int stored) {
  for (const auto& e : table)
    if (e.stored == stored) return &e;
  return static_cast<const typename Table::value_type*>(nullptr);
}

// Position of the entry whose keyword is `word`; -1 for none.
template <typename Table>
constexpr int KeywordIndex(const Table& table, std::string_view word) {
  for (std::size_t i = 0; i < table.size(); ++i)
    if (word == table[i].keyword) return static_cast<int>(i);
  return -1;
}

// Position of the entry that stores `stored`; -1 for none.
template <typename Table>
constexpr int StoredIndex(const Table& table, int stored) {
  for (std::size_t i = 0; i < table.size(); ++i)
    if (table[i].stored == stored) return static_cast<int>(i);
  return -1;
}

// One text member of every entry, in table order (choice lists).
template <typename Entry, std::size_t N>
constexpr std::array<const char*, N> ColumnOf(const std::array<Entry, N>& table,
                                              const char* Entry::*member) {
  std::array<const char*, N> texts{};
  for (std::size_t i = 0; i < N; ++i) texts[i] = table[i].*member;
  return texts;
}

// The texts of a member joined: "a|b|c" with one separator, "a, b or c" with
// a different last one.
template <typename Entry, std::size_t N>
std::string JoinColumn(const std::array<Entry, N>& table, const char* Entry::*member,
                       std::string_view separator, std::string_view last) {
  std::string text;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) text += i + 1 == N ? last : separator;
    text += table[i].*member;
  }
  return text;
}

// ---------------------------------------------------------------- smoothing filters

enum class SmoothingFilter {
  kNone,
  kMedian,
  kSimpleAverage,
  kPolynomialAverage,
  kLoess,
  kRobustLoess,
  kLowess,
  kRobustLowess,
};

// Which controls of the zone dialog a smoothing choice enables.
struct CZoneEnabling {
  bool order = true;
  bool points = true;
  bool repeats = true;
  bool outliers = true;
};

struct CSmoothingFilterInfo {
  SmoothingFilter value;
  int stored;
  const char* keyword;  // `olm` (smooth=...) and JSON
  const char* choice;   // "Smooth Data" entry of the zone dialog
  const char* name;     // the report's and the summary's name
  // Window (number of points) the engine accepts, and the code it reports
  // for another; odd when oddWindow.
  int minWindow;
  int maxWindow;
  bool oddWindow;
  int windowError;
  bool windowBeforeRepeats;  // the window is checked before the repeats
  bool wholeWindow;          // the zone must hold at least a window of points
  CZoneEnabling enabling;    // usesOrder = enabling.order
};

inline constexpr int kMinRepeats = 1;
inline constexpr int kMaxSmoothingWindow = 25;
// The dialog's own limits on "# of Points" (odd, between these).
inline constexpr int kDialogMinPoints = 3;
inline constexpr int kDialogMaxPoints = 25;

// clang-format off
inline constexpr std::array<CSmoothingFilterInfo, 8> kSmoothingFilters = {{
    // value, stored, keyword, choice, name;
    // window min, max, odd, its error, before repeats, whole window; enabling
    {SmoothingFilter::kNone, 0, "none", "No", "None",
     0, 0, false, kErrSmoothingFilterName, false, false, {false, false, false, true}},
    {SmoothingFilter::kMedian, 1, "median", "Median", "Median",
     3, kMaxSmoothingWindow, false, kErrSmoothingWindow, false, false, {false, true, true, true}},
    {SmoothingFilter::kSimpleAverage, 2, "sma", "SMA", "Simple Moving Average",
     3, kMaxSmoothingWindow, true, kErrSmoothingWindow, false, false, {false, true, true, true}},
    {SmoothingFilter::kPolynomialAverage, 3, "pma", "PMA", "Polynomial Moving Average",
     5, kMaxSmoothingWindow, true, kErrPmaWindow, false, false, {true, true, true, true}},
    {SmoothingFilter::kLoess, 4, "loess", "Loess", "Loess",
     5, kMaxSmoothingWindow, true, kErrLoessWindow, true, true, {false, true, true, true}},
    {SmoothingFilter::kRobustLoess, 5, "robust-loess", "Robust Loess", "Robust Loess",
     5, kMaxSmoothingWindow, true, kErrLoessWindow, true, true, {false, true, true, false}},
    {SmoothingFilter::kLowess, 6, "lowess", "Lowess", "Lowess",
     5, kMaxSmoothingWindow, true, kErrLoessWindow, true, true, {false, true, true, true}},
    {SmoothingFilter::kRobustLowess, 7, "robust-lowess", "Robust Lowess", "Robust Lowess",
     5, kMaxSmoothingWindow, true, kErrLoessWindow, true, true, {false, true, true, false}},
}};
// clang-format on
static_assert(InEnumOrder(kSmoothingFilters));

constexpr const CSmoothingFilterInfo& Info(SmoothingFilter f) {
  return EntryOf(kSmoothingFilters, f);
}

// Polynomial orders of the polynomial moving average: the dialog's "Order"
// choices, and the smallest window of each (its end points keep their values).
struct CPolynomialOrderInfo {
  int order;
  const char* keyword;  // `olm` (order=...)
  const char* choice;
  int minWindow;
};

inline constexpr std::array<CPolynomialOrderInfo, 2> kPolynomialOrders = {{
    {3, "3", "Order: 3", 5},
    {5, "5", "Order: 5", 7},
}};

constexpr const CPolynomialOrderInfo* FindPolynomialOrder(int order) {
  for (const auto& o : kPolynomialOrders)
    if (o.order == order) return &o;
  return nullptr;
}

// ---------------------------------------------------------------- fit types

enum class FitType { kNone, kPolynomial, kExponential, kLogarithmic, kPowerLaw };

struct CFitTypeInfo {
  FitType value;
  int stored;
  const char* keyword;  // JSON "type"
  const char* name;     // summary name when no fit choice matches
  // Degree range of a polynomial; 0, 0 for a fit without a degree.
  int minDegree;
  int maxDegree;
  int coefficients;      // without a degree; with one it is degree + 1
  const char* heading;   // report line; %d is the degree
  const char* equation;  // report line of the two coefficients; null: per degree
};

inline constexpr std::array<CFitTypeInfo, 5> kFitTypes = {{
    {FitType::kNone, 0, "none", "None", 0, 0, 0, nullptr, nullptr},
    {FitType::kPolynomial, 1, "polynomial", "Polynomial", 1, 5, 0,
     "FITTING DATA USING POLYNOMIAL OF ORDER %d", nullptr},
    {FitType::kExponential, 2, "exponential", "Exponential", 0, 0, 2,
     "FITTING DATA USING EXPONENTIAL CURVE, y = a*e^(bx)", "Best fit equation: %g*e^(%g*x)"},
    {FitType::kLogarithmic, 3, "logarithmic", "Logarithmic", 0, 0, 2,
     "FITTING DATA USING LOGARITHMIC CURVE, y = a + b*ln(x)",
     "Best fit equation: y = %g + %g*ln(x)"},
    {FitType::kPowerLaw, 4, "power", "Power Law", 0, 0, 2,
     "FITTING DATA USING POWER LAW CURVE, y = a*x^b", "Best fit equation: y = %g*x^%g"},
}};
static_assert(InEnumOrder(kFitTypes));

constexpr const CFitTypeInfo& Info(FitType f) {
  return EntryOf(kFitTypes, f);
}
constexpr bool HasDegree(const CFitTypeInfo& f) {
  return f.maxDegree > 0;
}
// Coefficients of a fit of this type and degree.
constexpr int CoefficientCount(const CFitTypeInfo& f, int degree) {
  return HasDegree(f) ? degree + 1 : f.coefficients;
}

// The fit choices: the zone dialog's "Fit Type" list and `olm`'s fit=...
// words, each a fit type with its degree.
struct CFitChoiceInfo {
  FitType type;
  int degree;           // 0 for a type without a degree
  const char* keyword;  // `olm` (fit=...)
  const char* choice;   // "Fit Type" entry of the zone dialog
  const char* name;     // the summary's name
};

inline constexpr std::array<CFitChoiceInfo, 9> kFitChoices = {{
    {FitType::kNone, 0, "none", "None", "None"},
    {FitType::kPolynomial, 1, "linear", "Linear Polynomial", "Linear Polynomial"},
    {FitType::kPolynomial, 2, "quadratic", "Quadratic Polynomial", "Quadratic Polynomial"},
    {FitType::kPolynomial, 3, "cubic", "Cubic Polynomial", "Cubic Polynomial"},
    {FitType::kPolynomial, 4, "quartic", "Quartic Polynomial", "Quartic Polynomial"},
    {FitType::kPolynomial, 5, "quintic", "Quintic Polynomial", "Quintic Polynomial"},
    {FitType::kExponential, 0, "exponential", "Exponential - a*e^(bx)", "Exponential"},
    {FitType::kLogarithmic, 0, "logarithmic", "Logarithmic - a*log(bx)", "Logarithmic"},
    {FitType::kPowerLaw, 0, "power", "Power - a*x^b", "Power Law"},
}};

// Position in kFitChoices of a stored fit type and degree (the degree counts
// only for a type that has one); -1 when no choice matches.
constexpr int FitChoiceIndex(int storedType, int degree) {
  const CFitTypeInfo* t = FindStored(kFitTypes, storedType);
  if (!t) return -1;
  for (std::size_t i = 0; i < kFitChoices.size(); ++i)
    if (kFitChoices[i].type == t->value && (!HasDegree(*t) || kFitChoices[i].degree == degree))
      return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------- outlier methods

enum class OutlierMethod { kNone, kChauvenet };

struct COutlierMethodInfo {
  OutlierMethod value;
  int stored;
  const char* keyword;  // `olm` (outliers=...), JSON and the summary
  const char* choice;   // "Outliers" entry of the zone dialog
};

inline constexpr std::array<COutlierMethodInfo, 2> kOutlierMethods = {{
    {OutlierMethod::kNone, 0, "none", "None"},
    {OutlierMethod::kChauvenet, 1, "chauvenet", "Chauvenet"},
}};
static_assert(InEnumOrder(kOutlierMethods));

constexpr const COutlierMethodInfo& Info(OutlierMethod m) {
  return EntryOf(kOutlierMethods, m);
}

// ---------------------------------------------------------------- curve kinds

enum class CurveKind { kRaw, kSmoothed, kFitted };

struct CCurveKindInfo {
  CurveKind value;
  int stored;               // kind number of the curve-style rows and the views
  const char* keyword;      // `olm edit --kind` and the column variables' "_raw"
  const char* jsonWord;     // JSON curve styles
  const char* suffix;       // curve label: title + suffix
  const char* labelPrefix;  // identifier of a curve's label object: prefix + replicate
  const char* group;        // group of the navigation tree
  const char* reportX;      // "Data Points" headings of the report
  const char* reportY;
};

inline constexpr std::array<CCurveKindInfo, 3> kCurveKinds = {{
    {CurveKind::kRaw, 0, "raw", "raw", "-R", "Raw-", "Raw Data", "Raw X", "Raw Y"},
    {CurveKind::kSmoothed, 1, "smt", "smoothed", "-S", "Smt-", "Smoothened Data", "Smooth X",
     "Smooth Y"},
    {CurveKind::kFitted, 2, "fit", "fitted", "-F", "Fit-", "Fitted Data", "Fitted X", "Fitted Y"},
}};
static_assert(InEnumOrder(kCurveKinds));
// Curve kinds number the style rows and the tree's groups in table order.
static_assert(StoredIndex(kCurveKinds, 0) == 0 && StoredIndex(kCurveKinds, 1) == 1 &&
              StoredIndex(kCurveKinds, 2) == 2);

constexpr const CCurveKindInfo& Info(CurveKind k) {
  return EntryOf(kCurveKinds, k);
}

// The kind numbers by name, for code that counts kinds as integers.
inline constexpr int kCurveRaw = Info(CurveKind::kRaw).stored;
inline constexpr int kCurveSmoothed = Info(CurveKind::kSmoothed).stored;
inline constexpr int kCurveFitted = Info(CurveKind::kFitted).stored;

// ---------------------------------------------------------------- best-fit end types

enum class CurveEnd { kExtend, kAverage, kCut };

struct CCurveEndInfo {
  CurveEnd value;
  int stored;           // the end type BuildBestFit takes
  const char* keyword;  // `olm bestfit --end`
  const char* choice;   // "Curve end type" entry of the "Best Fit Input" dialog
};

inline constexpr std::array<CCurveEndInfo, 3> kCurveEnds = {{
    {CurveEnd::kExtend, 1, "extend", "Extend"},
    {CurveEnd::kAverage, 2, "average", "Average"},
    {CurveEnd::kCut, 3, "cut", "Cut"},
}};
static_assert(InEnumOrder(kCurveEnds));

constexpr const CCurveEndInfo& Info(CurveEnd e) {
  return EntryOf(kCurveEnds, e);
}

// ---------------------------------------------------------------- stored numbers by name

// For code that fills a zone's settings directly (tests, builders).
inline constexpr int kSmoothNone = Info(SmoothingFilter::kNone).stored;
inline constexpr int kSmoothMedian = Info(SmoothingFilter::kMedian).stored;
inline constexpr int kSmoothSimpleAverage = Info(SmoothingFilter::kSimpleAverage).stored;
inline constexpr int kSmoothPolynomialAverage = Info(SmoothingFilter::kPolynomialAverage).stored;
inline constexpr int kSmoothLoess = Info(SmoothingFilter::kLoess).stored;
inline constexpr int kSmoothRobustLoess = Info(SmoothingFilter::kRobustLoess).stored;
inline constexpr int kSmoothLowess = Info(SmoothingFilter::kLowess).stored;
inline constexpr int kSmoothRobustLowess = Info(SmoothingFilter::kRobustLowess).stored;
inline constexpr int kFitNone = Info(FitType::kNone).stored;
inline constexpr int kFitPolynomial = Info(FitType::kPolynomial).stored;
inline constexpr int kFitExponential = Info(FitType::kExponential).stored;
inline constexpr int kFitLogarithmic = Info(FitType::kLogarithmic).stored;
inline constexpr int kFitPowerLaw = Info(FitType::kPowerLaw).stored;
inline constexpr int kOutliersNone = Info(OutlierMethod::kNone).stored;
inline constexpr int kOutliersChauvenet = Info(OutlierMethod::kChauvenet).stored;
inline constexpr int kEndExtend = Info(CurveEnd::kExtend).stored;
inline constexpr int kEndAverage = Info(CurveEnd::kAverage).stored;
inline constexpr int kEndCut = Info(CurveEnd::kCut).stored;

// ---------------------------------------------------------------- names of stored numbers

// Report name of a stored smoothing filter; "Unknown" for a number none has.
const char* SmoothingMethodName(int stored);
// `olm` and JSON keywords of stored numbers; "unknown" for a number none has.
const char* SmoothingKeyword(int stored);
const char* OutlierKeyword(int stored);
// JSON "type" of a stored fit type; "unknown" for a number none has.
const char* FitTypeKeyword(int storedType);
// The summary's name: "Linear Polynomial" .. "Power Law", "None";
// "Polynomial" for a degree outside the choices, "Unknown" for an unknown type.
const char* FitName(int storedType, int degree);

}  // namespace olm
