#pragma once
// The rules of the "Data Set-Zone Data" dialog, free of any widget: the choice
// lists and how they map onto a zone's settings, the enabling rules, and the
// "Update", "Add Zone", "Delete Zone" and "Analyze" actions with their
// messages and questions.
#include <array>
#include <string>
#include <vector>

#include "engine/Database.hpp"

namespace olm {

// Values of the zone controls.
struct CZoneControls {
  double startX = 0.0;
  double endX = 0.0;
  int fitIndex = 0;      // entry of kFitTypeChoices
  int outlierIndex = 0;  // entry of kOutlierChoices
  int smoothIndex = 0;   // entry of kSmoothChoices
  int orderIndex = 0;    // entry of kOrderChoices
  int points = 0;
  int repeats = 1;
};

class CZoneRules {
 public:
  // The choice lists, in the order of the method tables.
  static constexpr auto kFitTypeChoices = ColumnOf(kFitChoices, &CFitChoiceInfo::choice);
  static constexpr auto kOutlierChoices = ColumnOf(kOutlierMethods, &COutlierMethodInfo::choice);
  static constexpr auto kSmoothChoices = ColumnOf(kSmoothingFilters, &CSmoothingFilterInfo::choice);
  static constexpr auto kOrderChoices = ColumnOf(kPolynomialOrders, &CPolynomialOrderInfo::choice);
  static constexpr std::array<const char*, 10> kListColumns = {
      "Data Set", "Name",     "# of Zones",  "Fit Type",    "Start X",
      "End X",    "Outliers", "Smooth Data", "# of Points", "# of Repeats"};

  explicit CZoneRules(CReplicateDB& db);

  // Enabling of the controls for a "Smooth Data" entry (an entry outside the
  // list enables what "No" does).
  static CZoneEnabling EnablingFor(int smoothIndex);
  CZoneEnabling Enabling() const { return EnablingFor(controls.smoothIndex); }

  // The two checks of "Update", showing their message; true when both pass.
  static bool Check(const CZoneControls& c);
  // Stores the controls into zone z of a replicate (no contiguity step).
  static void Store(const CZoneControls& c, CReplicate& rep, int zone);
  // The controls that show zone z of a replicate.
  static CZoneControls Load(const CReplicate& rep, int zone);
  // Fit Type entry of a fit setting, and the fit setting of an entry.
  static int FitIndexOf(const CFitSpec& spec);
  static void ApplyFitIndex(int index, CFitSpec& spec);

  // Selecting a data set makes its last zone current; both load the controls.
  void SelectDataSet(int replicate);
  void SelectZone(int zone);
  int DataSet() const { return m_replicate; }
  int CurrentZone() const { return m_zone; }

  // "Update": checks, stores the current zone and keeps the zones contiguous.
  bool Update();
  // "Add Zone": "Too many zones." at five zones.
  bool AddZone();
  // "Delete Zone": asks "Delete last zone?"; the only zone is kept.
  bool DeleteZone();
  // "Analyze": asks before discarding processed data, runs the analysis and
  // shows "Analysis complete".  True on success.
  bool Analyze();

  // The rows of the "Current Data" list: one per zone of every replicate.
  std::vector<std::array<std::string, 10>> ListRows() const;

  CZoneControls controls;
  bool modified = false;  // set by every action that changed the database

 private:
  CReplicateDB& m_db;
  int m_replicate = 0;
  int m_zone = 0;
};

}  // namespace olm
