// libFuzzer target of the raw-data editor's command language.
//
// Each line of the input is one editor command (assignments, zero, inv,
// zeroinv, reformat, createrep, deleterep) applied to a small processed
// database of two replicates.  Every command must succeed or be refused with
// a message; afterwards every replicate must be consistent: as many rows as
// it says, columns for its x and y, texts for every column.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "FuzzUi.hpp"
#include "editing/EditCommands.hpp"

namespace {

void AddReplicate(olm::CReplicateDB& db, double scale) {
  const int r = db.AddReplicate();
  olm::CReplicate& rep = db.Replicate(r);
  rep.SetTitle("rep");
  rep.columnCount = 3;
  rep.pointCount = 21;
  rep.ResizeColumnTexts(3);
  rep.raw.SetSize(21, 3);
  for (int i = 1; i <= 21; ++i) {
    rep.raw(i, 1) = 0.1 * i;
    rep.raw(i, 2) = 0.5 * (i - 1);
    rep.raw(i, 3) = scale * (i - 1) * (12 - i);
  }
  rep.SetXYColumns(2, 3);
  rep.zoneCount = 2;
  rep.SetZoneStart(1, 0), rep.SetZoneEnd(1, 5);
  rep.SetZoneStart(2, 5), rep.SetZoneEnd(2, 10);
  for (int z = 1; z <= 2; ++z) {
    rep.Zone(z).fit.type = olm::kFitPolynomial;
    rep.Zone(z).fit.degree = 2;
    rep.Zone(z).smoothing.method = olm::kSmoothSimpleAverage;
    rep.Zone(z).smoothing.points = 3;
    rep.Zone(z).smoothing.repeats = 1;
  }
  db.plotSettings.SetShown(r, olm::kCurveRaw, true);
}

void Check(const olm::CReplicateDB& db) {
  for (int r = 1; r <= db.GetReplicateCount(); ++r) {
    const olm::CReplicate& rep = db.Replicate(r);
    if (rep.pointCount > rep.raw.GetRows()) std::abort();
    if (rep.columnCount > rep.raw.GetColumns() && rep.raw.GetRows() > 0) std::abort();
    if (rep.headings.GetSize() < rep.columnCount || rep.units.GetSize() < rep.columnCount)
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  olm::fuzz::InstallFuzzUi();
  if (size > 4096) return 0;
  olm::CReplicateDB db;
  AddReplicate(db, 1.0);
  AddReplicate(db, 2.0);
  if (!db.Process()) std::abort();
  olm::CRawDataEditor editor(db);
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::string line;
  int count = 0;
  while (std::getline(in, line) && ++count <= 16) {
    editor.Apply(line);
    Check(db);
  }
  return 0;
}
