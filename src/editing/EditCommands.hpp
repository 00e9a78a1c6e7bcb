#pragma once
// CRawDataEditor: the rules of the raw-data editor, free of any widget.
//
// The editor works on the database in place.  Its command box takes either a
// column assignment ("ds1_c3_raw = ds1_c2_raw * 2") or one of the named
// commands deleterep, zero, inv, zeroinv, reformat and createrep, whose
// arguments are themselves calculator expressions truncated to integers.
// Every message goes through ShowMessage; failures are MessageKind::Error,
// the notices of deleterep and createrep MessageKind::Information.
//
// Column variables.  Column J of replicate I is "dsI_cJ_raw", "dsI_cJ_smt"
// and "dsI_cJ_fit" (raw, smoothed and fitted data, one-column matrices) and
// row R of replicate I is "dsI_rR" (the raw row as a one-row matrix).  They
// are not copied into the database's evaluator: the editor is the
// evaluator's resolver and hands out a column only when a statement names
// it, so a statement costs time in proportion to the columns it uses, not to
// the database.  An assigned column is taken out of the evaluator's table
// and written into the raw data, where later statements find it again.
//
// Decisions of this implementation:
// - Command words are split at "(", "," and ")"; blanks around a token are
//   dropped and empty tokens do not count ("zero(1,2)" has three tokens).
// - An argument that is not a finite scalar within the int range counts as
//   one that failed to evaluate.
// - The column limit of an assignment is the column count + 1 of the
//   replicate assigned to (not of the replicate shown in the grid).
// - A scalar assigned to a column fills the whole column; a vector, point or
//   matrix that is not one column of the replicate's row count gives
//   "Invalid expression".
// - A column added by an assignment takes the expression text (at most 30
//   characters) as its heading and no unit.  Non-empty smoothed, fitted and
//   outlier matrices narrower than the new column count get a zero column,
//   so the processed data always hold at least the raw column count (as the
//   project file requires); their values are not recomputed.
// - reformat resamples the zone's block of the smoothed data: the rows from
//   the first to the last whose x (the replicate's x column) lies in the
//   zone's closed range, evenly spaced along the given column.  A zone with a
//   fit has its block of the fitted data resampled the same way along the x
//   column, with the fitted y evaluated from the zone's coefficients at the
//   new x.  The smoothed count and the per-zone smoothed and fitted y extremes
//   follow; areas and R-squared stay those of the analysis.  A zone without
//   smoothed rows in its range reports "Zone contains no smoothened points".
// - createrep refuses fewer than 2 points ("Number of points must be > 1.")
//   and a database that already holds 20 replicates; the new replicate's raw
//   curve is shown.
// - Export writes the replicate's title, then "x and y data", then one line
//   per point: x and y with "%15.10g" separated by ",  ".
// - The grid's cell operations (deleting rows and columns, paste) and
//   "Update" are left to the desktop program.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Database.hpp"
#include "numerics/ExpressionEvaluator.hpp"

namespace olm {

class CRawDataEditor : private IVariableResolver {
 public:
  static constexpr const char* kCaption = "Edit Raw Data & View Smoothened and Fitted Data";
  // Most characters of a heading given to a column that an assignment adds.
  static constexpr std::size_t kMaxHeadingLength = 30;

  // The "Action" list: command templates in order.
  static const std::vector<std::string>& ActionTemplates();
  // Headings of the replicate list.
  static const std::vector<std::string>& ListHeadings();

  // Works on db in place and becomes the resolver of its evaluator until
  // destroyed.
  explicit CRawDataEditor(CReplicateDB& db);
  ~CRawDataEditor() override;
  CRawDataEditor(const CRawDataEditor&) = delete;
  CRawDataEditor& operator=(const CRawDataEditor&) = delete;

  // Executes one command; true on success.  A failing command has shown its
  // message and keeps every change made before the failure.
  bool Apply(std::string_view command);

  // Set by every successful command.
  bool IsModified() const { return m_modified; }
  void SetModified(bool modified) { m_modified = modified; }
  // After an assignment: the statement's scalar value formatted with "%g".
  const std::string& GetStatusText() const { return m_status; }

  // The replicate list: one row per replicate with the texts of the columns
  // of ListHeadings (extremes of the raw x and y columns, empty without data).
  std::vector<std::string> ListRow(int replicate) const;

  // The grid: the data of one kind (kCurveRaw, kCurveSmoothed, kCurveFitted)
  // of the shown replicate.
  int GetShownReplicate() const { return m_shown; }
  void SetShownReplicate(int replicate) { m_shown = replicate; }
  int GetShownKind() const { return m_shownKind; }
  void SetShownKind(int kind) { m_shownKind = kind; }
  int GridRows() const;
  int GridColumns() const;
  // Column c: its variable name, heading and units.
  std::string ColumnVariable(int c) const;
  std::string ColumnHeading(int c) const;
  std::string ColumnUnits(int c) const;
  // Row r: "dsI_rR".
  std::string RowLabel(int r) const;
  // Cell (r, c) with "%-g"; empty outside the data.
  std::string CellText(int r, int c) const;

  // "Export": writes the x and y data of one kind of a replicate to a text
  // file (through a temporary file renamed into place).  Reports "Invalid
  // data set number" or "Cannot open output file." and returns false.
  // The file is refused when it is not a regular file or is one of inputs.
  bool Export(int replicate, const std::string& path, int kind = kCurveRaw,
              const std::vector<std::string>& inputs = {}) const;

  // What the document does after the editor closes: recompute the extents
  // and refresh the plot limits from them.
  static void UpdateDocument(CReplicateDB& db);

  // Variable name of column c of replicate r: "ds%d_c%d_raw" ("_smt", "_fit").
  static std::string ColumnVariableName(int replicate, int column, int kind);
  // Splits a canonical column name ("ds12_c3_raw") into its numbers and kind;
  // false for any other text.
  static bool ParseColumnName(std::string_view name, int& replicate, int& column, int& kind);
  // Splits a canonical row name ("ds2_r15").
  static bool ParseRowName(std::string_view name, int& replicate, int& row);
  // The command's tokens as the named commands see them.
  static std::vector<std::string> Tokenize(std::string_view command);

 private:
  using Matrix = CMatrix<double>;

  bool Resolve(std::string_view name, CExpressionValue& value) override;
  bool Describe(std::string_view name, int& kind, int& rows, int& columns) override;

  // Runs one command (Apply adds the handling of a failed allocation).
  bool Dispatch(std::string_view command);
  bool ApplyAssignment(std::string_view command);
  bool DeleteReplicate(const std::vector<std::string>& tokens);
  bool ShiftOrNegate(const std::vector<std::string>& tokens, bool shift, bool negate);
  bool Reformat(const std::vector<std::string>& tokens);
  bool CreateReplicate(const std::vector<std::string>& tokens);

  // Evaluates a command argument with the argument evaluator and truncates
  // it toward zero; false when it does not give a finite scalar in int range.
  bool EvaluateInt(const std::string& text, int& value);
  // A replicate to read (never copied for a snapshot, as a change would be).
  const CReplicate& Rep(int r) const { return std::as_const(m_db).Replicate(r); }
  // The data matrix of a kind, and how many of its columns are variables.
  const Matrix* DataOf(int replicate, int kind) const;
  int VariableColumns(int replicate, int kind) const;
  // Writes column j of replicate r from an assigned value; false when the
  // value is not a fitting column.
  bool StoreColumn(int r, int j, CExpressionValue& value, const std::string& heading);
  void Changed();

  CReplicateDB& m_db;
  CExpressionEvaluator m_arguments;  // evaluates the named commands' arguments
  // Columns handed out during one command, shared by every use in it.
  std::map<std::string, std::shared_ptr<Matrix>, std::less<>> m_handedOut;
  // A column that the assignment in progress adds: (replicate, column).
  int m_newReplicate = 0, m_newColumn = 0;
  bool m_modified = false;
  std::string m_status;
  int m_shown = 1;
  int m_shownKind = kCurveRaw;
};

}  // namespace olm
