#pragma once
// CVector and CMatrix: named, 1-based containers.
//
// Element 0 (and row 0 / column 0) is never used; valid indices run from 1 to
// the size.  Misuse (a size mismatch in assignment or arithmetic, a failed
// allocation) is reported with one of four fixed texts through the user
// interface routine and the operation carries on.  Assignment never resizes:
// call SetSize first, or Assign() to resize and copy in one step.
#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>
#include <utility>

#include "numerics/Storage.hpp"

namespace olm {

// Codes of the container messages.
enum ContainerError { kAllocationFailure = 0, kIndexOutOfBounds = 1, kBadConstruction = 2,
                      kIncompatible = 3 };

// Writes "CVector::Vector Name: <name>.\n<text>" for a vector.
void ReportVectorError(int code, const std::string& name);
// Writes the matrix text for a matrix.
void ReportMatrixError(int code);

template <class T>
class CVector {
 public:
  CVector() = default;
  explicit CVector(int n) { SetSize(n); }
  CVector(int n, const T& value) {
    SetSize(n);
    Set(value);
  }
  CVector(const CVector& other) : m_name(other.m_name) { CopyFrom(other); }
  CVector(CVector&& other) noexcept
      : m_name(std::move(other.m_name)), m_size(other.m_size), m_data(std::move(other.m_data)) {
    other.m_size = 0;
  }
  ~CVector() = default;

  // Sizes must already agree; otherwise error 3 and the target is unchanged.
  CVector& operator=(const CVector& other) {
    if (this == &other) return *this;
    if (other.m_size != m_size) {
      ReportVectorError(kIncompatible, m_name);
      return *this;
    }
    for (int i = 1; i <= m_size; ++i) m_data[i] = other.m_data[i];
    return *this;
  }
  // Same size rule; then takes over the source's storage, leaving it empty.
  CVector& operator=(CVector&& other) {
    if (this == &other) return *this;
    if (other.m_size != m_size) {
      ReportVectorError(kIncompatible, m_name);
      return *this;
    }
    m_data = std::move(other.m_data);
    other.m_size = 0;
    return *this;
  }

  // Exchanges contents (not names) with other.
  void Swap(CVector& other) noexcept {
    std::swap(m_size, other.m_size);
    std::swap(m_data, other.m_data);
  }

  // Resizes to other's size and copies its elements (the name stays).
  void Assign(const CVector& other) {
    if (this == &other) return;
    CopyFrom(other);
  }

  // For n > 0 discards the contents and allocates n elements (undefined until
  // written); for n <= 0 the vector becomes empty.  On allocation failure
  // error 0 is reported and the vector is left empty.
  void SetSize(int n) {
    m_data.reset();
    m_size = 0;
    if (n <= 0) return;
    try {
      m_data = detail::AllocateBlock<T>(static_cast<std::size_t>(n) + 1);
      m_size = n;
    } catch (const std::bad_alloc&) {
      ReportVectorError(kAllocationFailure, m_name);
    }
  }

  int GetSize() const { return m_size; }
  bool IsEmpty() const { return m_size == 0; }
  const std::string& GetName() const { return m_name; }
  void SetName(std::string name) { m_name = std::move(name); }

  T& operator()(int i) {
    OLM_CHECK(i >= 1 && i <= m_size, "CVector index");
    return m_data[i];
  }
  const T& operator()(int i) const {
    OLM_CHECK(i >= 1 && i <= m_size, "CVector index");
    return m_data[i];
  }
  // Pointer to element 1 (null when empty).
  T* Data() { return m_size ? m_data.get() + 1 : nullptr; }
  const T* Data() const { return m_size ? m_data.get() + 1 : nullptr; }

  void Set(const T& value) {
    for (int i = 1; i <= m_size; ++i) m_data[i] = value;
  }

  // Euclidean norm of elements 1..n (0 for an empty vector).
  double Norm() const {
    double s = 0.0;
    for (int i = 1; i <= m_size; ++i) s += m_data[i] * m_data[i];
    return std::sqrt(s);
  }

  friend CVector operator+(const CVector& u, const CVector& v) { return Combine(u, v, 1.0); }
  friend CVector operator-(const CVector& u, const CVector& v) { return Combine(u, v, -1.0); }
  // Dot product; 0.0 with error 3 on a size mismatch.
  friend double operator*(const CVector& u, const CVector& v) {
    if (u.m_size != v.m_size) {
      ReportVectorError(kIncompatible, u.m_name);
      return 0.0;
    }
    double s = 0.0;
    for (int i = 1; i <= u.m_size; ++i) s += u.m_data[i] * v.m_data[i];
    return s;
  }
  friend CVector operator*(const CVector& u, double s) {
    CVector r(u.m_size);
    for (int i = 1; i <= u.m_size; ++i) r.m_data[i] = u.m_data[i] * s;
    return r;
  }
  friend CVector operator*(double s, const CVector& u) { return u * s; }
  friend CVector operator-(const CVector& u) { return u * -1.0; }

 private:
  static CVector Combine(const CVector& u, const CVector& v, double sign) {
    CVector r(v.m_size);
    if (u.m_size != v.m_size) {
      ReportVectorError(kIncompatible, u.m_name);
      r.Set(T{});
      return r;
    }
    for (int i = 1; i <= u.m_size; ++i) r.m_data[i] = u.m_data[i] + sign * v.m_data[i];
    return r;
  }

  void CopyFrom(const CVector& other) {
    if (m_size != other.m_size) SetSize(other.m_size);
    if (m_size != other.m_size) return;  // allocation failed
    if constexpr (std::is_trivially_copyable_v<T>) {
      if (m_size) std::memcpy(m_data.get() + 1, other.m_data.get() + 1, sizeof(T) * m_size);
    } else {
      for (int i = 1; i <= m_size; ++i) m_data[i] = other.m_data[i];
    }
  }

  std::string m_name;
  int m_size = 0;
  detail::Block<T> m_data;
};

template <class T>
class CMatrix {
 public:
  CMatrix() = default;
  CMatrix(int rows, int columns) { SetSize(rows, columns); }
  CMatrix(const CMatrix& other) : m_name(other.m_name) { CopyFrom(other); }
  CMatrix(CMatrix&& other) noexcept
      : m_name(std::move(other.m_name)),
        m_rows(other.m_rows),
        m_columns(other.m_columns),
        m_data(std::move(other.m_data)) {
    other.m_rows = other.m_columns = 0;
  }
  ~CMatrix() = default;

  // Dimensions must already agree; otherwise error 3 and the target is unchanged.
  CMatrix& operator=(const CMatrix& other) {
    if (this == &other) return *this;
    if (!SameShape(other)) {
      ReportMatrixError(kIncompatible);
      return *this;
    }
    CopyElements(other);
    return *this;
  }
  CMatrix& operator=(CMatrix&& other) {
    if (this == &other) return *this;
    if (!SameShape(other)) {
      ReportMatrixError(kIncompatible);
      return *this;
    }
    m_data = std::move(other.m_data);
    other.m_rows = other.m_columns = 0;
    return *this;
  }

  // Exchanges contents (not names) with other.
  void Swap(CMatrix& other) noexcept {
    std::swap(m_rows, other.m_rows);
    std::swap(m_columns, other.m_columns);
    std::swap(m_data, other.m_data);
  }

  // Resizes to other's shape and copies its elements (the name stays).
  void Assign(const CMatrix& other) {
    if (this == &other) return;
    CopyFrom(other);
  }

  // For rows >= 1 and columns >= 1 discards the contents and allocates new
  // storage (undefined until written); otherwise the matrix becomes 0 x 0.
  void SetSize(int rows, int columns) {
    m_data.reset();
    m_rows = m_columns = 0;
    if (rows < 1 || columns < 1) return;
    try {
      m_data = detail::AllocateBlock<T>(static_cast<std::size_t>(rows) * columns + 1);
      m_rows = rows;
      m_columns = columns;
    } catch (const std::bad_alloc&) {
      ReportMatrixError(kAllocationFailure);
    }
  }

  // Takes `data` as the storage of a rows x columns matrix: it holds at
  // least rows * columns + 1 elements, element 0 unused and row i's from
  // (i - 1) * columns + 1 on (the layout SetSize allocates), for a reader
  // that fills storage before it knows the final row count.
  void Adopt(detail::Block<T> data, int rows, int columns) {
    if (rows < 1 || columns < 1 || !data) {
      SetSize(0, 0);
      return;
    }
    m_data = std::move(data);
    m_rows = rows;
    m_columns = columns;
  }

  int GetRows() const { return m_rows; }
  int GetColumns() const { return m_columns; }
  bool IsEmpty() const { return m_rows == 0; }
  const std::string& GetName() const { return m_name; }
  void SetName(std::string name) { m_name = std::move(name); }

  T& operator()(int i, int j) {
    OLM_CHECK(i >= 1 && i <= m_rows && j >= 1 && j <= m_columns, "CMatrix index");
    return m_data[static_cast<std::size_t>(i - 1) * m_columns + j];
  }
  const T& operator()(int i, int j) const {
    OLM_CHECK(i >= 1 && i <= m_rows && j >= 1 && j <= m_columns, "CMatrix index");
    return m_data[static_cast<std::size_t>(i - 1) * m_columns + j];
  }
  // Pointer to element (i, 1); the row's elements follow contiguously.
  T* Row(int i) {
    OLM_CHECK(i >= 1 && i <= m_rows, "CMatrix row");
    return m_data.get() + static_cast<std::size_t>(i - 1) * m_columns + 1;
  }
  const T* Row(int i) const {
    OLM_CHECK(i >= 1 && i <= m_rows, "CMatrix row");
    return m_data.get() + static_cast<std::size_t>(i - 1) * m_columns + 1;
  }

  void Set(const T& value) {
    const std::size_t n = static_cast<std::size_t>(m_rows) * m_columns;
    for (std::size_t k = 1; k <= n; ++k) m_data[k] = value;
  }

  // Largest (smallest) element of the whole matrix for column 0, of that
  // column for 1..columns, and 0.0 for any other column or an empty matrix.
  T Max(int column) const { return Extreme(column, true); }
  T Min(int column) const { return Extreme(column, false); }

  // The block from (r0, c0) to the last row and column.
  CMatrix SubMatrix(int r0, int c0) const {
    CMatrix r(m_rows + 1 - r0, m_columns + 1 - c0);
    for (int i = 1; i <= r.m_rows; ++i)
      for (int j = 1; j <= r.m_columns; ++j) r(i, j) = (*this)(i + r0 - 1, j + c0 - 1);
    return r;
  }

  static CMatrix Identity(int n) {
    CMatrix r(n, n);
    r.Set(T{});
    for (int i = 1; i <= n; ++i) r(i, i) = T{1};
    return r;
  }

  // In-place transpose of a square matrix (others are left unchanged).
  void Transpose() {
    if (m_rows != m_columns) {
      ReportMatrixError(kIncompatible);
      return;
    }
    for (int i = 1; i <= m_rows; ++i)
      for (int j = i + 1; j <= m_columns; ++j) std::swap((*this)(i, j), (*this)(j, i));
  }

  friend CMatrix operator+(const CMatrix& a, const CMatrix& b) { return Combine(a, b, 1.0); }
  friend CMatrix operator-(const CMatrix& a, const CMatrix& b) { return Combine(a, b, -1.0); }
  friend CMatrix operator*(const CMatrix& a, const CMatrix& b) {
    CMatrix r(a.m_rows, b.m_columns);
    r.Set(T{});
    if (a.m_columns != b.m_rows) {
      ReportMatrixError(kIncompatible);
      return r;
    }
    for (int i = 1; i <= a.m_rows; ++i)
      for (int k = 1; k <= a.m_columns; ++k) {
        const T aik = a(i, k);
        for (int j = 1; j <= b.m_columns; ++j) r(i, j) += aik * b(k, j);
      }
    return r;
  }
  friend CMatrix operator*(double s, const CMatrix& a) { return a.Map([s](T v) { return s * v; }); }
  friend CMatrix operator*(const CMatrix& a, double s) { return s * a; }
  friend CMatrix operator+(const CMatrix& a, double s) { return a.Map([s](T v) { return v + s; }); }
  friend CMatrix operator-(const CMatrix& a, double s) { return a.Map([s](T v) { return v - s; }); }
  friend CMatrix operator-(const CMatrix& a) { return a.Map([](T v) { return -v; }); }

 private:
  bool SameShape(const CMatrix& o) const { return m_rows == o.m_rows && m_columns == o.m_columns; }

  template <class F>
  CMatrix Map(F f) const {
    CMatrix r(m_rows, m_columns);
    const std::size_t n = static_cast<std::size_t>(m_rows) * m_columns;
    for (std::size_t k = 1; k <= n; ++k) r.m_data[k] = f(m_data[k]);
    return r;
  }

  static CMatrix Combine(const CMatrix& a, const CMatrix& b, double sign) {
    CMatrix r(b.m_rows, b.m_columns);
    if (!a.SameShape(b)) {
      ReportMatrixError(kIncompatible);
      r.Set(T{});
      return r;
    }
    const std::size_t n = static_cast<std::size_t>(a.m_rows) * a.m_columns;
    for (std::size_t k = 1; k <= n; ++k) r.m_data[k] = a.m_data[k] + sign * b.m_data[k];
    return r;
  }

  T Extreme(int column, bool largest) const {
    if (m_rows == 0 || column < 0 || column > m_columns) return T{};
    const int j0 = column == 0 ? 1 : column;
    const int j1 = column == 0 ? m_columns : column;
    T best = (*this)(1, j0);
    for (int i = 1; i <= m_rows; ++i)
      for (int j = j0; j <= j1; ++j) {
        const T v = (*this)(i, j);
        if (largest ? v > best : v < best) best = v;
      }
    return best;
  }

  void CopyElements(const CMatrix& other) {
    const std::size_t n = static_cast<std::size_t>(m_rows) * m_columns;
    if constexpr (std::is_trivially_copyable_v<T>) {
      if (n) std::memcpy(m_data.get() + 1, other.m_data.get() + 1, sizeof(T) * n);
    } else {
      for (std::size_t k = 1; k <= n; ++k) m_data[k] = other.m_data[k];
    }
  }

  void CopyFrom(const CMatrix& other) {
    if (!SameShape(other)) SetSize(other.m_rows, other.m_columns);
    if (!SameShape(other)) return;  // allocation failed
    CopyElements(other);
  }

  std::string m_name;
  int m_rows = 0;
  int m_columns = 0;
  detail::Block<T> m_data;
};

// Throws std::bad_alloc when m is not rows x columns because its allocation
// failed (already reported), so that the caller never writes into it.
template <class T>
void RequireSize(const CMatrix<T>& m, int rows, int columns) {
  if (rows >= 1 && columns >= 1 && (m.GetRows() != rows || m.GetColumns() != columns))
    throw std::bad_alloc();
}

}  // namespace olm
