#include "engine/ProjectFile.hpp"

#include <algorithm>
#include <utility>

#include "engine/EngineError.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

[[noreturn]] void Refuse(const std::string& reason) {
  throw CProjectFormatError(reason);
}

// ---------------------------------------------------------------- plot settings

void StoreEntry(CProjectWriter& out, const CTextEntry& e) {
  out.WriteText(e.text);
  out.WriteInt(e.value);
}

void LoadEntry(CProjectReader& in, CTextEntry& e) {
  e.text = in.ReadText();
  e.value = in.ReadInt();
}

void StoreStyle(CProjectWriter& out, const CCurveStyle& s) {
  for (int32_t v : {s.colourIndex, s.markerKind, s.lineStyleIndex, s.lineWidth, s.display})
    out.WriteInt(v);
}

// ---------------------------------------------------------------- replicates

// Pads a per-zone vector stored shorter than the engine indexes it.
template <class T>
void PadTo(CVector<T>& v, int size) {
  if (v.GetSize() >= size) return;
  CVector<T> padded(size, T{});
  for (int i = 1; i <= v.GetSize(); ++i) padded(i) = v(i);
  v.Assign(padded);
}

void StoreZone(CProjectWriter& out, const CZone& zone) {
  out.WriteInt(zone.smoothing.repeats);
  out.WriteInt(zone.smoothing.points);
  out.WriteInt(zone.smoothing.order);
  out.WriteInt(zone.smoothing.method);
  out.WriteInt(zone.fit.type);
  out.WriteInt(zone.fit.degree);
  out.WriteVector(zone.fit.coefficients);
  out.WriteInt(zone.outliers.method);
  out.WriteDouble(zone.tolerance);
}

void LoadZone(CProjectReader& in, CZone& zone) {
  zone.smoothing.repeats = in.ReadInt();
  zone.smoothing.points = in.ReadInt();
  zone.smoothing.order = in.ReadInt();
  zone.smoothing.method = in.ReadInt();
  zone.fit.type = in.ReadInt();
  zone.fit.degree = in.ReadInt();
  in.ReadVector(zone.fit.coefficients);
  PadTo(zone.fit.coefficients, CReplicate::kMaxCoefficients);
  zone.outliers.method = in.ReadInt();
  zone.tolerance = in.ReadDouble();
}

// The per-zone vectors in file order.
template <class Rep>
auto ZoneDoubleVectors(Rep& rep) {
  return std::array{&rep.rawYMin,      &rep.rawYMax,    &rep.smoothedYMin,
                    &rep.smoothedYMax, &rep.fittedYMin, &rep.fittedYMax};
}
template <class Rep>
auto ZoneTailVectors(Rep& rep) {
  return std::array{&rep.zoneStart, &rep.zoneEnd, &rep.rSquared, &rep.zoneFittedArea,
                    &rep.zoneSmoothedArea};
}

void StoreReplicate(CProjectWriter& out, const CReplicate& rep) {
  out.WriteText(rep.GetTitle());
  out.WriteBool(rep.active);
  for (int v : {rep.pointCount, rep.columnCount, rep.xColumn, rep.yColumn, rep.smoothedCount,
                rep.zoneCount})
    out.WriteInt(v);
  out.WriteDouble(rep.fittedAreaTotal);
  out.WriteDouble(rep.smoothedAreaTotal);
  static const std::string kNone;
  for (int c = 1; c <= rep.columnCount; ++c) {
    out.WriteText(c <= rep.headings.GetSize() ? rep.headings(c) : kNone);
    out.WriteText(c <= rep.units.GetSize() ? rep.units(c) : kNone);
  }
  out.WriteMatrix(rep.raw, rep.columnCount);
  for (int z = 1; z <= rep.zoneCount; ++z) StoreZone(out, rep.Zone(z));
  out.WriteBool(rep.smoothed);
  out.WriteMatrix(rep.smoothedData, rep.columnCount);
  out.WriteBool(rep.fitted);
  out.WriteMatrix(rep.fitData, rep.columnCount);
  out.WriteMatrix(rep.coefficients, CReplicate::kMaxZones);
  out.WriteMatrix(rep.outliers, rep.columnCount);
  for (const CVector<double>* v : ZoneDoubleVectors(rep)) out.WriteVector(*v);
  out.WriteVector(rep.zoneInts);
  for (const CVector<double>* v : ZoneTailVectors(rep)) out.WriteVector(*v);
}

// Keeps the first `rows` rows of m (rows below its row count).
void KeepRows(CMatrix<double>& m, int rows) {
  if (rows >= m.GetRows()) return;
  CMatrix<double> kept(rows, m.GetColumns());
  for (int i = 1; i <= kept.GetRows(); ++i)
    for (int j = 1; j <= kept.GetColumns(); ++j) kept(i, j) = m(i, j);
  m.Swap(kept);
}

// Files saved after an analysis was discarded keep the old matrices with
// cleared counts, and files saved after columns were added keep result
// matrices narrower than the table.  Such files are opened: a count is
// clamped to the rows present (rows beyond it are no data), and a result
// matrix narrower than the table counts as no result at all.
void MendReplicate(CReplicate& rep) {
  rep.pointCount = std::clamp(rep.pointCount, 0, rep.raw.GetRows());
  KeepRows(rep.raw, rep.pointCount);
  const int columns = rep.columnCount;
  auto narrow = [columns](const CMatrix<double>& m) {
    return !m.IsEmpty() && m.GetColumns() < columns;
  };
  if (narrow(rep.smoothedData)) {
    rep.smoothedData.SetSize(0, 0);
    rep.smoothed = false;
  }
  if (narrow(rep.fitData)) {
    rep.fitData.SetSize(0, 0);
    rep.fitted = false;
  }
  if (narrow(rep.outliers)) rep.outliers.SetSize(0, 0);
  rep.outlierCount = rep.outliers.GetRows();
  rep.smoothedCount = std::clamp(rep.smoothedCount, 0, rep.smoothedData.GetRows());
  KeepRows(rep.smoothedData, rep.smoothedCount);
}

void CheckReplicate(const CReplicate& rep, int r) {
  if (!rep.raw.IsEmpty() && rep.raw.GetColumns() != rep.columnCount)
    Refuse(Format("data set %d has %d columns but its raw data holds %d", r, rep.columnCount,
                  rep.raw.GetColumns()));
  if (rep.xColumn < 1 || rep.xColumn > rep.columnCount || rep.yColumn < 1 ||
      rep.yColumn > rep.columnCount)
    Refuse(Format("data set %d takes x from column %d and y from column %d of %d", r, rep.xColumn,
                  rep.yColumn, rep.columnCount));
}

void LoadReplicate(CProjectReader& in, CReplicate& rep, double version, int r) {
  rep.SetTitle(in.ReadText());
  rep.active = in.ReadByte() != 0;
  rep.pointCount = in.ReadInt();
  rep.columnCount = in.ReadInt();
  rep.xColumn = in.ReadInt();
  rep.yColumn = in.ReadInt();
  rep.smoothedCount = in.ReadInt();
  rep.zoneCount = in.ReadInt();
  if (rep.zoneCount < 0 || rep.zoneCount > CReplicate::kMaxZones)
    Refuse(Format("data set %d has %d zones; at most %d are allowed", r, rep.zoneCount,
                  CReplicate::kMaxZones));
  if (rep.columnCount < 0) Refuse(Format("data set %d has %d columns", r, rep.columnCount));
  // Every column has at least the one-byte prefix of its heading.
  in.Require(uint64_t(rep.columnCount), 1, Format("a table of %d columns", rep.columnCount));
  rep.fittedAreaTotal = in.ReadDouble();
  rep.smoothedAreaTotal = in.ReadDouble();

  rep.headings.SetSize(0);
  rep.units.SetSize(0);
  rep.ResizeColumnTexts(rep.columnCount);
  for (int c = 1; c <= rep.columnCount; ++c) {
    rep.headings(c) = in.ReadText();
    if (version >= kUnitsFileVersion) rep.units(c) = in.ReadText();
  }
  in.ReadMatrix(rep.raw);
  for (int z = 1; z <= rep.zoneCount; ++z) LoadZone(in, rep.Zone(z));
  rep.smoothed = in.ReadByte() != 0;
  in.ReadMatrix(rep.smoothedData);
  rep.fitted = in.ReadByte() != 0;
  in.ReadMatrix(rep.fitData);
  if (in.ReadMatrix(rep.coefficients) &&
      (rep.coefficients.GetRows() < CReplicate::kMaxCoefficients ||
       rep.coefficients.GetColumns() < CReplicate::kMaxZones)) {
    CMatrix<double> padded(std::max(rep.coefficients.GetRows(), CReplicate::kMaxCoefficients),
                           std::max(rep.coefficients.GetColumns(), CReplicate::kMaxZones));
    padded.Set(0.0);
    for (int i = 1; i <= rep.coefficients.GetRows(); ++i)
      for (int j = 1; j <= rep.coefficients.GetColumns(); ++j)
        padded(i, j) = rep.coefficients(i, j);
    rep.coefficients.Assign(padded);
  }
  in.ReadMatrix(rep.outliers);
  for (CVector<double>* v : ZoneDoubleVectors(rep)) {
    in.ReadVector(*v);
    PadTo(*v, CReplicate::kMaxZones);
  }
  in.ReadVector(rep.zoneInts);
  PadTo(rep.zoneInts, CReplicate::kMaxZones);
  for (CVector<double>* v : ZoneTailVectors(rep)) {
    in.ReadVector(*v);
    PadTo(*v, CReplicate::kMaxZones);
  }
  CheckReplicate(rep, r);
  MendReplicate(rep);
}

}  // namespace

void StoreLogFont(CProjectWriter& out, const CLogFont& f) {
  for (int32_t v : {f.height, f.width, f.escapement, f.orientation, f.weight}) out.WriteInt(v);
  for (uint8_t b : {f.italic, f.underline, f.strikeOut, f.charSet, f.outPrecision, f.clipPrecision,
                    f.quality, f.pitchAndFamily})
    out.WriteByte(b);
  out.WriteText(f.faceName);
}

void LoadLogFont(CProjectReader& in, CLogFont& f) {
  for (int32_t* v : {&f.height, &f.width, &f.escapement, &f.orientation, &f.weight})
    *v = in.ReadInt();
  for (uint8_t* b : {&f.italic, &f.underline, &f.strikeOut, &f.charSet, &f.outPrecision,
                     &f.clipPrecision, &f.quality, &f.pitchAndFamily})
    *b = in.ReadByte();
  f.faceName = in.ReadText();
}

CInvalidDatabaseError::CInvalidDatabaseError()
    : CProjectFormatError(CEngineError::Message(kErrInvalidDatabase)) {}

void StorePlotSettings(CProjectWriter& out, const CPlotSettings& s) {
  out.WriteText(s.graphTitle);
  out.WriteInt(s.graphTitleColour);
  StoreLogFont(out, s.graphTitleFont);
  StoreEntry(out, s.entry2);
  out.WriteText(s.xAxisLabel);
  out.WriteInt(s.xAxisLabelColour);
  StoreLogFont(out, s.xAxisLabelFont);
  StoreEntry(out, s.entry4);
  out.WriteText(s.yAxisLabelLeft);
  out.WriteInt(s.yAxisLabelLeftColour);
  out.WriteText(s.yAxisLabelRight);
  out.WriteInt(s.yAxisLabelRightColour);
  out.WriteFloat(s.rightAxisScale);
  StoreEntry(out, s.entry7);
  StoreLogFont(out, s.thirdFont);
  StoreEntry(out, s.entry8);
  for (const CTextEntry& e : s.entries9to11) StoreEntry(out, e);
  for (const CCurveStyle& style : s.curveStyles) StoreStyle(out, style);
  // The 61st row repeats row 1's last four columns and the first layout integer.
  const CCurveStyle& first = s.curveStyles[0];
  for (int32_t v :
       {first.markerKind, first.lineStyleIndex, first.lineWidth, first.display, s.layout[0]})
    out.WriteInt(v);
  for (int32_t v : s.layout) out.WriteInt(v);
  for (int32_t v : s.further) out.WriteInt(v);
  for (float v : {s.plotXMin, s.plotXMax, s.plotYMin, s.plotYMax, s.modelXMin, s.modelXMax,
                  s.modelYMin, s.modelYMax})
    out.WriteFloat(v);
  out.WriteText(s.xAxisFormat);
  out.WriteText(s.yAxisFormat);
  for (int32_t v : s.displayFlags) out.WriteInt(v);
  for (double v : s.borders) out.WriteDouble(v);
  for (int32_t v : {s.xDivisions, s.yDivisions, s.markerSize, s.xLabelRotation}) out.WriteInt(v);
}

void LoadPlotSettings(CProjectReader& in, CPlotSettings& s) {
  s.graphTitle = in.ReadText();
  s.graphTitleColour = in.ReadInt();
  LoadLogFont(in, s.graphTitleFont);
  LoadEntry(in, s.entry2);
  s.xAxisLabel = in.ReadText();
  s.xAxisLabelColour = in.ReadInt();
  LoadLogFont(in, s.xAxisLabelFont);
  LoadEntry(in, s.entry4);
  s.yAxisLabelLeft = in.ReadText();
  s.yAxisLabelLeftColour = in.ReadInt();
  s.yAxisLabelRight = in.ReadText();
  s.yAxisLabelRightColour = in.ReadInt();
  s.rightAxisScale = in.ReadFloat();
  LoadEntry(in, s.entry7);
  LoadLogFont(in, s.thirdFont);
  LoadEntry(in, s.entry8);
  for (CTextEntry& e : s.entries9to11) LoadEntry(in, e);
  for (CCurveStyle& style : s.curveStyles)
    for (int32_t* v : {&style.colourIndex, &style.markerKind, &style.lineStyleIndex,
                       &style.lineWidth, &style.display})
      *v = in.ReadInt();
  // Row 61 holds values stored elsewhere in the record again.
  for (int k = 0; k < 5; ++k) in.ReadInt();
  for (int32_t& v : s.layout) v = in.ReadInt();
  for (int32_t& v : s.further) v = in.ReadInt();
  for (float* v : {&s.plotXMin, &s.plotXMax, &s.plotYMin, &s.plotYMax, &s.modelXMin, &s.modelXMax,
                   &s.modelYMin, &s.modelYMax})
    *v = in.ReadFloat();
  s.xAxisFormat = in.ReadText();
  s.yAxisFormat = in.ReadText();
  for (int32_t& v : s.displayFlags) v = in.ReadInt();
  for (double& v : s.borders) v = in.ReadDouble();
  for (int32_t* v : {&s.xDivisions, &s.yDivisions, &s.markerSize, &s.xLabelRotation})
    *v = in.ReadInt();
}

void StoreDatabase(CProjectWriter& out, CReplicateDB& db) {
  db.fileVersion = CReplicateDB::kFileVersion;
  out.WriteDouble(db.fileVersion);
  const int n = db.GetReplicateCount();
  out.WriteInt(n);
  out.WriteByte(db.smoothedFlag);
  out.WriteByte(db.fittedFlag);
  out.WriteByte(db.thirdFlag);
  for (int r = 1; r <= n; ++r) StoreReplicate(out, std::as_const(db).Replicate(r));
  const int m = std::min(db.bestFitX.GetSize(), db.bestFitY.GetSize());
  out.WriteInt(m);
  for (int i = 1; i <= m; ++i) {
    out.WriteDouble(db.bestFitX(i));
    out.WriteDouble(db.bestFitY(i));
  }
  for (double v : db.storedDoubles) out.WriteDouble(v);
  for (int e = 1; e <= 2; ++e)
    for (int k = kRawMin; k <= kOverallMax; ++k) out.WriteDouble(db.GetExtent(k, e));
  StorePlotSettings(out, db.plotSettings);
  for (int i = 1; i <= CReplicateDB::kReportFlags; ++i) out.WriteInt(db.GetReportFlag(i) ? 1 : 0);
}

void LoadDatabase(CProjectReader& in, CReplicateDB& db) {
  const double version = in.ReadDouble();
  if (!(version >= kOldestFileVersion)) throw CInvalidDatabaseError();
  db.fileVersion = version;
  const int32_t n = in.ReadInt();
  if (n < 0 || n > CReplicateDB::kMaxReplicates)
    Refuse(
        Format("it holds %d data sets; at most %d are allowed", n, CReplicateDB::kMaxReplicates));
  db.smoothedFlag = in.ReadByte();
  db.fittedFlag = in.ReadByte();
  db.thirdFlag = in.ReadByte();
  for (int r = 1; r <= n; ++r) {
    const int slot = db.AddReplicate();
    LoadReplicate(in, db.Replicate(slot), version, r);
  }
  const int32_t m = in.ReadInt();
  if (m > 0) {
    in.Require(uint64_t(m), 2 * sizeof(double), Format("a best-fit curve of %d points", m));
    db.bestFitX.SetSize(m);
    db.bestFitY.SetSize(m);
    if (db.bestFitX.GetSize() != m || db.bestFitY.GetSize() != m)
      Refuse("there is not enough memory for its data");
    for (int i = 1; i <= m; ++i) {
      db.bestFitX(i) = in.ReadDouble();
      db.bestFitY(i) = in.ReadDouble();
    }
  }
  for (double& v : db.storedDoubles) v = in.ReadDouble();
  for (int e = 1; e <= 2; ++e)
    for (int k = kRawMin; k <= kOverallMax; ++k) db.SetExtent(k, e, in.ReadDouble());
  LoadPlotSettings(in, db.plotSettings);
  if (version >= kReportFlagsFileVersion)
    for (int i = 1; i <= CReplicateDB::kReportFlags; ++i) db.SetReportFlag(i, in.ReadInt() == 1);
}

}  // namespace olm
