#include "editing/ZoneRules.hpp"

#include <algorithm>

#include "numerics/UserInterface.hpp"

namespace olm {

CZoneRules::CZoneRules(CReplicateDB& db) : m_db(db) {
  if (db.GetReplicateCount() > 0) SelectDataSet(1);
}

namespace {

// Entry i of a table, or its first entry (the "none" method) for an index
// outside it.
template <typename Table>
const auto& EntryAt(const Table& table, int index) {
  return index >= 0 && index < static_cast<int>(table.size()) ? table[static_cast<size_t>(index)]
                                                              : table[0];
}

// The list position of a stored number; 0 (the "none" entry) for a number
// that no method has.
template <typename Table>
int ChoiceOf(const Table& table, int stored) {
  return std::max(0, StoredIndex(table, stored));
}

// The "Order" entry of a polynomial order; 0 for an order not in the list.
int OrderChoiceOf(int order) {
  const CPolynomialOrderInfo* known = FindPolynomialOrder(order);
  return known ? static_cast<int>(known - kPolynomialOrders.data()) : 0;
}

}  // namespace

CZoneEnabling CZoneRules::EnablingFor(int smoothIndex) {
  return EntryAt(kSmoothingFilters, smoothIndex).enabling;
}

bool CZoneRules::Check(const CZoneControls& c) {
  if (c.startX >= c.endX && (c.fitIndex != 0 || c.outlierIndex != 0 || c.smoothIndex != 0)) {
    ShowMessage("End X should be greater than Start X");
    return false;
  }
  if (EnablingFor(c.smoothIndex).points &&
      (c.points % 2 == 0 || c.points < kDialogMinPoints || c.points > kDialogMaxPoints)) {
    ShowMessage(Format("Number of Points should be odd and between %d and %d", kDialogMinPoints,
                       kDialogMaxPoints));
    return false;
  }
  return true;
}

int CZoneRules::FitIndexOf(const CFitSpec& spec) {
  return std::max(0, FitChoiceIndex(spec.type, spec.degree));
}

void CZoneRules::ApplyFitIndex(int index, CFitSpec& spec) {
  const CFitChoiceInfo& choice = EntryAt(kFitChoices, index);
  const CFitTypeInfo& type = Info(choice.type);
  spec.type = type.stored;
  if (HasDegree(type)) spec.degree = choice.degree;
}

void CZoneRules::Store(const CZoneControls& c, CReplicate& rep, int zone) {
  CZone& z = rep.Zone(zone);
  ApplyFitIndex(c.fitIndex, z.fit);
  z.smoothing.method = EntryAt(kSmoothingFilters, c.smoothIndex).stored;
  z.smoothing.points = c.points;
  z.smoothing.order = EntryAt(kPolynomialOrders, c.orderIndex).order;
  z.smoothing.repeats = c.repeats;
  rep.SetZoneStart(zone, c.startX);
  rep.SetZoneEnd(zone, c.endX);
  z.outliers.method = EnablingFor(c.smoothIndex).outliers
                          ? EntryAt(kOutlierMethods, c.outlierIndex).stored
                          : Info(OutlierMethod::kNone).stored;
}

CZoneControls CZoneRules::Load(const CReplicate& rep, int zone) {
  const CZone& z = rep.Zone(zone);
  CZoneControls c;
  c.startX = rep.GetZoneStart(zone);
  c.endX = rep.GetZoneEnd(zone);
  c.fitIndex = FitIndexOf(z.fit);
  c.outlierIndex = ChoiceOf(kOutlierMethods, z.outliers.method);
  c.smoothIndex = ChoiceOf(kSmoothingFilters, z.smoothing.method);
  c.orderIndex = OrderChoiceOf(z.smoothing.order);
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
