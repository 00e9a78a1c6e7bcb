#include <gtest/gtest.h>

#include <cmath>

#include "ExpressionTestSupport.hpp"
#include "TestSupport.hpp"
#include "numerics/Containers.hpp"
#include "numerics/EngVector.hpp"
#include "numerics/MatrixToolbox.hpp"

namespace olm {
namespace {

using test::CRecordingUi;

constexpr auto Make = test::MakeMatrix;

// The elements of a matrix row by row, after its rows and columns.
std::vector<double> Elements(const CMatrix<double>& m) {
  std::vector<double> out = {static_cast<double>(m.GetRows()), static_cast<double>(m.GetColumns())};
  for (int i = 1; i <= m.GetRows(); ++i)
    for (int j = 1; j <= m.GetColumns(); ++j) out.push_back(m(i, j));
  return out;
}
template <class T>
std::vector<T> Elements(const CVector<T>& v) {
  std::vector<T> out;
  for (int i = 1; i <= v.GetSize(); ++i) out.push_back(v(i));
  return out;
}

TEST(CVectorTest, SizesAndCopies) {
  // Size 0 or below gives an empty vector with norm 0.
  CVector<double> a(0), b(-3), c;
  EXPECT_EQ(std::pair(a.GetSize(), b.GetSize()), std::pair(0, 0));
  EXPECT_TRUE(c.IsEmpty());
  EXPECT_EQ(b.Norm(), 0.0);
  c.SetSize(4);
  c.SetSize(-1);
  EXPECT_EQ(c.GetSize(), 0);
  // Copies keep the name and the elements.
  CVector<std::string> names(2), other;
  names.SetName("headings");
  names(1) = "time";
  names(2) = "stress";
  const CVector<std::string> copy(names);
  EXPECT_EQ(copy.GetName(), "headings");
  EXPECT_EQ(Elements(copy), (std::vector<std::string>{"time", "stress"}));
  other.Assign(names);
  EXPECT_EQ(Elements(other), (std::vector<std::string>{"time", "stress"}));
}

TEST(CVectorTest, AssignmentBetweenDifferentSizesReportsAndLeavesTarget) {
  CRecordingUi ui;
  CVector<double> three(3, 1.0), four(4, 7.0);
  four.SetName("target");
  four = three;
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0],
            std::pair(MessageKind::Diagnostic,
                      std::string(
                          "CVector::Vector Name: target.\nConstructor. Incompatible vectors.\n")));
  EXPECT_EQ(Elements(four), std::vector<double>(4, 7.0));
  // A move of a different size is refused the same way and the source survives.
  four = CVector<double>(2, 5.0);
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(four(1), 7.0);
}

TEST(CVectorTest, ArithmeticAndNorm) {
  CRecordingUi ui;
  CVector<double> u(3), v(3);
  for (int i = 1; i <= 3; ++i) u(i) = i, v(i) = 10 * i;
  CVector<double> s(3);
  s = u + v;
  EXPECT_EQ(Elements(s), (std::vector<double>{11, 22, 33}));
  s = v - u;
  EXPECT_EQ(Elements(s), (std::vector<double>{9, 18, 27}));
  s = u * 2.0;
  EXPECT_EQ(Elements(s), (std::vector<double>{2, 4, 6}));
  s = -u;
  EXPECT_EQ(Elements(s), (std::vector<double>{-1, -2, -3}));
  EXPECT_EQ(u * v, 140.0);
  EXPECT_DOUBLE_EQ(u.Norm(), std::sqrt(14.0));
  EXPECT_TRUE(ui.messages.empty());
  // Mismatched sizes: reported with the left operand's name; + gives the right
  // operand's size, the dot product 0.
  u.SetName("u");
  CVector<double> w(2, 1.0);
  EXPECT_EQ((u + w).GetSize(), 2);
  EXPECT_EQ(u * w, 0.0);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].second.rfind("CVector::Vector Name: u.\n", 0), 0u);
}

TEST(CMatrixTest, ArithmeticShapesAndValues) {
  CRecordingUi ui;
  const auto a = Make(2, 3, {1, 2, 3, 4, 5, 6});
  const auto b = Make(3, 2, {1, 0, 0, 1, 1, 1});
  EXPECT_EQ(Elements(a * b), (std::vector<double>{2, 2, 4, 5, 10, 11}));
  EXPECT_EQ(Elements(a + 1.0), (std::vector<double>{2, 3, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(Elements(a - 1.0), (std::vector<double>{2, 3, 0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(Elements(2.0 * a), (std::vector<double>{2, 3, 2, 4, 6, 8, 10, 12}));
  EXPECT_EQ(Elements(-a), (std::vector<double>{2, 3, -1, -2, -3, -4, -5, -6}));
  EXPECT_EQ(Elements(a - a), (std::vector<double>{2, 3, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(ui.messages.empty());
  // Mismatches: + gives zeros of the right operand's shape, a product with
  // incompatible sizes zeros of the product's shape.
  EXPECT_EQ(Elements(a + b), (std::vector<double>{3, 2, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Elements(a * a), (std::vector<double>{2, 3, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>(2, "Matrix::Incompatible matrices. ")));
}

TEST(CMatrixTest, AssignmentNeedsEqualShapes) {
  CRecordingUi ui;
  auto a = Make(2, 2, {1, 2, 3, 4});
  const auto b = Make(2, 2, {9, 8, 7, 6});
  a = b;
  EXPECT_EQ(Elements(a), Elements(b));
  CMatrix<double> c(3, 2);
  c.Set(1.0);
  c = b;
  EXPECT_EQ(ui.Last(), "Matrix::Incompatible matrices. ");
  EXPECT_EQ(Elements(c), (std::vector<double>{3, 2, 1, 1, 1, 1, 1, 1}));
  c.Assign(b);
  EXPECT_EQ(Elements(c), Elements(b));
}

TEST(CMatrixTest, SizeRulesMaxMinSubMatrixIdentityTranspose) {
  // Max and Min of the whole matrix (column 0), of a column, or 0.0.
  const auto mm = Make(2, 2, {1, 5, 7, 2});
  EXPECT_EQ(std::vector<double>({mm.Max(0), mm.Max(2), mm.Min(1), mm.Max(3), mm.Min(-1)}),
            (std::vector<double>{7, 5, 1, 0, 0}));
  EXPECT_EQ(CMatrix<double>().Max(0), 0.0);
  EXPECT_EQ(Elements(CMatrix<double>(0, 5)), (std::vector<double>{0, 0}));
  const auto a = Make(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  EXPECT_EQ(Elements(a.SubMatrix(2, 2)), (std::vector<double>{2, 2, 5, 6, 8, 9}));
  auto t = a;
  t.Transpose();
  EXPECT_EQ(Elements(t), (std::vector<double>{3, 3, 1, 4, 7, 2, 5, 8, 3, 6, 9}));
  EXPECT_EQ(Elements(a * CMatrix<double>::Identity(3)), Elements(a));
}

// Q is m x m and orthogonal, R is m x n and upper triangular, and Q R = A.
void ExpectQrValid(const CMatrix<double>& A) {
  CMatrix<double> Q, R;
  ASSERT_TRUE(QR(A, Q, R));
  const int m = A.GetRows(), n = A.GetColumns();
  ASSERT_EQ(std::tuple(Q.GetRows(), Q.GetColumns(), R.GetRows(), R.GetColumns()),
            std::tuple(m, m, m, n));
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

TEST(QRTest, FactorsKeepsQOrthogonalAndRefusesWideMatrices) {
  ExpectQrValid(Make(3, 2, {1, 2, 3, 4, 5, 6}));
  ExpectQrValid(Make(4, 3, {2, -1, 0, -1, 2, -1, 0, -1, 2, 1, 1, 1}));
  ExpectQrValid(Make(2, 2, {0, 1, 1, 0}));
  // A zero first column skips the reflection.
  const auto A = Make(3, 2, {0, 1, 0, 2, 0, 3});
  ExpectQrValid(A);
  CMatrix<double> Q, R;
  QR(A, Q, R);
  EXPECT_EQ(R(1, 1), 0.0);
  EXPECT_FALSE(QR(Make(2, 3, {1, 2, 3, 4, 5, 6}), Q, R));
}

TEST(CEngVectorTest, AssignmentAllocatesOnFirstUseAndMisuseIsFatal) {
  CRecordingUi ui;
  CEngVector<double> v(3, "v"), w, longer(5, "longer");
  v(1) = 1.5;
  v(3) = 3.5;
  w = v;  // allocates on first use
  EXPECT_EQ(std::pair(w.GetSize(), w(3)), std::pair(3, 3.5));
  longer = v;  // keeps its size
  EXPECT_EQ(std::pair(longer.GetSize(), longer(1)), std::pair(5, 1.5));
  CEngVector<int> pop(2, "pop"), shorter(1, "short");
  EXPECT_THROW(pop(3), test::FatalCalled);
  EXPECT_EQ(ui.Last(), "FATAL ERROR: CEngVector:: pop. Vector index is out of bounds: 3(2).\n");
  EXPECT_THROW(pop.SetSize(0), test::FatalCalled);
  EXPECT_EQ(ui.Last(), "FATAL ERROR: CEngVector:: pop. Constructor. Invalid size: 0.\n");
  EXPECT_THROW(shorter = pop, test::FatalCalled);
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
