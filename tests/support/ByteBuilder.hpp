#pragma once
// Assembles project-file bytes by hand, independently of the project writer,
// so tests can check the byte layout rather than a round trip alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "engine/ProjectStream.hpp"

namespace olm::test {

class CBytes {
 public:
  CBytes& U8(uint8_t v) {
    m_bytes += static_cast<char>(v);
    return *this;
  }
  CBytes& U16(uint16_t v) { return Raw(&v, 2); }
  CBytes& I32(int32_t v) { return Raw(&v, 4); }
  CBytes& U32(uint32_t v) { return Raw(&v, 4); }
  CBytes& F32(float v) { return Raw(&v, 4); }
  CBytes& F64(double v) { return Raw(&v, 8); }
  // A text below 255 characters: one length byte, then the characters.
  CBytes& Text(const std::string& s) {
    U8(static_cast<uint8_t>(s.size()));
    m_bytes += s;
    return *this;
  }
  CBytes& Append(const std::string& bytes) {
    m_bytes += bytes;
    return *this;
  }
  const std::string& Str() const { return m_bytes; }
  size_t Size() const { return m_bytes.size(); }

 private:
  // The tests run on little-endian machines, where memory order is file order.
  CBytes& Raw(const void* p, size_t n) {
    static_assert(sizeof(float) == 4 && sizeof(double) == 8);
    m_bytes.append(static_cast<const char*>(p), n);
    return *this;
  }
  std::string m_bytes;
};

// Little-endian integer at a byte offset.
inline int32_t I32At(const std::string& b, size_t at) {
  int32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}
inline double F64At(const std::string& b, size_t at) {
  double v;
  std::memcpy(&v, b.data() + at, 8);
  return v;
}

// The bytes that a writing step gives.
template <class F>
std::string Written(F write) {
  CMemorySink sink;
  CProjectWriter out(sink);
  write(out);
  EXPECT_TRUE(out.Finish());
  return sink.Bytes();
}

// A reader over its own copy of some bytes.
struct CReaderOf {
  explicit CReaderOf(std::string b) : bytes(std::move(b)), source(bytes), in(source) {}
  std::string bytes;
  CMemorySource source;
  CProjectReader in;
};

}  // namespace olm::test
