#include "engine/Methods.hpp"

namespace olm {

const char* SmoothingMethodName(int stored) {
  const CSmoothingFilterInfo* f = FindStored(kSmoothingFilters, stored);
  return f ? f->name : "Unknown";
}

const char* SmoothingKeyword(int stored) {
  const CSmoothingFilterInfo* f = FindStored(kSmoothingFilters, stored);
  return f ? f->keyword : "unknown";
}

const char* OutlierKeyword(int stored) {
  const COutlierMethodInfo* m = FindStored(kOutlierMethods, stored);
  return m ? m->keyword : "unknown";
}

const char* FitTypeKeyword(int storedType) {
  const CFitTypeInfo* t = FindStored(kFitTypes, storedType);
  return t ? t->keyword : "unknown";
}

const char* FitName(int storedType, int degree) {
  const int choice = FitChoiceIndex(storedType, degree);
  if (choice >= 0) return kFitChoices[static_cast<std::size_t>(choice)].name;
  const CFitTypeInfo* t = FindStored(kFitTypes, storedType);
  return t ? t->name : "Unknown";
}

}  // namespace olm
