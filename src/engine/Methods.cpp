#include "engine/Methods.hpp"

namespace olm {

namespace {

// A text of the entry that stores `stored`, or `unknown` when none does.
template <typename Entry, std::size_t N>
const char* TextOf(const std::array<Entry, N>& table, int stored, const char* Entry::*member,
                   const char* unknown) {
  const Entry* e = FindStored(table, stored);
  return e ? e->*member : unknown;
}

}  // namespace

const char* SmoothingMethodName(int stored) {
  return TextOf(kSmoothingFilters, stored, &CSmoothingFilterInfo::name, "Unknown");
}

const char* SmoothingKeyword(int stored) {
  return TextOf(kSmoothingFilters, stored, &CSmoothingFilterInfo::keyword, "unknown");
}

const char* OutlierKeyword(int stored) {
  return TextOf(kOutlierMethods, stored, &COutlierMethodInfo::keyword, "unknown");
}

const char* FitTypeKeyword(int storedType) {
  return TextOf(kFitTypes, storedType, &CFitTypeInfo::keyword, "unknown");
}

const char* FitName(int storedType, int degree) {
  const int choice = FitChoiceIndex(storedType, degree);
  if (choice >= 0) return kFitChoices[static_cast<std::size_t>(choice)].name;
  return TextOf(kFitTypes, storedType, &CFitTypeInfo::name, "Unknown");
}

}  // namespace olm
