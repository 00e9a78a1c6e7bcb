#include "editing/EditCommands.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <utility>

#include "engine/EngineError.hpp"
#include "engine/Reformat.hpp"
#include "engine/Statistics.hpp"
#include "numerics/OutputFile.hpp"
#include "numerics/TextFields.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

void Fail(const char* message) {
  ShowMessage(message, MessageKind::Error);
}

// Reads a positive decimal number without a sign or leading zero from the
// front of s; false when there is none or it does not fit an int.
bool TakeNumber(std::string_view& s, int& value) {
  if (s.empty() || s.front() < '1' || s.front() > '9') return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc()) return false;
  s.remove_prefix(static_cast<std::size_t>(end - s.data()));
  return true;
}

bool TakePrefix(std::string_view& s, std::string_view prefix) {
  if (s.substr(0, prefix.size()) != prefix) return false;
  s.remove_prefix(prefix.size());
  return true;
}

// Copies column c of rows 1..rows of m into a new one-column matrix.
std::shared_ptr<CMatrix<double>> CopyColumn(const CMatrix<double>& m, int rows, int c) {
  auto column = std::make_shared<CMatrix<double>>(rows, 1);
  RequireSize(*column, rows, 1);
  if (rows < 1) return column;
  const int stride = m.GetColumns();
  const double* src = m.Row(1) + (c - 1);
  double* dst = column->Row(1);
  for (int i = 0; i < rows; ++i) dst[i] = src[static_cast<std::size_t>(i) * stride];
  return column;
}

// Adds zero columns to a non-empty matrix until it has `columns` columns.
void WidenTo(CMatrix<double>& m, int columns) {
  if (m.GetRows() < 1 || m.GetColumns() >= columns) return;
  CMatrix<double> wide(m.GetRows(), columns);
  RequireSize(wide, m.GetRows(), columns);
  wide.Set(0.0);
  for (int i = 1; i <= m.GetRows(); ++i)
    std::copy(m.Row(i), m.Row(i) + m.GetColumns(), wide.Row(i));
  m.Swap(wide);
}

// The first and last row of m whose column xCol lies in [start, end]; false
// when no row does.
bool FindBlock(const CMatrix<double>& m, int xCol, double start, double end, int& first,
               int& last) {
  first = last = 0;
  if (xCol < 1 || xCol > m.GetColumns()) return false;
  for (int i = 1; i <= m.GetRows(); ++i) {
    const double x = m(i, xCol);
    if (x >= start && x <= end) {
      if (first == 0) first = i;
      last = i;
    }
  }
  return first > 0;
}

}  // namespace

const std::vector<std::string>& CRawDataEditor::ActionTemplates() {
  static const std::vector<std::string> kTemplates = {
      "ds?_c?_raw = expression involving other columns",
      "deleterep, replicate #",
      "reformat, replicate #, zone #, x column #, # of points",
      "zero, replicate #, column #",
      "createrep, replicate name, type, x replicate #, x column #, y replicate #, y column #",
      "inv, replicate #, column #",
      "zeroinv, replicate #, column #"};
  return kTemplates;
}

const std::vector<std::string>& CRawDataEditor::ListHeadings() {
  static const std::vector<std::string> kHeadings = {
      "Set #", "Data Set", "Count", "Columns", "Zones", "X Min", "X Max", "Y Min", "Y Max"};
  return kHeadings;
}

CRawDataEditor::CRawDataEditor(CReplicateDB& db) : m_db(db) {
  m_db.Evaluator().SetResolver(this);
}

CRawDataEditor::~CRawDataEditor() {
  if (m_db.Evaluator().GetResolver() == this) m_db.Evaluator().SetResolver(nullptr);
}

// ---- Names ---------------------------------------------------------------------

std::string CRawDataEditor::ColumnVariableName(int replicate, int column, int kind) {
  const CCurveKindInfo* k = FindStored(kCurveKinds, kind);
  return Format("ds%d_c%d_%s", replicate, column, (k ? *k : Info(CurveKind::kRaw)).keyword);
}

bool CRawDataEditor::ParseColumnName(std::string_view name, int& replicate, int& column,
                                     int& kind) {
  std::string_view s = name;
  if (!TakePrefix(s, "ds") || !TakeNumber(s, replicate) || !TakePrefix(s, "_c") ||
      !TakeNumber(s, column) || !TakePrefix(s, "_"))
    return false;
  const int k = KeywordIndex(kCurveKinds, s);
  if (k < 0) return false;
  kind = kCurveKinds[static_cast<size_t>(k)].stored;
  return true;
}

bool CRawDataEditor::ParseRowName(std::string_view name, int& replicate, int& row) {
  std::string_view s = name;
  return TakePrefix(s, "ds") && TakeNumber(s, replicate) && TakePrefix(s, "_r") &&
         TakeNumber(s, row) && s.empty();
}

std::vector<std::string> CRawDataEditor::Tokenize(std::string_view command) {
  std::vector<std::string> tokens;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= command.size(); ++i) {
    if (i < command.size() && command[i] != '(' && command[i] != ',' && command[i] != ')') continue;
    const std::string_view token = TrimBlanks(command.substr(start, i - start));
    if (!token.empty()) tokens.emplace_back(token);
    start = i + 1;
  }
  return tokens;
}

// ---- The resolver ------------------------------------------------------------------

const CMatrix<double>* CRawDataEditor::DataOf(int replicate, int kind) const {
  if (replicate < 1 || replicate > m_db.GetReplicateCount()) return nullptr;
  return Rep(replicate).CurveData(kind);
}

int CRawDataEditor::VariableColumns(int replicate, int kind) const {
  const Matrix* m = DataOf(replicate, kind);
  if (!m || m->GetRows() < 1) return 0;
  return std::min(Rep(replicate).columnCount, m->GetColumns());
}

bool CRawDataEditor::Describe(std::string_view name, int& kind, int& rows, int& columns) {
  int r = 0, c = 0, k = 0;
  if (ParseColumnName(name, r, c, k)) {
    if (k == kCurveRaw && r == m_newReplicate && c == m_newColumn) {
      rows = Rep(r).raw.GetRows();
    } else {
      if (c > VariableColumns(r, k)) return false;
      rows = DataOf(r, k)->GetRows();
    }
    kind = kKindMatrix;
    columns = 1;
    return true;
  }
  if (ParseRowName(name, r, c)) {
    const Matrix* raw = DataOf(r, kCurveRaw);
    if (!raw || c > raw->GetRows()) return false;
    kind = kKindMatrix;
    rows = 1;
    columns = raw->GetColumns();
    return true;
  }
  return false;
}

bool CRawDataEditor::Resolve(std::string_view name, CExpressionValue& value) {
  if (const auto it = m_handedOut.find(name); it != m_handedOut.end()) {
    value = CExpressionValue::FromSharedMatrix(it->second);
    return true;
  }
  int r = 0, c = 0, k = 0;
  std::shared_ptr<Matrix> data;
  if (ParseColumnName(name, r, c, k)) {
    if (k == kCurveRaw && r == m_newReplicate && c == m_newColumn) {
      data = std::make_shared<Matrix>(Rep(r).raw.GetRows(), 1);
      RequireSize(*data, Rep(r).raw.GetRows(), 1);
      data->Set(0.0);
    } else {
      if (c > VariableColumns(r, k)) return false;
      const Matrix& m = *DataOf(r, k);
      data = CopyColumn(m, m.GetRows(), c);
    }
  } else if (ParseRowName(name, r, c)) {
    const Matrix* raw = DataOf(r, kCurveRaw);
    if (!raw || c > raw->GetRows() || raw->GetColumns() < 1) return false;
    data = std::make_shared<Matrix>(1, raw->GetColumns());
    RequireSize(*data, 1, raw->GetColumns());
    std::copy(raw->Row(c), raw->Row(c) + raw->GetColumns(), data->Row(1));
  } else {
    return false;
  }
  m_handedOut.emplace(std::string(name), data);
  value = CExpressionValue::FromSharedMatrix(std::move(data));
  return true;
}

// ---- Commands ------------------------------------------------------------------

bool CRawDataEditor::Apply(std::string_view command) {
  m_handedOut.clear();
  bool ok = false;
  try {
    ok = Dispatch(command);
  } catch (const std::bad_alloc&) {
    // Every command builds its result before it replaces the data, so the
    // data are as they were.
    Fail("Not enough memory for this command; the data were not changed.");
    ok = false;
  }
  m_handedOut.clear();
  return ok;
}

bool CRawDataEditor::Dispatch(std::string_view command) {
  bool ok = false;
  if (command.find('=') != std::string_view::npos) {
    ok = ApplyAssignment(command);
  } else {
    const std::vector<std::string> tokens = Tokenize(command);
    const std::string word = tokens.empty() ? std::string() : Lower(tokens[0]);
    if (word == "deleterep")
      ok = DeleteReplicate(tokens);
    else if (word == "zero")
      ok = ShiftOrNegate(tokens, true, false);
    else if (word == "inv")
      ok = ShiftOrNegate(tokens, false, true);
    else if (word == "zeroinv")
      ok = ShiftOrNegate(tokens, true, true);
    else if (word == "reformat")
      ok = Reformat(tokens);
    else if (word == "createrep")
      ok = CreateReplicate(tokens);
    else
      Fail("Unrecognized command");
  }
  return ok;
}

void CRawDataEditor::Changed() {
  m_modified = true;
  m_handedOut.clear();
}

bool CRawDataEditor::EvaluateInt(const std::string& text, int& value) {
  CExpressionValue result;
  if (m_arguments.Evaluate(text, result) != kExprOk || !result.IsScalar()) return false;
  const double v = std::trunc(result.GetScalar());
  if (!std::isfinite(v) || v < std::numeric_limits<int>::min() ||
      v > std::numeric_limits<int>::max())
    return false;
  value = static_cast<int>(v);
  return true;
}

bool CRawDataEditor::DeleteReplicate(const std::vector<std::string>& tokens) {
  if (tokens.size() != 2) {
    Fail("Invalid number of inputs for delete replicate command");
    return false;
  }
  int r = 0;
  if (!EvaluateInt(tokens[1], r) || r < 1 || r > m_db.GetReplicateCount()) {
    Fail("Invalid replicate number");
    return false;
  }
  ShowMessage(Format("Replicate %d has been deleted. There are %d remaining replicates.", r,
                     m_db.GetReplicateCount() - 1));
  m_db.DeleteReplicate(r);
  m_shown = std::clamp(m_shown, m_db.GetReplicateCount() > 0 ? 1 : 0, m_db.GetReplicateCount());
  Changed();
  return true;
}

bool CRawDataEditor::ShiftOrNegate(const std::vector<std::string>& tokens, bool shift,
                                   bool negate) {
  if (tokens.size() < 3 || tokens.size() % 2 == 0) {
    Fail("Invalid number of inputs for this command");
    return false;
  }
  for (std::size_t k = 1; k + 1 < tokens.size(); k += 2) {
    int r = 0, c = 0;
    if (!EvaluateInt(tokens[k], r)) {
      Fail("Invalid input");
      return false;
    }
    if (r < 1 || r > m_db.GetReplicateCount()) {
      Fail("Invalid replicate number");
      return false;
    }
    if (!EvaluateInt(tokens[k + 1], c)) {
      Fail("Invalid input");
      return false;
    }
    // Checked on the shared replicate; written (copied first) only when valid.
    if (c < 1 || c > Rep(r).columnCount) {
      Fail("Invalid column number");
      return false;
    }
    CReplicate& rep = m_db.Replicate(r);
    const int rows = rep.raw.GetRows();
    if (rows > 0 && c <= rep.raw.GetColumns()) {
      const double first = shift ? rep.raw(1, c) : 0.0;
      for (int i = 1; i <= rows; ++i) {
        double& v = rep.raw(i, c);
        const double shifted = v - first;
        // Zero stays 0 (never -0).
        v = negate && shifted != 0.0 ? -shifted : shifted;
      }
    }
    Changed();
  }
  return true;
}

bool CRawDataEditor::Reformat(const std::vector<std::string>& tokens) {
  if (tokens.size() != 5) {
    Fail("Invalid number of inputs for reformat command");
    return false;
  }
  int args[4] = {};
  for (int k = 0; k < 4; ++k) {
    if (!EvaluateInt(tokens[static_cast<std::size_t>(k) + 1], args[k])) {
      Fail("Invalid input");
      return false;
    }
  }
  const int r = args[0], z = args[1], column = args[2], points = args[3];
  if (r < 1 || r > m_db.GetReplicateCount()) {
    Fail("Invalid replicate number");
    return false;
  }
  const CReplicate& checked = Rep(r);
  if (z < 1 || z > checked.zoneCount) {
    Fail("Invalid zone number");
    return false;
  }
  if (column < 1 || column > checked.columnCount) {
    Fail("Invalid column number");
    return false;
  }
  if (points < 1 || points > kMaxReformatPoints) {
    Fail("Invalid number of points");
    return false;
  }
  if (!checked.smoothed || !checked.fitted) {
    Fail("Must process data before reformatting");
    return false;
  }
  CReplicate& rep = m_db.Replicate(r);

  Matrix& smoothed = rep.smoothedData;
  if (smoothed.GetColumns() < 2) {
    CEngineError::Report(kErrReformatColumns);
    return false;
  }
  if (column > smoothed.GetColumns()) {
    Fail("Invalid column number");
    return false;
  }
  const double start = rep.GetZoneStart(z), end = rep.GetZoneEnd(z);
  int first = 0, last = 0;
  if (!FindBlock(smoothed, rep.xColumn, start, end, first, last)) {
    CEngineError::Report(kErrZoneNoSmoothed);
    return false;
  }
  if (!olm::Reformat(smoothed, first, last, column, points)) return false;
  rep.smoothedCount = smoothed.GetRows();

  // The fitted block follows the fit's own x, with y from the zone's curve.
  const CZone& zone = rep.Zone(z);
  Matrix& fitted = rep.fitData;
  if (zone.fit.type != kFitNone && rep.yColumn <= fitted.GetColumns() &&
      FindBlock(fitted, rep.xColumn, start, end, first, last)) {
    CFitSpec spec = zone.fit;
    spec.coefficients.SetSize(CReplicate::kMaxCoefficients);
    for (int i = 1; i <= CReplicate::kMaxCoefficients; ++i)
      spec.coefficients(i) = i <= rep.coefficients.GetRows() && z <= rep.coefficients.GetColumns()
                                 ? rep.coefficients(i, z)
                                 : 0.0;
    if (!olm::Reformat(fitted, first, last, rep.xColumn, points, &spec, rep.yColumn)) return false;
  }

  // The per-zone extremes are taken over the whole matrices.
  double lo = 0.0, hi = 0.0;
  if (ColumnRange(smoothed, smoothed.GetRows(), rep.yColumn, lo, hi))
    for (int k = 1; k <= CReplicate::kMaxZones; ++k) {
      rep.smoothedYMin(k) = lo;
      rep.smoothedYMax(k) = hi;
    }
  if (ColumnRange(fitted, fitted.GetRows(), rep.yColumn, lo, hi))
    for (int k = 1; k <= CReplicate::kMaxZones; ++k) {
      rep.fittedYMin(k) = lo;
      rep.fittedYMax(k) = hi;
    }
  Changed();
  return true;
}

bool CRawDataEditor::CreateReplicate(const std::vector<std::string>& tokens) {
  if (tokens.size() != 7) {
    Fail("Invalid number of inputs for create command");
    return false;
  }
  const std::string& name = tokens[1];
  int kind = -1;
  if (const int k = KeywordIndex(kCurveKinds, tokens[2]); k >= 0)
    kind = kCurveKinds[static_cast<size_t>(k)].stored;
  if (kind < 0) {
    Fail("Invalid data type");
    return false;
  }
  for (int r = 1; r <= m_db.GetReplicateCount(); ++r) {
    if (Rep(r).GetTitle() == name) {
      Fail("Duplicate replicate name");
      return false;
    }
  }
  // The source replicate and column of x (side 0) and y (side 1).
  int source[2] = {}, column[2] = {};
  static const char* const kBadSet[] = {"Invalid x data set input", "Invalid y data set input"};
  static const char* const kBadColumn[] = {"Invalid x column input", "Invalid y column input"};
  for (int side = 0; side < 2; ++side) {
    int& r = source[side];
    int& c = column[side];
    if (!EvaluateInt(tokens[3 + 2 * static_cast<std::size_t>(side)], r) || r < 1 ||
        r > m_db.GetReplicateCount()) {
      Fail(kBadSet[side]);
      return false;
    }
    if (!EvaluateInt(tokens[4 + 2 * static_cast<std::size_t>(side)], c) || c < 1 ||
        c > Rep(r).columnCount) {
      Fail(kBadColumn[side]);
      return false;
    }
    // Processed data may be narrower than the raw columns.
    const Matrix& data = *DataOf(r, kind);
    if (data.GetRows() > 0 && c > data.GetColumns()) {
      Fail(kBadColumn[side]);
      return false;
    }
  }
  const int n = DataOf(source[0], kind)->GetRows();
  if (DataOf(source[1], kind)->GetRows() != n) {
    Fail("Unequal number of points in the two replicates");
    return false;
  }
  if (n < 2) {
    CEngineError::Report(kErrTooFewPoints);
    return false;
  }
  if (m_db.GetReplicateCount() >= CReplicateDB::kMaxReplicates) {
    Fail(Format("Cannot create more than %d replicates.", CReplicateDB::kMaxReplicates).c_str());
    return false;
  }

  ShowMessage(Format("Creating new replicate %d.", m_db.GetReplicateCount() + 1));
  Matrix raw(n, 2);
  RequireSize(raw, n, 2);
  CVector<std::string> headings(2), units(2);
  for (int side = 0; side < 2; ++side) {
    const Matrix& data = *DataOf(source[side], kind);
    const CReplicate& from = Rep(source[side]);
    const int c = column[side];
    for (int i = 1; i <= n; ++i) raw(i, side + 1) = data(i, c);
    headings(side + 1) = c <= from.headings.GetSize() ? from.headings(c) : "";
    units(side + 1) = c <= from.units.GetSize() ? from.units(c) : "";
  }
  const int r = m_db.AddReplicate();
  CReplicate& rep = m_db.Replicate(r);
  rep.SetTitle(name);
  rep.SetXYColumns(1, 2);
  rep.columnCount = 2;
  rep.pointCount = n;
  rep.raw.Swap(raw);
  rep.headings.Assign(headings);
  rep.units.Assign(units);
  m_db.plotSettings.SetShown(r, kCurveRaw, true);
  Changed();
  return true;
}

bool CRawDataEditor::ApplyAssignment(std::string_view command) {
  const std::string name(TrimBlanks(command.substr(0, command.find('='))));
  int r = 0, j = 0, kind = 0;
  if (!ParseColumnName(name, r, j, kind) || r > m_db.GetReplicateCount() ||
      j > Rep(r).columnCount + 1) {
    Fail("Invalid variable name.");
    return false;
  }
  if (kind != kCurveRaw) {
    Fail("Cannot modify smoothened or fitted data.");
    return false;
  }
  const CReplicate& rep = Rep(r);
  // An added column exists as zeros of the replicate's row count while the
  // statement runs, and is withdrawn when the statement fails.
  if (j == rep.columnCount + 1) {
    m_newReplicate = r;
    m_newColumn = j;
  }
  CExpressionEvaluator& evaluator = m_db.Evaluator();
  CExpressionValue result;
  const int status = evaluator.Evaluate(command, result);
  m_newReplicate = m_newColumn = 0;
  m_handedOut.clear();
  if (status == kExprNoMemory) throw std::bad_alloc();
  if (status != kExprOk) {
    Fail("Invalid expression");
    return false;
  }
  m_status = Format("%g", result.GetScalar());
  std::string heading(TrimBlanks(result.GetText()));
  result = CExpressionValue();  // leaves the table's value the only holder
  CExpressionValue value;
  if (!evaluator.TakeVariable(name, value) ||
      !StoreColumn(r, j, value, heading.substr(0, kMaxHeadingLength))) {
    Fail("Invalid expression");
    return false;
  }
  Changed();
  return true;
}

bool CRawDataEditor::StoreColumn(int r, int j, CExpressionValue& value,
                                 const std::string& heading) {
  CReplicate& rep = m_db.Replicate(r);
  const int rows = rep.raw.GetRows();
  Matrix column;
  if (value.IsScalar()) {
    column.SetSize(rows, 1);
    RequireSize(column, rows, 1);
    column.Set(value.GetScalar());
  } else if (value.IsMatrix() && value.GetColumns() == 1 && value.GetRows() == rows) {
    Matrix taken = value.TakeMatrix();
    column.Swap(taken);
  } else {
    return false;
  }

  if (j == rep.columnCount + 1) {
    const int old = std::min(rep.columnCount, rep.raw.GetColumns());
    Matrix wide(rows, j);
    RequireSize(wide, rows, j);
    if (rows > 0) wide.Set(0.0);
    for (int i = 1; i <= rows; ++i) std::copy(rep.raw.Row(i), rep.raw.Row(i) + old, wide.Row(i));
    rep.raw.Swap(wide);
    rep.columnCount = j;
    rep.ResizeColumnTexts(j);
    rep.headings(j) = heading;
    rep.units(j) = "";
    for (Matrix* m : {&rep.smoothedData, &rep.fitData, &rep.outliers}) WidenTo(*m, j);
  }
  if (rows > 0) {
    const std::size_t stride = static_cast<std::size_t>(rep.raw.GetColumns());
    double* dst = rep.raw.Row(1) + (j - 1);
    const double* src = column.Row(1);
    for (int i = 0; i < rows; ++i) dst[static_cast<std::size_t>(i) * stride] = src[i];
  }
  return true;
}

// ---- List and grid -------------------------------------------------------------

std::vector<std::string> CRawDataEditor::ListRow(int replicate) const {
  if (replicate < 1 || replicate > m_db.GetReplicateCount()) return {};
  const CReplicate& rep = Rep(replicate);
  std::vector<std::string> row = {Format("%d", replicate), rep.GetTitle(),
                                  Format("%d", rep.pointCount), Format("%d", rep.columnCount),
                                  Format("%d", rep.zoneCount)};
  for (int c : {rep.xColumn, rep.yColumn}) {
    double lo = 0.0, hi = 0.0;
    const bool has = c <= rep.columnCount && ColumnRange(rep.raw, rep.raw.GetRows(), c, lo, hi);
    row.push_back(has ? Format("%g", lo) : "");
    row.push_back(has ? Format("%g", hi) : "");
  }
  return row;
}

int CRawDataEditor::GridRows() const {
  const Matrix* m = DataOf(m_shown, m_shownKind);
  return m ? m->GetRows() : 0;
}

int CRawDataEditor::GridColumns() const {
  return VariableColumns(m_shown, m_shownKind);
}

std::string CRawDataEditor::ColumnVariable(int c) const {
  return ColumnVariableName(m_shown, c, m_shownKind);
}

std::string CRawDataEditor::ColumnHeading(int c) const {
  if (m_shown < 1 || m_shown > m_db.GetReplicateCount()) return {};
  const CReplicate& rep = Rep(m_shown);
  return c >= 1 && c <= rep.headings.GetSize() ? rep.headings(c) : std::string();
}

std::string CRawDataEditor::ColumnUnits(int c) const {
  if (m_shown < 1 || m_shown > m_db.GetReplicateCount()) return {};
  const CReplicate& rep = Rep(m_shown);
  return c >= 1 && c <= rep.units.GetSize() ? rep.units(c) : std::string();
}

std::string CRawDataEditor::RowLabel(int r) const {
  return Format("ds%d_r%d", m_shown, r);
}

std::string CRawDataEditor::CellText(int r, int c) const {
  if (r < 1 || r > GridRows() || c < 1 || c > GridColumns()) return {};
  return Format("%-g", (*DataOf(m_shown, m_shownKind))(r, c));
}

// ---- Export and closing --------------------------------------------------------------

bool CRawDataEditor::Export(int replicate, const std::string& path, int kind,
                            const std::vector<std::string>& inputs) const {
  const Matrix* data = DataOf(replicate, kind);
  if (!data) {
    CEngineError::Report(kErrInvalidDataSet);
    return false;
  }
  const CReplicate& rep = Rep(replicate);
  const int xc = rep.xColumn, yc = rep.yColumn;
  const bool hasXY = xc >= 1 && yc >= 1 && xc <= data->GetColumns() && yc <= data->GetColumns();
  COutputFile out;
  if (out.Open(path, inputs)) {
    out.Write(rep.GetTitle() + "\nx and y data\n");
    char line[80];
    for (int i = 1; hasXY && i <= data->GetRows(); ++i) {
      const int n =
          std::snprintf(line, sizeof line, "%15.10g,  %15.10g\n", (*data)(i, xc), (*data)(i, yc));
      out.Write(std::string_view(line, static_cast<size_t>(n)));
    }
    if (out.Commit()) return true;
  }
  out.Discard();
  if (!out.Error().empty()) ShowMessage(out.Error(), MessageKind::Error);
  CEngineError::Report(kErrCannotOpenOutput);
  return false;
}

void CRawDataEditor::UpdateDocument(CReplicateDB& db) {
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
}

}  // namespace olm
