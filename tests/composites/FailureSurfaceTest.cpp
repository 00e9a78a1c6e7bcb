#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <tuple>

#include "TestSupport.hpp"
#include "composites/FailureSurface.hpp"
#include "composites/FailureSurfaceForm.hpp"
#include "numerics/OutputFile.hpp"

namespace olm::test {
namespace {

CFailureSurfaceInput Ply() {
  CFailureSurfaceInput in;
  in.s1t = 1500, in.s1c = 1200, in.s2t = 50, in.s2c = 200, in.s3t = 50, in.s3c = 200;
  in.s12 = 70, in.s23 = 40, in.s13 = 70, in.n = 2, in.s12Value = 20, in.s33Value = 10;
  return in;
}

CFailureSurfaceInput EqualStrengths() {
  CFailureSurfaceInput in;
  in.s1t = in.s1c = 1000, in.s2t = in.s2c = 100, in.s3t = in.s3c = 100;
  in.s12 = 60, in.s23 = 50, in.s13 = 80, in.n = 2, in.s12Value = 0, in.s33Value = 0;
  return in;
}

// Left-hand side of the Tsai-Wu criterion in the 1-2 plane.
double TsaiWu12(const CTsaiWuCoefficients& f, double s11, double s22, double tau) {
  return f.F1 * s11 + f.F2 * s22 + f.F11 * s11 * s11 + f.F22 * s22 * s22 + 2 * f.F12 * s11 * s22 +
         f.F66 * tau * tau;
}

CFailureSurface Computed(const CFailureSurfaceInput& in) {
  CFailureSurface fs;
  fs.Compute(in);
  return fs;
}

// The column of a name in the S22-S11 table, else in the S23-S13 table.
int Column(const std::string& name) {
  const auto in = [&name](const auto& names) {
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? 0 : static_cast<int>(it - names.begin()) + 1;
  };
  const int j = in(CFailureSurface::S22S11Names());
  return j ? j : in(CFailureSurface::S23S13Names());
}

TEST(TsaiWuTest, CoefficientsFromStrengths) {
  const CTsaiWuCoefficients f = TsaiWuCoefficients(Ply());
  EXPECT_DOUBLE_EQ(f.F1, 1.0 / 1500 - 1.0 / 1200);
  EXPECT_DOUBLE_EQ(f.F2, 1.0 / 50 - 1.0 / 200);
  EXPECT_DOUBLE_EQ(f.F3, 1.0 / 50 - 1.0 / 200);  // equal strengths would make F1..F3 zero
  EXPECT_DOUBLE_EQ(f.F11, 1.0 / (1500.0 * 1200.0));
  EXPECT_DOUBLE_EQ(f.F22, 1.0 / 10000.0);
  EXPECT_DOUBLE_EQ(f.F66, 1.0 / 4900.0);
  EXPECT_DOUBLE_EQ(f.F44, 1.0 / 1600.0);
  EXPECT_DOUBLE_EQ(f.F55, 1.0 / 4900.0);
  EXPECT_DOUBLE_EQ(f.F12, -0.5 * std::sqrt(f.F11 * f.F22));
}

TEST(TsaiWuTest, QuadraticRootsPolarFormAndSeriesSort) {
  using Pair = std::pair<double, double>;
  // The "+" root is (-b + sqrt(D)) / 2a even for a < 0; a negative
  // discriminant gives zeros; no quadratic term divides by nothing.
  EXPECT_EQ(QuadraticRoots(1, -3, 2), Pair(2, 1));
  EXPECT_EQ(QuadraticRoots(-1, 0, 4), Pair(-2, 2));
  EXPECT_EQ(QuadraticRoots(1, 0, 1), Pair(0, 0));
  EXPECT_EQ(QuadraticRoots(0, 2, -4), Pair(2, 2));
  // Polar form in degrees: the angle from the x axis, whatever the side.
  for (const auto& [x, y, angle, radius] : {std::tuple{0.0, 2.0, 90.0, 2.0},
                                            {-3.0, 0.0, 180.0, 3.0},
                                            {1.0, -1.0, 45.0, std::sqrt(2.0)}}) {
    EXPECT_NEAR(PolarForm(x, y).first, angle, 1e-12) << x << " " << y;
    EXPECT_NEAR(PolarForm(x, y).second, radius, 1e-15) << x << " " << y;
  }
  EXPECT_EQ(PolarForm(0, 0), Pair(0, 0));
  // Sorting moves the pairs and keeps ties in order.
  CPlotSeries s;
  s.x = {3, 1, 2, 1};
  s.y = {30, 10, 20, 11};
  SortSeriesByX(s);
  EXPECT_EQ(s.x, (std::vector<double>{1, 1, 2, 3}));
  EXPECT_EQ(s.y, (std::vector<double>{10, 11, 20, 30}));
}

TEST(FailureSurfaceTest, S22S11RowsLieOnTheEnvelopeWithTwoRealRoots) {
  const CFailureSurface fs = Computed(Ply());
  const auto& t = fs.S22S11Table();
  ASSERT_EQ(t.GetRows(), 100);
  ASSERT_EQ(t.GetColumns(), 21);
  for (int i = 1; i <= 100; ++i) {
    EXPECT_GT(t(i, 2), t(i, 3)) << "row " << i;
    EXPECT_NEAR(TsaiWu12(fs.Coefficients(), t(i, 1), t(i, 2), 20), 1.0, 1e-9);
    EXPECT_NEAR(TsaiWu12(fs.Coefficients(), t(i, 1), t(i, 3), 20), 1.0, 1e-9);
  }
  // Evenly spaced, ascending.
  const double step = t(2, 1) - t(1, 1);
  EXPECT_GT(step, 0);
  EXPECT_NEAR(t(100, 1) - t(1, 1), 99 * step, 1e-9);
}

TEST(FailureSurfaceTest, S11RangeStopsJustShortOfTheEnvelopeEnds) {
  // Equal strengths X, Y: the ends of the S22-S11 envelope lie at
  // S11 = +-X * sqrt(4/3 * (1 - tau^2/S12^2)).
  CFailureSurfaceInput in = EqualStrengths();
  in.s12Value = 30;
  const CFailureSurface fs = Computed(in);
  const double end = 1000 * std::sqrt(4.0 / 3.0 * (1 - 900.0 / 3600.0));
  EXPECT_NEAR(fs.S22S11Table()(1, 1), -end + 0.001, 1e-7);
  EXPECT_NEAR(fs.S22S11Table()(100, 1), end - 0.001, 1e-7);
}

TEST(FailureSurfaceTest, ScaledCentredAndPolarColumns) {
  const CFailureSurfaceInput in = Ply();
  const CFailureSurface fs = Computed(in);
  const auto& t = fs.S22S11Table();
  double yMax = -1e300, yMin = 1e300;
  for (int i = 1; i <= 100; ++i) yMax = std::max(yMax, t(i, 2)), yMin = std::min(yMin, t(i, 3));
  const double cx = (t(1, 1) + t(100, 1)) / 2 / in.s1t, cy = (yMax + yMin) / 2 / in.s2t;
  EXPECT_GT(std::fabs(cy), 0.1);  // unequal strengths move the centre
  for (int i : {1, 37, 100}) {
    EXPECT_DOUBLE_EQ(t(i, Column("S11s")), t(i, 1) / 1500);
    EXPECT_DOUBLE_EQ(t(i, Column("S22s-")), t(i, 3) / 50);
    EXPECT_NEAR(t(i, Column("S11sm")), t(i, 1) / 1500 - cx, 1e-12);
    EXPECT_NEAR(t(i, Column("S22sm+")), t(i, 2) / 50 - cy, 1e-12);
    EXPECT_NEAR(t(i, Column("S22sm-")), t(i, 3) / 50 - cy, 1e-12);
    const double x = t(i, 1), y = t(i, 3);
    EXPECT_NEAR(t(i, Column("S22r-")), std::hypot(x, y), 1e-9);
    EXPECT_NEAR(t(i, Column("S22t-")), std::acos(x / std::hypot(x, y)) * 180 / M_PI, 1e-9);
    const double xs = t(i, Column("S11sm")), ys = t(i, Column("S22sm+"));
    EXPECT_NEAR(t(i, Column("S22smr+")), std::hypot(xs, ys), 1e-12);
  }
}

TEST(FailureSurfaceTest, S23S13WithoutAppliedStressesReachesTheShearStrengths) {
  const CFailureSurface fs = Computed(EqualStrengths());  // tau = 0, s33 = 0
  const auto& t = fs.S23S13Table();
  ASSERT_EQ(t.GetColumns(), 14);
  EXPECT_NEAR(t(1, 1), -50.1, 1e-9);
  EXPECT_NEAR(t(100, 1), 50.1, 1e-9);
  EXPECT_NEAR(fs.S13At(0), 80, 1e-9);
  EXPECT_EQ(t(1, 2), 0.0);  // beyond the strength: no S13 left
  EXPECT_FALSE(std::signbit(t(1, 3)));
  EXPECT_EQ(fs.FormatTables().find(" -0 "), std::string::npos);
  double top = 0;
  for (int i = 1; i <= 100; ++i) {
    top = std::max(top, t(i, 2));
    EXPECT_EQ(t(i, 3), -t(i, 2));
    // On the ellipse (S23/50)^2 + (S13/80)^2 = 1 wherever S13 is not zero.
    if (t(i, 2) > 0) {
      EXPECT_NEAR(std::pow(t(i, 1) / 50, 2) + std::pow(t(i, 2) / 80, 2), 1, 1e-9);
    }
    EXPECT_DOUBLE_EQ(t(i, Column("S23s")), t(i, 1) / 50);
    EXPECT_DOUBLE_EQ(t(i, Column("S13s+")), t(i, 2) / 80);
    EXPECT_NEAR(t(i, Column("S13rt+")), std::hypot(t(i, 1) / 50, t(i, 2) / 80), 1e-12);
  }
  EXPECT_NEAR(top, 80, 0.01);  // the rows nearest S23 = 0 sit half a step away
}

TEST(FailureSurfaceTest, AppliedNormalStressShrinksTheShearEnvelope) {
  CFailureSurfaceInput in = EqualStrengths();
  in.s33Value = 60;  // q = 1 - 0.36
  CFailureSurface fs = Computed(in);
  EXPECT_NEAR(fs.S13At(0), 80 * std::sqrt(0.64), 1e-9);
  EXPECT_NEAR(fs.S23S13Table()(100, 1), 50 * 0.8 + 0.1, 1e-9);
  in.s33Value = 150;  // beyond the strength: q is held at 0
  fs.Compute(in);
  EXPECT_EQ(fs.S13At(0), 0.0);
  EXPECT_NEAR(fs.S23S13Table()(1, 1), -0.1, 1e-12);
}

TEST(FailureSurfaceTest, CombinedTableUsesTheExponent) {
  CFailureSurfaceInput in = Ply();
  in.n = 3;
  const CFailureSurface fs = Computed(in);
  const auto& a = fs.S22S11Table();
  const auto& b = fs.S23S13Table();
  const auto& c = fs.CombinedTable();
  for (int i : {1, 50, 100}) {
    // Columns 1-3 for the "+" branch, 4-6 for the "-" branch.
    for (const auto& [j, sign] : {std::pair{1, "+"}, {4, "-"}}) {
      const double r = a(i, Column(std::string("S22r") + sign));
      const double q = b(i, Column(std::string("S13r") + sign));
      EXPECT_EQ(std::pair(c(i, j), c(i, j + 1)), std::pair(r, q));
      EXPECT_NEAR(c(i, j + 2), std::cbrt(r * r * r + q * q * q), 1e-9 * c(i, j + 2));
    }
  }
}

TEST(FailureSurfaceTest, PlotSeriesPerTypeAreSortedByX) {
  const CFailureSurface fs = Computed(Ply());
  for (int type = 0; type < kFailurePlotTypeCount; ++type) {
    const auto& series = fs.Series(static_cast<FailurePlotType>(type));
    ASSERT_EQ(series.size(), 2u);
    for (const CPlotSeries& s : series) {
      ASSERT_EQ(s.x.size(), 100u);
      for (size_t k = 1; k < s.x.size(); ++k) EXPECT_LE(s.x[k - 1], s.x[k]) << s.name;
    }
  }
  // The polar series: x is the angle, y the radius of the same point.
  const CPlotSeries& polar = fs.Series(FailurePlotType::RTheta1122)[0];
  std::set<std::pair<double, double>> points;
  for (int i = 1; i <= 100; ++i)
    points.emplace(fs.S22S11Table()(i, Column("S22t+")), fs.S22S11Table()(i, Column("S22r+")));
  for (size_t k = 0; k < polar.x.size(); ++k)
    EXPECT_TRUE(points.count({polar.x[k], polar.y[k]})) << k;
}

TEST(FailureSurfaceFileTest, LayoutOfTheOutputFile) {
  const CFailureSurface fs = Computed(Ply());
  CTempDir dir;
  const std::string path = dir.File("test.txt");
  ASSERT_TRUE(fs.Write(path));
  const std::vector<std::string> lines = SplitLines(ReadFile(path));
  ASSERT_EQ(lines.size(), 305u);
  EXPECT_EQ(lines[0].substr(0, 45), "            S11           S22+           S22-");
  EXPECT_EQ(lines[0].substr(300), "        S22smr-");
  EXPECT_EQ(lines[102].substr(0, 30), "            S23           S13+");
  EXPECT_EQ(lines[204],
            "          S22r+          S13r+             d+          S22r-          S13r-"
            "             d-");
  for (size_t k = 0; k < lines.size(); ++k) {
    const size_t width = k <= 100 ? 315 : k == 101 || k == 203 ? 0 : k <= 202 ? 210 : 90;
    ASSERT_EQ(lines[k].size(), width) << "line " << k + 1;
    for (size_t c = 0; c < width; c += 15) {
      const std::string cell = lines[k].substr(c, 15);
      EXPECT_EQ(cell[0], ' ') << "line " << k + 1;  // right-aligned, never touching
      EXPECT_NE(cell[14], ' ') << "line " << k + 1;
    }
  }
  // The cells carry the table's values.
  const auto& t = fs.S22S11Table();
  for (int j = 1; j <= 21; ++j) {
    const double v = std::strtod(lines[50].substr((j - 1) * 15, 15).c_str(), nullptr);
    EXPECT_NEAR(v, t(50, j), 1e-6 * std::max(1.0, std::fabs(t(50, j))));
  }
}

TEST(OutputFileTest, FailedWriteKeepsTheOlderFile) {
  CTempDir dir;
  // A target that cannot be replaced (a non-empty folder) is reported and its
  // content stays.
  const std::string folder = dir.File("old");
  std::filesystem::create_directory(folder);
  dir.Write("old/keep.txt", "keep");
  EXPECT_FALSE(WriteTextFile(folder, "new"));
  EXPECT_EQ(ReadFile(folder + "/keep.txt"), "keep");
  EXPECT_FALSE(std::filesystem::exists(folder + ".olmtmp"));
  // A folder that does not exist cannot take the file.
  EXPECT_FALSE(WriteTextFile(dir.File("missing/x.txt"), "new"));
  // An uncommitted file leaves the older one.
  const std::string path = dir.Write("a.txt", "old");
  {
    COutputFile f;
    ASSERT_TRUE(f.Open(path));
    f.Write("new");
  }
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_TRUE(WriteTextFile(path, "new"));
  EXPECT_EQ(ReadFile(path), "new");
}

// A form writing into a fresh folder.
class FailureSurfaceFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetOutputPath(dir.File("test.txt"));
    form.Input() = Ply();
  }
  CRecordingUi ui;
  CTempDir dir;
  CFailureSurfaceForm form;
};

TEST_F(FailureSurfaceFormTest, ChecksTheInputBeforeComputing) {
  EXPECT_EQ(form.SeriesToDraw(), nullptr);  // nothing to plot yet
  form.Input().s2c = 0;
  EXPECT_FALSE(form.Compute());
  EXPECT_EQ(ui.Last(), "The value of S2C must be a number greater than 0.");
  EXPECT_FALSE(std::filesystem::exists(dir.File("test.txt")));
  form.Input().s2c = 200;
  form.Input().n = -1;
  EXPECT_FALSE(form.Compute());
  EXPECT_EQ(ui.Last(), "The value of n must be a number greater than 0.");
  form.Input().n = 2;
  form.Input().s33Value = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(form.Compute());
  EXPECT_EQ(ui.Last(), "The value of S33 value must be a finite number.");
  form.Input().s33Value = 0;
  ui.Clear();
  EXPECT_TRUE(form.Compute());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(std::filesystem::exists(dir.File("test.txt")));
  ASSERT_NE(form.SeriesToDraw(), nullptr);
}

TEST_F(FailureSurfaceFormTest, ChoosingAPlotTypeRecomputes) {
  EXPECT_STREQ(form.PlotTitle(), "S22-S11 Plot");
  EXPECT_TRUE(form.ChoosePlotType(4));
  EXPECT_STREQ(form.PlotTitle(), "R-Theta 11-22 space");
  EXPECT_EQ(form.SeriesToDraw(), &form.Surface().Series(FailurePlotType::RTheta1122));
  EXPECT_FALSE(form.ChoosePlotType(6));
  EXPECT_EQ(form.PlotType(), 4);
}

TEST_F(FailureSurfaceFormTest, UnwritableFileIsReported) {
  const std::string path = dir.File("none/test.txt");
  form.SetOutputPath(path);
  EXPECT_FALSE(form.Compute());
  EXPECT_EQ(ui.Last(), "Unable to write the failure surface file " + path + ".");
  EXPECT_TRUE(form.Surface().HasValues());  // computed all the same, for drawing
}

}  // namespace
}  // namespace olm::test
