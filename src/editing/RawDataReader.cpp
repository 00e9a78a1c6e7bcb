#include "editing/RawDataReader.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <thread>

#include "engine/EngineError.hpp"

namespace olm {

namespace {

// Reads the lines of a byte range [begin, end) of a file through a reused
// buffer.  A range starts at a line start; its last line runs to the first
// line break at or after `end` (or the end of the file).
class CLineReader {
 public:
  CLineReader(int fd, off_t begin, off_t end) : m_fd(fd), m_offset(begin), m_end(end) {
    m_buffer.resize(kChunk);
  }

  // Next line without its line break and without a trailing carriage return.
  bool Next(std::string_view& line) {
    for (;;) {
      const char* start = m_buffer.data() + m_pos;
      const size_t avail = m_len - m_pos;
      const void* nl = avail ? std::memchr(start, '\n', avail) : nullptr;
      if (nl) {
        const size_t n = static_cast<size_t>(static_cast<const char*>(nl) - start);
        line = Trim(start, n);
        m_pos += n + 1;
        m_lineStartOffset += static_cast<off_t>(n + 1);
        return true;
      }
      if (m_done || !Fill()) {
        if (m_pos == m_len) return false;
        line = Trim(start, m_len - m_pos);  // last line without a line break
        m_lineStartOffset += static_cast<off_t>(m_len - m_pos);
        m_pos = m_len;
        return true;
      }
    }
  }

  // True once the next line would start at or beyond the range end.
  bool PastEnd() const { return m_rangeStart + m_lineStartOffset >= m_end; }
  bool Failed() const { return m_failed; }

 private:
  static constexpr size_t kChunk = size_t(1) << 20;

  static std::string_view Trim(const char* p, size_t n) {
    if (n && p[n - 1] == '\r') --n;
    return std::string_view(p, n);
  }

  // Moves the unread tail to the front and reads more; false at end of file.
  bool Fill() {
    if (m_pos > 0) {
      std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_len - m_pos);
      m_len -= m_pos;
      m_pos = 0;
    }
    if (m_buffer.size() - m_len < kChunk / 2) m_buffer.resize(m_buffer.size() * 2);
    const ssize_t r = ::pread(m_fd, m_buffer.data() + m_len, m_buffer.size() - m_len, m_offset);
    if (r < 0) m_failed = true;
    if (r <= 0) {
      m_done = true;
      return false;
    }
    m_offset += r;
    m_len += static_cast<size_t>(r);
    return true;
  }

  int m_fd;
  off_t m_offset;  // file offset of the next read
  off_t m_end;
  off_t m_rangeStart = m_offset;
  off_t m_lineStartOffset = 0;  // bytes consumed from the range start
  std::vector<char> m_buffer;
  size_t m_pos = 0, m_len = 0;
  bool m_done = false;
  bool m_failed = false;
};

class CFile {
 public:
  explicit CFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~CFile() {
    if (m_fd >= 0) ::close(m_fd);
  }
  int Fd() const { return m_fd; }

 private:
  int m_fd;
};

// What the header scan finds.
struct CHeader {
  std::string headings, units;
  int headerLinesFound = 0;
  off_t dataOffset = 0;  // where the first line after the header starts
  long long linesRead = 0;
};

// A slice of the data region read by one thread.
struct CSlice {
  off_t begin = 0, end = 0;
  long long firstLine = 0;  // file line number of the slice's first line
  long long lines = 0;      // all lines in the slice
  long long rows = 0;       // data rows in the slice
  long long firstRow = 0;   // matrix row of the slice's first data row
  long long errorLine = 0;  // first line with a field that is not a number
};

bool IsDataLine(std::string_view line) { return !IsCommentLine(line) && !IsBlankLine(line); }

CHeader ScanHeader(int fd, int headerLines) {
  CHeader h;
  CLineReader reader(fd, 0, LLONG_MAX);
  std::string_view line;
  bool first = true;
  while (h.headerLinesFound < headerLines && reader.Next(line)) {
    ++h.linesRead;
    if (first) {
      first = false;
      if (line.size() >= 3 && std::memcmp(line.data(), "\xEF\xBB\xBF", 3) == 0)
        line.remove_prefix(3);  // byte-order mark
    }
    if (!IsDataLine(line)) continue;
    ++h.headerLinesFound;
    if (h.headerLinesFound == headerLines - 1) h.headings.assign(line);
    if (h.headerLinesFound == headerLines) h.units.assign(line);
  }
  return h;
}

// Byte offset just after the first `lines` lines of the file.
off_t OffsetAfterLines(int fd, long long lines) {
  std::vector<char> buf(size_t(1) << 20);
  off_t offset = 0;
  long long seen = 0;
  while (seen < lines) {
    const ssize_t r = ::pread(fd, buf.data(), buf.size(), offset);
    if (r <= 0) return offset;
    const char* p = buf.data();
    const char* const e = p + r;
    while (seen < lines) {
      const void* nl = std::memchr(p, '\n', static_cast<size_t>(e - p));
      if (!nl) break;
      p = static_cast<const char*>(nl) + 1;
      ++seen;
    }
    offset += seen < lines ? r : static_cast<off_t>(p - buf.data());
    if (seen == lines) break;
  }
  return offset;
}

// First line start at or after `pos`.
off_t NextLineStart(int fd, off_t pos, off_t size) {
  if (pos <= 0) return 0;
  char buf[4096];
  off_t at = pos - 1;  // the line break ending the previous line may sit just before pos
  while (at < size) {
    const ssize_t r = ::pread(fd, buf, sizeof buf, at);
    if (r <= 0) return size;
    const void* nl = std::memchr(buf, '\n', static_cast<size_t>(r));
    if (nl) return at + (static_cast<const char*>(nl) - buf) + 1;
    at += r;
  }
  return size;
}

void CountSlice(int fd, CSlice& s) {
  CLineReader reader(fd, s.begin, s.end);
  std::string_view line;
  while (!reader.PastEnd() && reader.Next(line)) {
    ++s.lines;
    if (IsDataLine(line)) ++s.rows;
  }
}

void ParseSlice(int fd, CSlice& s, const CFieldSplitter& splitter, int columns,
                CMatrix<double>& raw) {
  CLineReader reader(fd, s.begin, s.end);
  std::string_view line;
  long long lineNo = s.firstLine - 1;
  long long row = s.firstRow;
  while (!reader.PastEnd() && reader.Next(line)) {
    ++lineNo;
    if (!IsDataLine(line)) continue;
    double* dst = raw.Row(static_cast<int>(row));
    std::fill(dst, dst + columns, 0.0);
    bool ok = true;
    splitter.Split(line, [&](int index, std::string_view field) {
      if (index > columns) return false;
      if (!field.empty() && !ParseDecimal(field, dst[index - 1])) {
        ok = false;
        return false;
      }
      return true;
    });
    if (!ok) {
      s.errorLine = lineNo;
      return;
    }
    ++row;
  }
}

// Threads for a data region of the given size.
int SliceCount(off_t bytes) {
  if (bytes < (off_t(4) << 20)) return 1;
  const unsigned hw = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<int>(std::min(4u, hw));
}

}  // namespace

bool ReadRawData(CReplicateDB& db, const CRawDataRequest& req) {
  CFile file(req.path);
  if (file.Fd() < 0) {
    CEngineError::Report(kErrCannotOpenInput);
    return false;
  }
  if (req.columns < 2 || req.xColumn < 1 || req.xColumn > req.columns) return false;
  const int fd = file.Fd();
  const off_t size = ::lseek(fd, 0, SEEK_END);
  const int headerLines = std::max(req.headerLines, 0);

  CHeader header = ScanHeader(fd, headerLines);
  header.dataOffset = OffsetAfterLines(fd, header.linesRead);

  // Cut the data region into slices at line starts and count their rows.
  const int n = SliceCount(size - header.dataOffset);
  std::vector<CSlice> slices(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) {
    const off_t cut = header.dataOffset + (size - header.dataOffset) * k / n;
    slices[static_cast<size_t>(k)].begin = k == 0 ? header.dataOffset : NextLineStart(fd, cut, size);
  }
  for (int k = 0; k < n; ++k)
    slices[static_cast<size_t>(k)].end = k + 1 < n ? slices[static_cast<size_t>(k) + 1].begin : size;
  auto runAll = [&](auto&& work) {
    std::vector<std::thread> threads;
    for (int k = 1; k < n; ++k) threads.emplace_back(work, std::ref(slices[static_cast<size_t>(k)]));
    work(slices[0]);
    for (auto& t : threads) t.join();
  };
  runAll([fd](CSlice& s) { CountSlice(fd, s); });

  long long rows = 0, line = header.linesRead + 1;
  for (CSlice& s : slices) {
    s.firstRow = rows + 1;
    s.firstLine = line;
    rows += s.rows;
    line += s.lines;
  }
  // Header lines all present but no data line: too few points.  Header lines
  // missing are reported below, once the replicate has been counted.
  const bool headerShort = header.headerLinesFound < headerLines;
  if (!headerShort && rows == 0) {
    CEngineError::Report(kErrTooFewPoints);
    return false;
  }
  if (rows > INT_MAX / std::max(req.columns, 1)) {
    CEngineError::Report(kErrInvalidInput);
    return false;
  }

  const int r = db.AddReplicate();
  if (r == 0) {
    CEngineError::Report(kErrDataSetCount);
    return false;
  }
  if (headerShort) {
    db.RemoveLastReplicate();
    CEngineError::Report(kErrInvalidInput);
    return false;
  }
  CReplicate& rep = db.Replicate(r);
  rep.columnCount = req.columns;
  rep.pointCount = static_cast<int>(rows);
  rep.ResizeColumnTexts(req.columns);

  const CFieldSplitter splitter(req.delimiters);
  bool tooLong = false;
  auto storeTexts = [&](const std::string& text, CVector<std::string>& out) {
    splitter.Split(text, [&](int index, std::string_view field) {
      if (index > req.columns) return false;
      if (field.size() > static_cast<size_t>(kMaxColumnText)) {
        tooLong = true;
        return false;
      }
      out(index).assign(field);
      return true;
    });
  };
  if (headerLines >= 2) storeTexts(header.headings, rep.headings);
  if (headerLines >= 1) storeTexts(header.units, rep.units);
  if (tooLong) {
    db.RemoveLastReplicate();
    CEngineError::Report(kErrTitleTooLong);
    return false;
  }

  rep.raw.SetSize(static_cast<int>(rows), req.columns);
  if (rep.raw.GetRows() != rows) {  // allocation failed (already reported)
    db.RemoveLastReplicate();
    return false;
  }
  runAll([&](CSlice& s) { ParseSlice(fd, s, splitter, req.columns, rep.raw); });
  for (const CSlice& s : slices) {
    if (s.errorLine > 0) {
      db.RemoveLastReplicate();
      CEngineError::Report(kErrInvalidInput, static_cast<int>(std::min<long long>(s.errorLine, INT_MAX)));
      return false;
    }
  }

  rep.SetTitle(req.title);
  rep.SetXYColumns(req.xColumn, req.yColumn);
  if (req.updateExtents && req.yColumn >= 1 && req.yColumn <= req.columns) {
    double xMin = rep.raw(1, req.xColumn), xMax = xMin;
    double yMin = rep.raw(1, req.yColumn), yMax = yMin;
    for (int i = 2; i <= rep.raw.GetRows(); ++i) {
      const double* row = rep.raw.Row(i);
      xMin = std::min(xMin, row[req.xColumn - 1]);
      xMax = std::max(xMax, row[req.xColumn - 1]);
      yMin = std::min(yMin, row[req.yColumn - 1]);
      yMax = std::max(yMax, row[req.yColumn - 1]);
    }
    db.WidenExtents(xMin, xMax, yMin, yMax);
  }
  return true;
}

std::vector<std::string> PreviewLines(const std::string& path, int count) {
  std::vector<std::string> out;
  CFile file(path);
  if (file.Fd() < 0) return out;
  CLineReader reader(file.Fd(), 0, LLONG_MAX);
  std::string_view line;
  while (static_cast<int>(out.size()) < count && reader.Next(line)) {
    std::string shown;
    for (char c : line.substr(0, 256)) {
      if (c == '\t')
        shown += "   ";
      else
        shown += c;
    }
    out.push_back(std::move(shown));
  }
  return out;
}

}  // namespace olm
