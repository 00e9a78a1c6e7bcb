// Outlier removal of one zone.
#include "engine/EngineError.hpp"
#include "engine/ZoneProcessing.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

bool RemoveOutliers(CZone& zone, int xCol, int yCol) {
  if (zone.outliers.method == kOutliersNone) {
    zone.outlierCount = 0;
    return true;
  }
  CEngineError::Report(kErrOutlierMethod);
  return false;
}

}  // namespace olm
