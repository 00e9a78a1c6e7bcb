#include <gtest/gtest.h>

#include <cmath>

#include "TestSupport.hpp"
#include "numerics/Containers.hpp"
#include "numerics/EngVector.hpp"
#include "numerics/MatrixToolbox.hpp"

namespace olm {
namespace {

using test::CRecordingUi;

CMatrix<double> Make(int r, int c, std::initializer_list<double> values) {
  CMatrix<double> m(r, c);
  auto it = values.begin();
  for (int i = 1; i <= r; ++i)
    for (int j = 1; j <= c; ++j) m(i, j) = *it++;
  return m;
}

TEST(CVectorTest, EmptyAndNegativeSizesGiveEmptyVectorsWithZeroNorm) {
  CVector<double> a(0), b(-3), c;
  EXPECT_EQ(a.GetSize(), 0);
  EXPECT_EQ(b.GetSize(), 0);
  EXPECT_TRUE(c.IsEmpty());
  EXPECT_EQ(b.Norm(), 0.0);
  c.SetSize(4);
  c.SetSize(-1);
  EXPECT_EQ(c.GetSize(), 0);
}

TEST(CVectorTest, AssignmentBetweenDifferentSizesReportsAndLeavesTarget) {
  CRecordingUi ui;
  CVector<double> three(3, 1.0), four(4, 7.0);
  four.SetName("target");
  four = three;
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, MessageKind::Diagnostic);
  EXPECT_EQ(ui.messages[0].second,
            "CVector::Vector Name: target.\nConstructor. Incompatible vectors.\n");
  EXPECT_EQ(four.GetSize(), 4);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(four(i), 7.0);

  // A move of a different size is refused the same way and the source survives.
  four = CVector<double>(2, 5.0);
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(four(1), 7.0);
}

TEST(CVectorTest, ArithmeticAndNorm) {
  CRecordingUi ui;
  CVector<double> u(3), v(3);
  for (int i = 1; i <= 3; ++i) {
    u(i) = i;
    v(i) = 10 * i;
  }
  CVector<double> s(3);
  s = u + v;
  EXPECT_EQ(s(3), 33.0);
  s = v - u;
  EXPECT_EQ(s(2), 18.0);
  EXPECT_EQ(u * v, 140.0);
  s = u * 2.0;
  EXPECT_EQ(s(3), 6.0);
  s = -u;
  EXPECT_EQ(s(1), -1.0);
  EXPECT_DOUBLE_EQ(u.Norm(), std::sqrt(14.0));
  EXPECT_TRUE(ui.messages.empty());

  // Mismatched sizes: reported with the left operand's name; + gives the right
  // operand's size, the dot product 0.
  u.SetName("u");
  CVector<double> w(2, 1.0);
  CVector<double> r = u + w;
  EXPECT_EQ(r.GetSize(), 2);
  EXPECT_EQ(u * w, 0.0);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].second.rfind("CVector::Vector Name: u.\n", 0), 0u);
}

TEST(CVectorTest, CopiesKeepNameAndElements) {
  CVector<std::string> names(2);
  names.SetName("headings");
  names(1) = "time";
  names(2) = "stress";
  CVector<std::string> copy(names);
  EXPECT_EQ(copy.GetName(), "headings");
  EXPECT_EQ(copy(2), "stress");
  CVector<std::string> other;
  other.Assign(names);
  EXPECT_EQ(other.GetSize(), 2);
  EXPECT_EQ(other(1), "time");
}

TEST(CMatrixTest, MaxMinByColumn) {
  const auto m = Make(2, 2, {1, 5, 7, 2});
  EXPECT_EQ(m.Max(0), 7.0);
  EXPECT_EQ(m.Max(2), 5.0);
  EXPECT_EQ(m.Min(1), 1.0);
  EXPECT_EQ(m.Max(3), 0.0);
  EXPECT_EQ(m.Min(-1), 0.0);
  EXPECT_EQ(CMatrix<double>().Max(0), 0.0);
}

TEST(CMatrixTest, IncompatibleProductReportsAndGivesZeroMatrix) {
  CRecordingUi ui;
  const auto a = Make(2, 3, {1, 2, 3, 4, 5, 6});
  const auto r = a * a;
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].second, "Matrix::Incompatible matrices. ");
  ASSERT_EQ(r.GetRows(), 2);
  ASSERT_EQ(r.GetColumns(), 3);
  EXPECT_EQ(r.Max(0), 0.0);
  EXPECT_EQ(r.Min(0), 0.0);
}

TEST(CMatrixTest, ArithmeticShapesAndValues) {
  CRecordingUi ui;
  const auto a = Make(2, 3, {1, 2, 3, 4, 5, 6});
  const auto b = Make(3, 2, {1, 0, 0, 1, 1, 1});
  const auto p = a * b;
  ASSERT_EQ(p.GetRows(), 2);
  ASSERT_EQ(p.GetColumns(), 2);
  EXPECT_EQ(p(1, 1), 4.0);
  EXPECT_EQ(p(2, 2), 11.0);
  EXPECT_EQ((a + 1.0)(2, 3), 7.0);
  EXPECT_EQ((a - 1.0)(1, 1), 0.0);
  EXPECT_EQ((2.0 * a)(2, 1), 8.0);
  EXPECT_EQ((-a)(1, 2), -2.0);
  EXPECT_EQ((a - a).Max(0), 0.0);
  const auto bad = a + b;  // shape of the right operand, zeros
  EXPECT_EQ(bad.GetRows(), 3);
  EXPECT_EQ(bad.Max(0), 0.0);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST(CMatrixTest, AssignmentNeedsEqualShapes) {
  CRecordingUi ui;
  auto a = Make(2, 2, {1, 2, 3, 4});
  const auto b = Make(2, 2, {9, 8, 7, 6});
  a = b;
  EXPECT_EQ(a(2, 1), 7.0);
  CMatrix<double> c(3, 2);
  c.Set(1.0);
  c = b;
  EXPECT_EQ(ui.Last(), "Matrix::Incompatible matrices. ");
  EXPECT_EQ(c.GetRows(), 3);
  EXPECT_EQ(c(3, 2), 1.0);
  c.Assign(b);
  EXPECT_EQ(c.GetRows(), 2);
  EXPECT_EQ(c(1, 1), 9.0);
}

TEST(CMatrixTest, SizeRulesSubMatrixIdentityTranspose) {
  CMatrix<double> m(0, 5);
  EXPECT_EQ(m.GetRows(), 0);
  EXPECT_EQ(m.GetColumns(), 0);
  const auto a = Make(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  const auto s = a.SubMatrix(2, 2);
  ASSERT_EQ(s.GetRows(), 2);
  EXPECT_EQ(s(1, 1), 5.0);
  EXPECT_EQ(s(2, 2), 9.0);
  auto t = a;
  t.Transpose();
  EXPECT_EQ(t(1, 3), 7.0);
  EXPECT_EQ(t(3, 1), 3.0);
  const auto id = CMatrix<double>::Identity(3);
  EXPECT_EQ((a * id)(2, 3), 6.0);
}

void ExpectQrValid(const CMatrix<double>& A) {
  CMatrix<double> Q, R;
  ASSERT_TRUE(QR(A, Q, R));
  const int m = A.GetRows(), n = A.GetColumns();
  ASSERT_EQ(Q.GetRows(), m);
  ASSERT_EQ(Q.GetColumns(), m);
  ASSERT_EQ(R.GetRows(), m);
  ASSERT_EQ(R.GetColumns(), n);
  const auto QR_ = Q * R;
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) {
      EXPECT_NEAR(QR_(i, j), A(i, j), 1e-12);
      if (i > j) {
        EXPECT_EQ(R(i, j), 0.0);
      }
    }
  auto Qt = Q;
  Qt.Transpose();
  const auto I = Qt * Q;
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= m; ++j) EXPECT_NEAR(I(i, j), i == j ? 1.0 : 0.0, 1e-12);
}

TEST(QRTest, FactorsAndKeepsQOrthogonal) {
  ExpectQrValid(Make(3, 2, {1, 2, 3, 4, 5, 6}));
  ExpectQrValid(Make(4, 3, {2, -1, 0, -1, 2, -1, 0, -1, 2, 1, 1, 1}));
  ExpectQrValid(Make(2, 2, {0, 1, 1, 0}));
}

TEST(QRTest, ZeroFirstColumnSkipsTheReflection) {
  const auto A = Make(3, 2, {0, 1, 0, 2, 0, 3});
  ExpectQrValid(A);
  CMatrix<double> Q, R;
  QR(A, Q, R);
  EXPECT_EQ(R(1, 1), 0.0);
}

TEST(QRTest, RefusesWideMatrix) {
  CMatrix<double> Q, R;
  EXPECT_FALSE(QR(Make(2, 3, {1, 2, 3, 4, 5, 6}), Q, R));
}

TEST(CEngVectorTest, IndexingAndAssignment) {
  CEngVector<double> v(3, "v");
  v(1) = 1.5;
  v(3) = 3.5;
  CEngVector<double> w;
  w = v;  // allocates on first use
  EXPECT_EQ(w.GetSize(), 3);
  EXPECT_EQ(w(3), 3.5);
  CEngVector<double> longer(5, "longer");
  longer = v;
  EXPECT_EQ(longer.GetSize(), 5);
  EXPECT_EQ(longer(1), 1.5);
}

TEST(CEngVectorTest, MisuseIsFatalWithItsText) {
  CRecordingUi ui;
  CEngVector<int> v(2, "pop");
  EXPECT_THROW(v(3), test::FatalCalled);
  EXPECT_EQ(ui.Last(), "FATAL ERROR: CEngVector:: pop. Vector index is out of bounds: 3(2).\n");
  EXPECT_THROW(v.SetSize(0), test::FatalCalled);
  EXPECT_EQ(ui.Last(), "FATAL ERROR: CEngVector:: pop. Constructor. Invalid size: 0.\n");
  CEngVector<int> shorter(1, "short");
  EXPECT_THROW(shorter = v, test::FatalCalled);
}

TEST(CEngVectorDeathTest, DefaultHandlerEndsProcessWithStatus1) {
  EXPECT_EXIT(
      {
        CEngVector<int> v(2, "x");
        v(0) = 1;
      },
      ::testing::ExitedWithCode(1), "FATAL ERROR: CEngVector:: x. Vector index is out of bounds");
}

}  // namespace
}  // namespace olm
