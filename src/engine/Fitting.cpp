// Curve fits of one zone and their evaluation.
#include "engine/EngineError.hpp"
#include "engine/ZoneProcessing.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

bool FitZone(CZone& zone, int xCol, int yCol) {
  if (zone.fit.type == kFitNone) return true;
  ShowMessage(Format("Fit \"%s\" is not available yet.", zone.fit.Name().c_str()),
              MessageKind::Error);
  return false;
}

void EvaluateFit(const CFitSpec& spec, double x, double* y, double* dydx) {
  if (y) *y = 0.0;
  if (dydx) *dydx = 0.0;
}

}  // namespace olm
