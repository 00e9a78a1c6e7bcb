#pragma once
// Tsai-Wu failure envelopes of an orthotropic ply.
//
// From the ply strengths CFailureSurface computes the envelope in the
// S22-S11 plane (for an applied in-plane shear) and in the S23-S13 plane (for
// an applied normal stress in direction 3), each in plain, scaled,
// scaled-and-centred and polar forms, and the combined polar table.  The
// tables are written to a text file of right-aligned 15-character cells, and
// the point series of every plot type are kept, sorted by x, for drawing.
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "numerics/Containers.hpp"

namespace olm {

// The ply strengths and the applied stresses (single precision, as entered).
struct CFailureSurfaceInput {
  float s1t = 0, s1c = 0;  // tensile and compressive strength, direction 1
  float s2t = 0, s2c = 0;  // direction 2
  float s3t = 0, s3c = 0;  // direction 3
  float s12 = 0;           // shear strength, 1-2 plane
  float s23 = 0;           // shear strength, 2-3 plane
  float s13 = 0;           // shear strength, 1-3 plane
  float n = 2;             // exponent of the combined envelope
  float s12Value = 0;      // applied in-plane shear stress (S22-S11 envelope)
  float s33Value = 0;      // applied normal stress in direction 3 (S23-S13 envelope)
};

struct CTsaiWuCoefficients {
  double F1 = 0, F2 = 0, F3 = 0;
  double F11 = 0, F22 = 0, F33 = 0;
  double F44 = 0, F55 = 0, F66 = 0;  // 2-3, 1-3 and 1-2 shear
  double F12 = 0;
};

CTsaiWuCoefficients TsaiWuCoefficients(const CFailureSurfaceInput& in);

// Roots of a*x^2 + b*x + c = 0: first (-b + sqrt(D))/(2a), second
// (-b - sqrt(D))/(2a).  Both are 0 when D < 0.  A vanishing a (no quadratic
// term) gives the root of the linear equation twice (0 when b is 0 too).
std::pair<double, double> QuadraticRoots(double a, double b, double c);

// Polar form of (x, y): {theta in degrees = acos(x / r), r}.  The angle of the
// origin is taken as 0.
std::pair<double, double> PolarForm(double x, double y);

// One x-y point series of a plot.
struct CPlotSeries {
  std::string name;
  std::vector<double> x, y;
};

// Orders the points by x, ascending, moving x and y together; points of equal
// x keep their order (the order a pairwise exchange sort gives).
void SortSeriesByX(CPlotSeries& series);

enum class FailurePlotType {
  S22S11 = 0,
  S23S13 = 1,
  S22S11Scaled = 2,
  S22S11ScaledCentered = 3,
  RTheta1122 = 4,
  RTheta1323 = 5,
};
constexpr int kFailurePlotTypeCount = 6;

class CFailureSurface {
 public:
  static constexpr int kRows = 100;
  static constexpr int kS22S11Columns = 21;
  static constexpr int kS23S13Columns = 14;
  static constexpr int kCombinedColumns = 6;

  static const std::array<const char*, kS22S11Columns>& S22S11Names();
  static const std::array<const char*, kS23S13Columns>& S23S13Names();
  static const std::array<const char*, kCombinedColumns>& CombinedNames();

  // Computes all tables and plot series from the input.  The input must have
  // positive strengths and a positive n (CFailureSurfaceForm checks that).
  void Compute(const CFailureSurfaceInput& in);

  bool HasValues() const { return m_computed; }
  const CTsaiWuCoefficients& Coefficients() const { return m_f; }
  // kRows x 21, kRows x 14 and kRows x 6 tables, columns in the order of the names.
  const CMatrix<double>& S22S11Table() const { return m_s22s11; }
  const CMatrix<double>& S23S13Table() const { return m_s23s13; }
  const CMatrix<double>& CombinedTable() const { return m_combined; }
  // Whether every value of the three tables is a finite number.
  bool IsFinite() const;
  // The series drawn for a plot type (two branches, each sorted by x).
  const std::vector<CPlotSeries>& Series(FailurePlotType type) const {
    return m_series[static_cast<int>(type)];
  }

  // S13 of the positive branch of the S23-S13 envelope at a given S23.
  double S13At(double s23) const;

  // The output file's text: the three tables with their header rows,
  // separated by blank lines, every cell right-aligned in 15 characters.
  std::string FormatTables() const;
  // Writes FormatTables() to path through COutputFile; false on failure,
  // with the reason in *error when error is not null.
  bool Write(const std::string& path, std::string* error = nullptr) const;

 private:
  void ComputeS22S11();
  void ComputeS23S13();
  void ComputeCombined();
  void BuildSeries();

  CFailureSurfaceInput m_in;
  CTsaiWuCoefficients m_f;
  double m_q = 0;  // 1 - F3*s33 - F33*s33^2, not below 0
  bool m_computed = false;
  CMatrix<double> m_s22s11, m_s23s13, m_combined;
  std::array<std::vector<CPlotSeries>, kFailurePlotTypeCount> m_series;
};

}  // namespace olm
