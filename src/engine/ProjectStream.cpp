#include "engine/ProjectStream.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

constexpr size_t kBufferBytes = CProjectWriter::kBufferBytes;
// Matrices at least this large are moved blockwise with positioned I/O.
constexpr uint64_t kBlockwiseBytes = uint64_t(1) << 18;
// Doubles in the staging area of a blockwise transfer.
constexpr size_t kStagingDoubles = size_t(1) << 17;
// Below this many rows per block a matrix is moved one column at a time.
constexpr size_t kMinBlockRows = 1024;

void SwapDoubles(double* p, size_t n) {
  if constexpr (std::endian::native == std::endian::big)
    for (size_t k = 0; k < n; ++k) p[k] = detail::ToLittle(p[k]);
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf16ToUtf8(const std::vector<uint16_t>& units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const uint32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);  // a lone surrogate
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

[[noreturn]] void EndsEarly() {
  throw CProjectFormatError("the file ends early");
}

}  // namespace

// ---------------------------------------------------------------- sinks and sources

bool CMemorySink::WriteAt(uint64_t offset, const void* data, size_t n) {
  if (offset + n > m_bytes.size()) m_bytes.resize(offset + n);
  if (n) std::memcpy(m_bytes.data() + offset, data, n);
  return true;
}

bool CMemorySource::ReadAt(uint64_t offset, void* data, size_t n) {
  if (offset > m_size || n > m_size - offset) return false;
  if (n) std::memcpy(data, m_data + offset, n);
  return true;
}

CFileSource::CFileSource(const std::string& path) {
  // Opened without blocking, so that a FIFO is refused below instead of
  // waiting for a writer.
  m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (m_fd < 0) {
    m_error = std::strerror(errno);
    return;
  }
  struct stat st {};
  if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    m_error = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
    ::close(m_fd);
    m_fd = -1;
    return;
  }
  ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
  m_size = static_cast<uint64_t>(st.st_size);
}

CFileSource::~CFileSource() {
  if (m_fd >= 0) ::close(m_fd);
}

bool CFileSource::ReadAt(uint64_t offset, void* data, size_t n) {
  auto* out = static_cast<unsigned char*>(data);
  while (n > 0) {
    const ssize_t got = ::pread(m_fd, out, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    offset += static_cast<uint64_t>(got);
    n -= static_cast<size_t>(got);
  }
  return true;
}

// ---------------------------------------------------------------- writer

CProjectWriter::CProjectWriter(IProjectSink& sink) : m_sink(sink) {}

void CProjectWriter::Flush() {
  if (m_buffer.empty()) return;
  if (!m_failed && !m_sink.WriteAt(m_flushed, m_buffer.data(), m_buffer.size())) m_failed = true;
  m_flushed += m_buffer.size();
  m_buffer.clear();
}

void CProjectWriter::Put(const void* data, size_t n) {
  if (m_buffer.size() + n > kBufferBytes) Flush();
  if (n >= kBufferBytes) {
    if (!m_failed && !m_sink.WriteAt(m_flushed, data, n)) m_failed = true;
    m_flushed += n;
    return;
  }
  const auto* p = static_cast<const unsigned char*>(data);
  m_buffer.insert(m_buffer.end(), p, p + n);
}

void CProjectWriter::WriteText(const std::string& text) {
  const uint64_t n = text.size();
  if (n < 0xFF) {
    WriteByte(static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    WriteByte(0xFF);
    WriteUInt16(static_cast<uint16_t>(n));
  } else {
    if (n > 0xFFFFFFFFu) m_failed = true;  // cannot be represented
    WriteByte(0xFF);
    WriteUInt16(0xFFFF);
    WriteUInt(static_cast<uint32_t>(n));
  }
  Put(text.data(), text.size());
}

void CProjectWriter::WriteMatrix(const CMatrix<double>& m, int emptyColumns) {
  const int rows = m.GetRows();
  const int cols = rows > 0 ? m.GetColumns() : emptyColumns;
  WriteInt(rows);
  WriteInt(cols);
  if (rows <= 0 || cols <= 0) return;
  const uint64_t bytes = uint64_t(rows) * uint64_t(cols) * sizeof(double);
  if (bytes < kBlockwiseBytes) {
    for (int j = 1; j <= cols; ++j)
      for (int i = 1; i <= rows; ++i) PutScalar(m(i, j));
    return;
  }
  WriteColumnsBlockwise(m);
}

void CProjectWriter::WriteColumnsBlockwise(const CMatrix<double>& m) {
  Flush();
  const size_t rows = static_cast<size_t>(m.GetRows());
  const size_t cols = static_cast<size_t>(m.GetColumns());
  const uint64_t base = m_flushed;
  std::vector<double> staging(kStagingDoubles);
  const auto put = [&](size_t column, size_t firstRow, const double* values, size_t n) {
    const uint64_t at = base + (uint64_t(column) * rows + firstRow) * sizeof(double);
    if (!m_failed && !m_sink.WriteAt(at, values, n * sizeof(double))) m_failed = true;
  };
  const size_t blockRows = kStagingDoubles / cols;
  if (blockRows >= kMinBlockRows) {
    // Row blocks: read each row once, then write one run per column.
    for (size_t i0 = 0; i0 < rows && !m_failed; i0 += blockRows) {
      const size_t nb = std::min(blockRows, rows - i0);
      for (size_t k = 0; k < nb; ++k) {
        const double* row = m.Row(static_cast<int>(i0 + k + 1));
        for (size_t c = 0; c < cols; ++c) staging[c * nb + k] = row[c];
      }
      SwapDoubles(staging.data(), nb * cols);
      for (size_t c = 0; c < cols; ++c) put(c, i0, staging.data() + c * nb, nb);
    }
  } else {
    // Very wide matrices: one column at a time.
    for (size_t c = 0; c < cols && !m_failed; ++c)
      for (size_t i0 = 0; i0 < rows; i0 += kStagingDoubles) {
        const size_t nb = std::min(kStagingDoubles, rows - i0);
        for (size_t k = 0; k < nb; ++k) staging[k] = m.Row(static_cast<int>(i0 + k + 1))[c];
        SwapDoubles(staging.data(), nb);
        put(c, i0, staging.data(), nb);
      }
  }
  m_flushed = base + uint64_t(rows) * cols * sizeof(double);
}

void CProjectWriter::WriteVector(const CVector<double>& v) {
  WriteInt(v.GetSize());
  for (int i = 1; i <= v.GetSize(); ++i) WriteDouble(v(i));
}

void CProjectWriter::WriteVector(const CVector<int>& v) {
  WriteInt(v.GetSize());
  for (int i = 1; i <= v.GetSize(); ++i) WriteInt(v(i));
}

bool CProjectWriter::Finish() {
  Flush();
  return !m_failed;
}

// ---------------------------------------------------------------- reader

CProjectReader::CProjectReader(IProjectSource& source)
    : m_source(source),
      m_size(source.Size()),
      m_buffer(static_cast<size_t>(std::min<uint64_t>(kBufferBytes, m_size))) {}

void CProjectReader::Require(uint64_t count, uint64_t itemSize, const std::string& what) const {
  if (itemSize == 0 ? false : count > Remaining() / itemSize)
    throw CProjectFormatError(what + " is larger than the rest of the file");
}

void CProjectReader::ReadBulk(uint64_t offset, void* data, size_t n) {
  if (!m_source.ReadAt(offset, data, n)) throw CProjectFormatError("the file cannot be read");
}

void CProjectReader::Get(void* data, size_t n) {
  if (n > Remaining()) EndsEarly();
  auto* out = static_cast<unsigned char*>(data);
  while (n > 0) {
    const uint64_t end = m_bufferStart + m_bufferLength;
    if (m_position < m_bufferStart || m_position >= end) {
      if (n >= m_buffer.size()) {
        ReadBulk(m_position, out, n);
        m_position += n;
        return;
      }
      const size_t len = static_cast<size_t>(std::min<uint64_t>(m_buffer.size(), Remaining()));
      ReadBulk(m_position, m_buffer.data(), len);
      m_bufferStart = m_position;
      m_bufferLength = len;
      continue;
    }
    const size_t take = static_cast<size_t>(std::min<uint64_t>(n, end - m_position));
    std::memcpy(out, m_buffer.data() + (m_position - m_bufferStart), take);
    out += take;
    n -= take;
    m_position += take;
  }
}

uint8_t CProjectReader::ReadByte() {
  return GetScalar<uint8_t>();
}

uint64_t CProjectReader::ReadLength(uint8_t first, bool* wide) {
  if (first < 0xFF) return first;
  const uint16_t w = ReadUInt16();
  if (w == 0xFFFE) {
    if (*wide) throw CProjectFormatError("a text has an invalid length");
    *wide = true;
    return ReadLength(ReadByte(), wide);
  }
  if (w < 0xFFFF) return w;
  return ReadUInt();
}

std::string CProjectReader::ReadText() {
  bool wide = false;
  const uint64_t n = ReadLength(ReadByte(), &wide);
  const std::string what = Format("a text of %llu characters", static_cast<unsigned long long>(n));
  if (!wide) {
    Require(n, 1, what);
    std::string text(static_cast<size_t>(n), '\0');
    Get(text.data(), text.size());
    return text;
  }
  Require(n, 2, what);
  std::vector<uint16_t> units(static_cast<size_t>(n));
  for (uint16_t& u : units) u = ReadUInt16();
  return Utf16ToUtf8(units);
}

bool CProjectReader::ReadMatrix(CMatrix<double>& m) {
  const int32_t rows = ReadInt();
  const int32_t cols = ReadInt();
  if (rows < 1 || cols < 1) return false;
  Require(uint64_t(rows) * uint64_t(cols), sizeof(double),
          Format("a matrix of %d x %d values", rows, cols));
  m.SetSize(rows, cols);
  if (m.GetRows() != rows) throw CProjectFormatError("there is not enough memory for its data");
  const uint64_t bytes = uint64_t(rows) * uint64_t(cols) * sizeof(double);
  if (bytes < kBlockwiseBytes) {
    for (int j = 1; j <= cols; ++j)
      for (int i = 1; i <= rows; ++i) m(i, j) = GetScalar<double>();
    return true;
  }
  ReadColumns(m);
  return true;
}

void CProjectReader::ReadColumns(CMatrix<double>& m) {
  const size_t rows = static_cast<size_t>(m.GetRows());
  const size_t cols = static_cast<size_t>(m.GetColumns());
  const uint64_t base = m_position;
  std::vector<double> staging(kStagingDoubles);
  const auto get = [&](size_t column, size_t firstRow, double* values, size_t n) {
    ReadBulk(base + (uint64_t(column) * rows + firstRow) * sizeof(double), values,
             n * sizeof(double));
    SwapDoubles(values, n);
  };
  const size_t blockRows = kStagingDoubles / cols;
  if (blockRows >= kMinBlockRows) {
    for (size_t i0 = 0; i0 < rows; i0 += blockRows) {
      const size_t nb = std::min(blockRows, rows - i0);
      for (size_t c = 0; c < cols; ++c) get(c, i0, staging.data() + c * nb, nb);
      for (size_t k = 0; k < nb; ++k) {
        double* row = m.Row(static_cast<int>(i0 + k + 1));
        for (size_t c = 0; c < cols; ++c) row[c] = staging[c * nb + k];
      }
    }
  } else {
    for (size_t c = 0; c < cols; ++c)
      for (size_t i0 = 0; i0 < rows; i0 += kStagingDoubles) {
        const size_t nb = std::min(kStagingDoubles, rows - i0);
        get(c, i0, staging.data(), nb);
        for (size_t k = 0; k < nb; ++k) m.Row(static_cast<int>(i0 + k + 1))[c] = staging[k];
      }
  }
  m_position = base + uint64_t(rows) * cols * sizeof(double);
}

template <class T>
bool CProjectReader::ReadVectorOf(CVector<T>& v) {
  const int32_t n = ReadInt();
  if (n < 1) return false;
  Require(uint64_t(n), sizeof(T), Format("a vector of %d values", n));
  v.SetSize(n);
  if (v.GetSize() != n) throw CProjectFormatError("there is not enough memory for its data");
  for (int i = 1; i <= n; ++i) v(i) = GetScalar<T>();
  return true;
}

bool CProjectReader::ReadVector(CVector<double>& v) {
  return ReadVectorOf(v);
}
bool CProjectReader::ReadVector(CVector<int>& v) {
  return ReadVectorOf(v);
}

}  // namespace olm
