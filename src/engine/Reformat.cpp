#include "engine/Reformat.hpp"

#include <climits>

#include "engine/EngineError.hpp"
#include "engine/ZoneProcessing.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

bool CheckReformatPoints(int points) {
  if (points < 1) {
    CEngineError::Report(kErrReformatPoints);
    return false;
  }
  if (points > kMaxReformatPoints) {
    ShowMessage(Format("Number of reformatted points must be at most %d.", kMaxReformatPoints),
                MessageKind::Error);
    return false;
  }
  return true;
}

bool Reformat(CMatrix<double>& m, int firstRow, int lastRow, int xCol, int points,
              const CFitSpec* fit, int yCol) {
  if (!CheckReformatPoints(points)) return false;
  const int cols = m.GetColumns();
  if (cols < 2) {
    CEngineError::Report(kErrReformatColumns);
    return false;
  }
  if (firstRow < 1 || lastRow < firstRow || lastRow > m.GetRows() || xCol < 1 || xCol > cols)
    return false;

  const int rows = m.GetRows();
  const int block = lastRow - firstRow + 1;
  const long long outRows = static_cast<long long>(rows) - block + points;
  if (outRows > INT_MAX / cols) {
    ShowMessage("The reformatted data would be too large.", MessageKind::Error);
    return false;
  }
  CMatrix<double> out(static_cast<int>(outRows), cols);
  if (out.GetRows() != outRows) return false;  // allocation failed (already reported)
  for (int i = 1; i < firstRow; ++i) std::copy(m.Row(i), m.Row(i) + cols, out.Row(i));
  for (int i = lastRow + 1; i <= rows; ++i)
    std::copy(m.Row(i), m.Row(i) + cols, out.Row(i - block + points));

  const double x0 = m(firstRow, xCol), x1 = m(lastRow, xCol);
  const double step = points > 1 ? (x1 - x0) / (points - 1) : 0.0;
  int left = firstRow;  // block rows left and left + 1 bracket the new x
  for (int k = 1; k <= points; ++k) {
    const double x = k == points ? x1 : x0 + (k - 1) * step;
    while (left + 1 < lastRow && m(left + 1, xCol) <= x) ++left;
    const int right = left < lastRow ? left + 1 : left;
    const double xl = m(left, xCol), xr = m(right, xCol);
    double t = 0.0;
    if (xr != xl) t = (x - xl) / (xr - xl);
    if (x <= xl) t = 0.0;
    if (x >= xr) t = 1.0;
    double* dst = out.Row(firstRow + k - 1);
    for (int j = 1; j <= cols; ++j) {
      const double yl = m(left, j), yr = m(right, j);
      dst[j - 1] = yl + t * (yr - yl);
    }
    dst[xCol - 1] = x;
    if (fit && yCol >= 1 && yCol <= cols && yCol != xCol)
      EvaluateFit(*fit, x, &dst[yCol - 1], nullptr);
  }
  m.Swap(out);
  return true;
}

}  // namespace olm
