#pragma once
// The binary stream of project files: little-endian integers, IEEE doubles
// and floats, bytes, length-prefixed texts, matrices in column order and
// vectors.
//
// Writing and reading go through a large buffer; the sink and source are
// called per chunk, never per element.  Large matrices are moved blockwise
// between the row-major memory layout and the column order of the file, so
// each row of memory is touched once.
//
// The reader never trusts a count: every size is checked against what remains
// of the input before anything is allocated, and a damaged input raises
// CProjectFormatError with a short reason.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "numerics/Containers.hpp"
#include "numerics/OutputFile.hpp"

namespace olm {

namespace detail {
// A value in file byte order (little-endian) and back.
template <class T>
T ToLittle(T v) {
  if constexpr (std::endian::native == std::endian::big) {
    unsigned char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    std::reverse(b, b + sizeof(T));
    std::memcpy(&v, b, sizeof(T));
  }
  return v;
}
}  // namespace detail

// A damaged or truncated project stream.  what() is a short reason such as
// "the file ends early".
class CProjectFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where written bytes go.  Positioned writes let large matrices be written
// blockwise in column order.
class IProjectSink {
 public:
  virtual ~IProjectSink() = default;
  // Writes n bytes at the offset; false on failure.
  virtual bool WriteAt(uint64_t offset, const void* data, size_t n) = 0;
};

// Where read bytes come from.
class IProjectSource {
 public:
  virtual ~IProjectSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads n bytes at the offset (offset + n <= Size()); false on failure.
  virtual bool ReadAt(uint64_t offset, void* data, size_t n) = 0;
};

// A sink that collects the bytes in memory.
class CMemorySink : public IProjectSink {
 public:
  bool WriteAt(uint64_t offset, const void* data, size_t n) override;
  const std::string& Bytes() const { return m_bytes; }
  std::string& Bytes() { return m_bytes; }

 private:
  std::string m_bytes;
};

// A source over bytes in memory (not copied; they must outlive the source).
class CMemorySource : public IProjectSource {
 public:
  CMemorySource(const void* data, size_t size)
      : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}
  explicit CMemorySource(const std::string& bytes) : CMemorySource(bytes.data(), bytes.size()) {}
  uint64_t Size() const override { return m_size; }
  bool ReadAt(uint64_t offset, void* data, size_t n) override;

 private:
  const unsigned char* m_data;
  size_t m_size;
};

// A file opened for reading.  IsOpen() is false when it could not be opened;
// Error() then tells why.
class CFileSource : public IProjectSource {
 public:
  explicit CFileSource(const std::string& path);
  ~CFileSource() override;
  CFileSource(const CFileSource&) = delete;
  CFileSource& operator=(const CFileSource&) = delete;

  bool IsOpen() const { return m_fd >= 0; }
  const std::string& Error() const { return m_error; }
  uint64_t Size() const override { return m_size; }
  bool ReadAt(uint64_t offset, void* data, size_t n) override;

 private:
  int m_fd = -1;
  uint64_t m_size = 0;
  std::string m_error;
};

// The project writer's bytes handed to an output file (not owned), which
// replaces the target only when the whole project was written.
class COutputFileSink : public IProjectSink {
 public:
  explicit COutputFileSink(COutputFile& file) : m_file(file) {}
  bool WriteAt(uint64_t offset, const void* data, size_t n) override {
    return m_file.WriteAt(offset, data, n);
  }

 private:
  COutputFile& m_file;
};

class CProjectWriter {
 public:
  // Bytes gathered before they are handed to the sink.
  static constexpr size_t kBufferBytes = size_t(1) << 20;

  explicit CProjectWriter(IProjectSink& sink);
  CProjectWriter(const CProjectWriter&) = delete;
  CProjectWriter& operator=(const CProjectWriter&) = delete;

  void WriteByte(uint8_t v) { Put(&v, 1); }
  void WriteBool(bool v) { WriteByte(v ? 1 : 0); }
  void WriteInt(int32_t v) { PutScalar(v); }
  void WriteUInt(uint32_t v) { PutScalar(v); }
  void WriteUInt16(uint16_t v) { PutScalar(v); }
  void WriteFloat(float v) { PutScalar(v); }
  void WriteDouble(double v) { PutScalar(v); }
  // Length prefix (one byte below 255; 0xFF and two bytes below 0xFFFE;
  // 0xFF, 0xFFFF and four bytes otherwise), then the characters.
  void WriteText(const std::string& text);
  // Rows, columns, then the values column by column.  A matrix without rows
  // is written as 0 rows and emptyColumns columns.
  void WriteMatrix(const CMatrix<double>& m, int emptyColumns = 0);
  // Count, then the elements.
  void WriteVector(const CVector<double>& v);
  void WriteVector(const CVector<int>& v);

  // Writes out what is buffered.  False when any write failed.
  bool Finish();
  bool Failed() const { return m_failed; }
  // Bytes written so far (including the buffered ones).
  uint64_t Position() const { return m_flushed + m_buffer.size(); }

 private:
  template <class T>
  void PutScalar(T v);
  void Put(const void* data, size_t n);
  void Flush();
  void WriteColumnsBlockwise(const CMatrix<double>& m);

  IProjectSink& m_sink;
  std::vector<unsigned char> m_buffer;
  uint64_t m_flushed = 0;  // bytes handed to the sink
  bool m_failed = false;
};

class CProjectReader {
 public:
  explicit CProjectReader(IProjectSource& source);
  CProjectReader(const CProjectReader&) = delete;
  CProjectReader& operator=(const CProjectReader&) = delete;

  uint8_t ReadByte();
  bool ReadBool() { return ReadByte() != 0; }
  int32_t ReadInt() { return GetScalar<int32_t>(); }
  uint32_t ReadUInt() { return GetScalar<uint32_t>(); }
  uint16_t ReadUInt16() { return GetScalar<uint16_t>(); }
  float ReadFloat() { return GetScalar<float>(); }
  double ReadDouble() { return GetScalar<double>(); }
  // Reads any of the length-prefix forms; a text of 16-bit characters
  // (0xFF 0xFFFE, then its own prefix) is converted to UTF-8.
  std::string ReadText();
  // When the stored rows and columns are both at least 1 the matrix is resized
  // and filled; otherwise no values are read and the matrix is left as it
  // was.  Returns false in that case.
  bool ReadMatrix(CMatrix<double>& m);
  // When the stored count is above 0 the vector is resized and filled;
  // otherwise it is left as it was.  Returns false in that case.
  bool ReadVector(CVector<double>& v);
  bool ReadVector(CVector<int>& v);

  uint64_t Position() const { return m_position; }
  uint64_t Remaining() const { return m_size - m_position; }
  // Throws when fewer than `count` items of `itemSize` bytes remain; `what`
  // names the item in the reason.
  void Require(uint64_t count, uint64_t itemSize, const std::string& what) const;

 private:
  template <class T>
  T GetScalar();
  void Get(void* data, size_t n);
  uint64_t ReadLength(uint8_t first, bool* wide);
  void ReadBulk(uint64_t offset, void* data, size_t n);
  void ReadColumns(CMatrix<double>& m);
  template <class T>
  bool ReadVectorOf(CVector<T>& v);

  IProjectSource& m_source;
  uint64_t m_size;
  uint64_t m_position = 0;  // logical read position
  std::vector<unsigned char> m_buffer;
  uint64_t m_bufferStart = 0;  // file offset of m_buffer[0]
  size_t m_bufferLength = 0;
};

template <class T>
inline void CProjectWriter::PutScalar(T v) {
  v = detail::ToLittle(v);
  if (m_buffer.size() + sizeof(T) > kBufferBytes) Flush();
  const size_t at = m_buffer.size();
  m_buffer.resize(at + sizeof(T));
  std::memcpy(m_buffer.data() + at, &v, sizeof(T));
}

template <class T>
inline T CProjectReader::GetScalar() {
  T v;
  if (m_position >= m_bufferStart && m_position + sizeof(T) <= m_bufferStart + m_bufferLength) {
    std::memcpy(&v, m_buffer.data() + (m_position - m_bufferStart), sizeof(T));
    m_position += sizeof(T);
  } else {
    Get(&v, sizeof(T));
  }
  return detail::ToLittle(v);
}

}  // namespace olm
