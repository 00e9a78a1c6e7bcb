// Smoothing filters of one zone.
#include "engine/EngineError.hpp"
#include "engine/ZoneProcessing.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

bool SmoothZone(CZone& zone, int xCol, int yCol) {
  if (zone.smoothing.method == kSmoothNone) return true;
  ShowMessage(Format("Smoothing method \"%s\" is not available yet.",
                     SmoothingMethodName(zone.smoothing.method)),
              MessageKind::Error);
  return false;
}

}  // namespace olm
