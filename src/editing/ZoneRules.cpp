#include "editing/ZoneRules.hpp"

#include "numerics/UserInterface.hpp"

namespace olm {

CZoneRules::CZoneRules(CReplicateDB& db) : m_db(db) {
  if (db.GetReplicateCount() > 0) SelectDataSet(1);
}

CZoneEnabling CZoneRules::EnablingFor(int smoothIndex) {
  CZoneEnabling e;
  if (smoothIndex == kSmoothNone) {
    e.order = e.points = e.repeats = false;
    return e;
  }
  e.order = smoothIndex == kSmoothPolynomialAverage;
  e.outliers = !(smoothIndex == kSmoothRobustLoess || smoothIndex == kSmoothRobustLowess);
  return e;
}

bool CZoneRules::Check(const CZoneControls& c) {
  if (c.startX >= c.endX && (c.fitIndex != 0 || c.outlierIndex != 0 || c.smoothIndex != 0)) {
    ShowMessage("End X should be greater than Start X");
    return false;
  }
  if (EnablingFor(c.smoothIndex).points && (c.points % 2 == 0 || c.points < 3 || c.points > 25)) {
    ShowMessage("Number of Points should be odd and between 3 and 25");
    return false;
  }
  return true;
}

int CZoneRules::FitIndexOf(const CFitSpec& spec) {
  switch (spec.type) {
    case kFitPolynomial: return spec.degree >= 1 && spec.degree <= 5 ? spec.degree : 0;
    case kFitExponential: return 6;
    case kFitLogarithmic: return 7;
    case kFitPowerLaw: return 8;
    default: return 0;
  }
}

void CZoneRules::ApplyFitIndex(int index, CFitSpec& spec) {
  if (index >= 1 && index <= 5) {
    spec.type = kFitPolynomial;
    spec.degree = index;
  } else if (index == 6) {
    spec.type = kFitExponential;
  } else if (index == 7) {
    spec.type = kFitLogarithmic;
  } else if (index == 8) {
    spec.type = kFitPowerLaw;
  } else {
    spec.type = kFitNone;
  }
}

void CZoneRules::Store(const CZoneControls& c, CReplicate& rep, int zone) {
  CZone& z = rep.Zone(zone);
  ApplyFitIndex(c.fitIndex, z.fit);
  z.smoothing.method = c.smoothIndex;
  z.smoothing.points = c.points;
  z.smoothing.order = 2 * c.orderIndex + 3;
  z.smoothing.repeats = c.repeats;
  rep.SetZoneStart(zone, c.startX);
  rep.SetZoneEnd(zone, c.endX);
  z.outliers.method = EnablingFor(c.smoothIndex).outliers ? c.outlierIndex : kOutliersNone;
}

CZoneControls CZoneRules::Load(const CReplicate& rep, int zone) {
  const CZone& z = rep.Zone(zone);
  CZoneControls c;
  c.startX = rep.GetZoneStart(zone);
  c.endX = rep.GetZoneEnd(zone);
  c.fitIndex = FitIndexOf(z.fit);
  c.outlierIndex = z.outliers.method == kOutliersChauvenet ? 1 : 0;
  c.smoothIndex = z.smoothing.method >= 0 && z.smoothing.method <= 7 ? z.smoothing.method : 0;
  c.orderIndex = z.smoothing.order == 5 ? 1 : 0;
  c.points = z.smoothing.points;
  c.repeats = z.smoothing.repeats;
  return c;
}

void CZoneRules::SelectDataSet(int replicate) {
  if (replicate < 1 || replicate > m_db.GetReplicateCount()) return;
  m_replicate = replicate;
  SelectZone(std::max(1, m_db.Replicate(replicate).zoneCount));
}

void CZoneRules::SelectZone(int zone) {
  if (m_replicate < 1 || zone < 1 || zone > CReplicate::kMaxZones) return;
  m_zone = zone;
  controls = Load(m_db.Replicate(m_replicate), zone);
}

bool CZoneRules::Update() {
  if (m_replicate < 1 || m_zone < 1) return false;
  if (!Check(controls)) return false;
  CReplicate& rep = m_db.Replicate(m_replicate);
  Store(controls, rep, m_zone);
  if (m_zone > 1) rep.SetZoneEnd(m_zone - 1, controls.startX);
  if (m_zone < rep.zoneCount) rep.SetZoneStart(m_zone + 1, controls.endX);
  modified = true;
  return true;
}

bool CZoneRules::AddZone() {
  if (m_replicate < 1) return false;
  CReplicate& rep = m_db.Replicate(m_replicate);
  if (rep.zoneCount >= CReplicate::kMaxZones) {
    ShowMessage("Too many zones.");
    return false;
  }
  ++rep.zoneCount;
  SelectZone(rep.zoneCount);
  modified = true;
  return true;
}

bool CZoneRules::DeleteZone() {
  if (m_replicate < 1) return false;
  CReplicate& rep = m_db.Replicate(m_replicate);
  if (rep.zoneCount <= 1) {
    ShowMessage("A data set keeps at least one zone.");
    return false;
  }
  if (!AskUser("Delete last zone?", QuestionKind::YesNo)) return false;
  --rep.zoneCount;
  SelectZone(rep.zoneCount);
  modified = true;
  return true;
}

bool CZoneRules::Analyze() {
  if (m_db.IsSmoothed() || m_db.IsLocked()) {
    if (!AskUser("All processed data will be lost. Proceed?", QuestionKind::OkCancel)) return false;
    m_db.ClearProcessed();
    modified = true;
  }
  if (!m_db.Process()) return false;
  modified = true;
  ShowMessage("Analysis complete");
  return true;
}

std::vector<std::array<std::string, 10>> CZoneRules::ListRows() const {
  std::vector<std::array<std::string, 10>> rows;
  for (int r = 1; r <= m_db.GetReplicateCount(); ++r) {
    const CReplicate& rep = m_db.Replicate(r);
    for (int z = 1; z <= rep.zoneCount; ++z) {
      const CZone& zone = rep.Zone(z);
      const CZoneControls c = Load(rep, z);
      rows.push_back({std::to_string(r), rep.GetTitle(), std::to_string(rep.zoneCount),
                      kFitTypeChoices[static_cast<size_t>(c.fitIndex)], Format("%g", c.startX),
                      Format("%g", c.endX), kOutlierChoices[static_cast<size_t>(c.outlierIndex)],
                      kSmoothChoices[static_cast<size_t>(c.smoothIndex)],
                      std::to_string(zone.smoothing.points),
                      std::to_string(zone.smoothing.repeats)});
    }
  }
  return rows;
}

}  // namespace olm
