#pragma once
// CEngVector: the optimizer's and distribution engine's 1-based vector.
//
// Unlike CVector it keeps no spare element and treats every misuse as fatal:
// "FATAL ERROR: CEngVector:: <name>. <text>." through FatalError.
#include <string>
#include <utility>
#include <vector>

namespace olm {

// Reports a CEngVector misuse and does not return.
[[noreturn]] void EngVectorFatal(const std::string& name, int code, long long value, long long size);

template <class T>
class CEngVector {
 public:
  CEngVector() = default;
  explicit CEngVector(int n, std::string name = "?") : m_name(std::move(name)) { SetSize(n); }
  CEngVector(const CEngVector&) = default;
  CEngVector(CEngVector&&) noexcept = default;
  ~CEngVector() = default;

  // A target that is still unallocated takes the source's size; a target
  // shorter than the source is a fatal error; a longer one keeps its size
  // and receives the source's elements at its front.
  CEngVector& operator=(const CEngVector& other) {
    if (this == &other) return *this;
    if (m_data.empty()) {
      if (other.m_data.empty()) return *this;
      SetSize(static_cast<int>(other.m_data.size()));
    } else if (m_data.size() < other.m_data.size()) {
      EngVectorFatal(m_name, 3, static_cast<long long>(m_data.size()), 0);
    }
    std::copy(other.m_data.begin(), other.m_data.end(), m_data.begin());
    return *this;
  }
  CEngVector& operator=(CEngVector&& other) { return *this = static_cast<const CEngVector&>(other); }

  void SetSize(int n) {
    if (n < 1) EngVectorFatal(m_name, 3, n, 0);
    try {
      m_data.assign(static_cast<std::size_t>(n), T{});
    } catch (const std::bad_alloc&) {
      EngVectorFatal(m_name, 1, n, 0);
    }
  }

  int GetSize() const { return static_cast<int>(m_data.size()); }
  const std::string& GetName() const { return m_name; }
  void SetName(std::string name) { m_name = std::move(name); }

  T& operator()(int i) {
    if (i < 1 || i > GetSize()) EngVectorFatal(m_name, 2, i, GetSize());
    return m_data[static_cast<std::size_t>(i - 1)];
  }
  const T& operator()(int i) const {
    if (i < 1 || i > GetSize()) EngVectorFatal(m_name, 2, i, GetSize());
    return m_data[static_cast<std::size_t>(i - 1)];
  }
  T* Data() { return m_data.data(); }
  const T* Data() const { return m_data.data(); }

 private:
  std::string m_name = "?";
  std::vector<T> m_data;
};

}  // namespace olm
