#include "editing/RawDataReader.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <span>
#include <thread>

#include "engine/EngineError.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

// Lines longer than this are refused rather than buffered without end.
constexpr size_t kMaxLineBytes = size_t(64) << 20;

// Reads the lines of a byte range [begin, end) of a file through a reused
// buffer.  A range starts at a line start; its last line runs to the first
// line break at or after `end` (or the end of the file).  The line break is
// '\n' (a "\r\n" pair included), or '\r' alone in files written that way.
class CLineReader {
 public:
  CLineReader(int fd, off_t begin, off_t end, char eol = '\n')
      : m_fd(fd), m_offset(begin), m_end(end), m_eol(eol) {
    m_buffer.resize(kChunk);
  }

  // Next line without its line break and without a trailing carriage return.
  bool Next(std::string_view& line) {
    for (;;) {
      const char* start = m_buffer.data() + m_pos;
      const size_t avail = m_len - m_pos;
      const void* nl = avail ? std::memchr(start, m_eol, avail) : nullptr;
      if (nl) {
        const size_t n = static_cast<size_t>(static_cast<const char*>(nl) - start);
        if (n > kMaxLineBytes) {
          m_tooLong = true;
          return false;
        }
        line = Trim(start, n);
        m_pos += n + 1;
        m_lineStartOffset += static_cast<off_t>(n + 1);
        return true;
      }
      if (avail > kMaxLineBytes) {
        m_tooLong = true;
        return false;
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
  // True when reading stopped at a line longer than kMaxLineBytes.
  bool TooLong() const { return m_tooLong; }

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
  char m_eol;
  off_t m_rangeStart = m_offset;
  off_t m_lineStartOffset = 0;  // bytes consumed from the range start
  std::vector<char> m_buffer;
  size_t m_pos = 0, m_len = 0;
  bool m_done = false;
  bool m_failed = false;
  bool m_tooLong = false;
};

// The line break of a file: '\n', or '\r' when its first mebibyte holds
// carriage returns and no line feed (old exports end lines with CR alone).
char LineBreakOf(int fd) {
  std::vector<char> buf(size_t(1) << 20);
  const ssize_t r = ::pread(fd, buf.data(), buf.size(), 0);
  if (r <= 0) return '\n';
  const size_t n = static_cast<size_t>(r);
  if (std::memchr(buf.data(), '\n', n)) return '\n';
  return std::memchr(buf.data(), '\r', n) ? '\r' : '\n';
}

// An input file opened for reading.  Only a regular file is accepted: a FIFO
// would block and a device such as /dev/zero never ends.  It is opened
// without blocking so that a FIFO is seen before anything waits on it.
class CFile {
 public:
  explicit CFile(const std::string& path)
      : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
    struct stat st {};
    if (m_fd >= 0 && (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))) {
      ::close(m_fd);
      m_fd = -1;
      m_notRegular = true;
    }
    if (m_fd >= 0) ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
  }
  ~CFile() {
    if (m_fd >= 0) ::close(m_fd);
  }
  int Fd() const { return m_fd; }
  bool NotRegular() const { return m_notRegular; }

 private:
  int m_fd;
  bool m_notRegular = false;
};

// What the header scan finds.
struct CHeader {
  std::string headings, units;
  int headerLinesFound = 0;
  off_t dataOffset = 0;  // where the first line after the header starts
  long long linesRead = 0;
  bool tooLong = false;  // line linesRead + 1 is longer than kMaxLineBytes
};

// A slice of the data region, counted and parsed by one thread in one pass.
// Its rows go into its region of the shared block while they fit there and
// into its own overflow beyond that; the walk over the slices then decides
// where the data end and which rows count.
struct CSlice {
  off_t begin = 0, end = 0;
  double* region = nullptr;  // the slice's part of the block: regionRows rows
  long long regionRows = 0;
  std::vector<double> overflow;  // rows beyond the region
  long long lines = 0;           // lines read
  long long rows = 0;            // data rows parsed
  long long firstRow = 0;        // matrix row (from 0) of the slice's first data row
  // The slice stops at the first of these (slice lines, from 1; 0 none):
  long long errorLine = 0;    // a line with a field that is not a number
  long long tooLongLine = 0;  // a line longer than kMaxLineBytes
  // A blank line followed by a line that does not start with a number ends
  // the data (exports that append a second table).
  long long blockLine = 0;
  // The slice's first data line does not start with a number: a block start
  // when a blank line and rows come before it (perhaps in earlier slices),
  // otherwise a malformed line.
  long long textLine = 0;
  bool blankBeforeText = false;  // a blank line precedes it within the slice
  bool endsBlank = false;        // a blank line follows the slice's last data row
  bool tooManyRows = false;      // more rows than a matrix holds
  bool outOfMemory = false;
};

bool IsDataLine(std::string_view line) {
  return !IsCommentLine(line) && !IsBlankLine(line);
}

CHeader ScanHeader(int fd, int headerLines, char eol) {
  CHeader h;
  CLineReader reader(fd, 0, LLONG_MAX, eol);
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
  h.tooLong = reader.TooLong();
  return h;
}

// Byte offset just after the first `lines` lines of the file.
off_t OffsetAfterLines(int fd, long long lines, char eol) {
  std::vector<char> buf(size_t(1) << 20);
  off_t offset = 0;
  long long seen = 0;
  while (seen < lines) {
    const ssize_t r = ::pread(fd, buf.data(), buf.size(), offset);
    if (r <= 0) return offset;
    const char* p = buf.data();
    const char* const e = p + r;
    while (seen < lines) {
      const void* nl = std::memchr(p, eol, static_cast<size_t>(e - p));
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
off_t NextLineStart(int fd, off_t pos, off_t size, char eol) {
  if (pos <= 0) return 0;
  char buf[4096];
  off_t at = pos - 1;  // the line break ending the previous line may sit just before pos
  while (at < size) {
    const ssize_t r = ::pread(fd, buf, sizeof buf, at);
    if (r <= 0) return size;
    const void* nl = std::memchr(buf, eol, static_cast<size_t>(r));
    if (nl) return at + (static_cast<const char*>(nl) - buf) + 1;
    at += r;
  }
  return size;
}

// A number field, with a decimal comma read as a point when asked for.
bool ParseField(std::string_view field, bool decimalComma, double& value) {
  if (!decimalComma || field.find(',') == std::string_view::npos) return ParseDecimal(field, value);
  char buf[64];
  if (field.size() > sizeof buf) return false;
  for (size_t i = 0; i < field.size(); ++i) buf[i] = field[i] == ',' ? '.' : field[i];
  return ParseDecimal(std::string_view(buf, field.size()), value);
}

bool StartsWithNumber(std::string_view line, const CFieldSplitter& splitter, bool decimalComma) {
  bool number = false;
  splitter.Split(line, [&](int, std::string_view field) {
    double v;
    number = field.empty() || ParseField(field, decimalComma, v);
    return false;
  });
  return number;
}

// Parses the fields of one line into row[0..columns): missing fields are 0,
// fields beyond the columns are ignored.  False at a field that is not a number.
bool ParseRow(std::string_view line, const CFieldSplitter& splitter, int columns, bool decimalComma,
              double* row) {
  std::fill(row, row + columns, 0.0);
  bool ok = true;
  splitter.Split(line, [&](int index, std::string_view field) {
    if (index > columns) return false;
    if (!field.empty() && !ParseField(field, decimalComma, row[index - 1])) {
      ok = false;
      return false;
    }
    return true;
  });
  return ok;
}

void ReadSlice(int fd, CSlice& s, const CFieldSplitter& splitter, int columns, bool decimalComma,
               long long maxRows, char eol) {
  CLineReader reader(fd, s.begin, s.end, eol);
  std::string_view line;
  bool afterBlank = false;
  std::vector<double> spare(static_cast<size_t>(columns));
  while (!reader.PastEnd() && reader.Next(line)) {
    ++s.lines;
    if (IsCommentLine(line)) continue;
    if (IsBlankLine(line)) {
      afterBlank = true;
      continue;
    }
    if (s.rows >= maxRows) {
      s.tooManyRows = true;
      return;
    }
    double* row = s.rows < s.regionRows ? s.region + s.rows * columns : spare.data();
    if (!ParseRow(line, splitter, columns, decimalComma, row)) {
      const bool text = !StartsWithNumber(line, splitter, decimalComma);
      if (text && s.rows == 0) {
        s.textLine = s.lines;
        s.blankBeforeText = afterBlank;
      } else if (text && afterBlank) {
        s.blockLine = s.lines;
      } else {
        s.errorLine = s.lines;
      }
      return;
    }
    if (row == spare.data()) {
      try {
        s.overflow.insert(s.overflow.end(), spare.begin(), spare.end());
      } catch (const std::bad_alloc&) {
        s.outOfMemory = true;
        return;
      }
    }
    afterBlank = false;
    ++s.rows;
  }
  if (reader.TooLong()) s.tooLongLine = s.lines + 1;
  s.endsBlank = afterBlank;
}

// Rows a data region of `bytes` bytes probably holds, from the line length
// of its first 64 KiB, with a margin: the block the slices parse into.
long long EstimateRows(int fd, off_t begin, off_t bytes, char eol) {
  if (bytes <= 0) return 0;
  std::vector<char> sample(static_cast<size_t>(std::min<off_t>(bytes, 64 << 10)));
  const ssize_t r = ::pread(fd, sample.data(), sample.size(), begin);
  if (r <= 0) return 0;
  const long long lines = std::count(sample.data(), sample.data() + r, eol);
  const double perLine = static_cast<double>(r) / static_cast<double>(std::max(lines, 1LL));
  return static_cast<long long>(static_cast<double>(bytes) / perLine * 1.2) + 64;
}

// Threads for a data region of the given size.
int SliceCount(off_t bytes, int forced) {
  if (forced > 0) return std::min(forced, 16);
  if (bytes < (off_t(4) << 20)) return 1;
  const unsigned hw = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<int>(std::min(4u, hw));
}

}  // namespace

bool ReadRawData(CReplicateDB& db, const CRawDataRequest& req) {
  // Every message names the file it is about.
  const auto fail = [&req](const std::string& text) {
    ShowMessage(req.path + ": " + text, MessageKind::Error);
    return false;
  };
  const auto tooLong = [&](long long line) {
    return fail(Format("line %lld is longer than %zu MiB; the file was not read.", line,
                       kMaxLineBytes >> 20));
  };
  CFile file(req.path);
  if (file.NotRegular()) return fail("not a regular file; the file was not read.");
  if (file.Fd() < 0) return fail(CEngineError::Text(kErrCannotOpenInput));
  if (req.columns < 2 || req.xColumn < 1 || req.xColumn > req.columns) return false;
  const int fd = file.Fd();
  const off_t size = ::lseek(fd, 0, SEEK_END);
  const int headerLines = std::max(req.headerLines, 0);
  const char eol = LineBreakOf(fd);

  CHeader header = ScanHeader(fd, headerLines, eol);
  if (header.tooLong) return tooLong(header.linesRead + 1);
  header.dataOffset = OffsetAfterLines(fd, header.linesRead, eol);

  // Cut the data region into slices at line starts; each gets the part of
  // the block that matches its share of the bytes.
  const off_t dataBytes = size - header.dataOffset;
  const int n = SliceCount(dataBytes, req.slices);
  const long long maxRows = INT_MAX / req.columns;
  // Never more rows than the bytes allow (a row takes at least one
  // character and a line break).
  const long long blockRows = std::min({EstimateRows(fd, header.dataOffset, dataBytes, eol),
                                        static_cast<long long>(dataBytes / 2 + 1), maxRows});
  detail::Block<double> block;
  if (blockRows > 0) {
    try {
      block = detail::AllocateBlock<double>(static_cast<size_t>(blockRows) * req.columns + 1);
    } catch (const std::bad_alloc&) {
      ReportMatrixError(kAllocationFailure);
      return false;
    }
  }
  std::vector<CSlice> slices(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) {
    const off_t cut = header.dataOffset + dataBytes * k / n;
    slices[static_cast<size_t>(k)].begin =
        k == 0 ? header.dataOffset : NextLineStart(fd, cut, size, eol);
  }
  const auto regionStart = [&](int k) {
    if (k >= n) return blockRows;
    const off_t at = slices[static_cast<size_t>(k)].begin - header.dataOffset;
    return dataBytes > 0
               ? static_cast<long long>(static_cast<double>(blockRows) * static_cast<double>(at) /
                                        static_cast<double>(dataBytes))
               : 0LL;
  };
  for (int k = 0; k < n; ++k) {
    CSlice& s = slices[static_cast<size_t>(k)];
    s.end = k + 1 < n ? slices[static_cast<size_t>(k) + 1].begin : size;
    s.region =
        block ? block.get() + 1 + static_cast<size_t>(regionStart(k)) * req.columns : nullptr;
    s.regionRows = block ? std::max(0LL, regionStart(k + 1) - regionStart(k)) : 0;
  }
  auto runAll = [&](auto&& work) {
    std::vector<std::thread> threads;
    for (int k = 1; k < n; ++k)
      threads.emplace_back(work, std::ref(slices[static_cast<size_t>(k)]));
    work(slices[0]);
    for (auto& t : threads) t.join();
  };
  const CFieldSplitter splitter(req.delimiters);
  runAll([&](CSlice& s) {
    // An exception must not leave a thread: a failed allocation is reported below.
    try {
      ReadSlice(fd, s, splitter, req.columns, req.decimalComma, maxRows, eol);
    } catch (const std::bad_alloc&) {
      s.outOfMemory = true;
    }
  });

  // Walk the slices in order: where the data end, and the first bad line.
  long long rows = 0, line = header.linesRead + 1, stopLine = LLONG_MAX, errorLine = 0;
  bool afterBlank = false, tooManyRows = false;
  int used = 0;  // slices whose rows count
  for (CSlice& s : slices) {
    s.firstRow = rows;
    ++used;
    if (s.outOfMemory) {
      ReportMatrixError(kAllocationFailure);
      return false;
    }
    if (s.tooLongLine > 0) return tooLong(line + s.tooLongLine - 1);
    rows += s.rows;
    tooManyRows = tooManyRows || s.tooManyRows || rows > maxRows;
    if (s.textLine > 0) {
      if ((afterBlank || s.blankBeforeText) && rows > 0)
        stopLine = line + s.textLine - 1;
      else
        errorLine = line + s.textLine - 1;
      break;
    }
    if (s.blockLine > 0 || s.errorLine > 0) {
      (s.blockLine > 0 ? stopLine : errorLine) = line + std::max(s.blockLine, s.errorLine) - 1;
      break;
    }
    if (s.tooManyRows) break;
    line += s.lines;
    afterBlank = s.endsBlank || (afterBlank && s.rows == 0);
  }
  // Header lines all present but no data line: too few points.  Header lines
  // missing are reported below, once the replicate has been counted.  A bad
  // line counts as a row here; it is reported below too.
  const bool headerShort = header.headerLinesFound < headerLines;
  if (!headerShort && rows == 0 && errorLine == 0)
    return fail(CEngineError::Text(kErrTooFewPoints));
  if (tooManyRows) return fail(CEngineError::Text(kErrInvalidInput));

  const int r = db.AddReplicate();
  if (r == 0) return fail(CEngineError::Text(kErrDataSetCount));
  if (headerShort) {
    db.RemoveLastReplicate();
    return fail(CEngineError::Text(kErrInvalidInput));
  }
  CReplicate& rep = db.Replicate(r);
  rep.columnCount = req.columns;
  rep.pointCount = static_cast<int>(rows);
  rep.ResizeColumnTexts(req.columns);

  std::string tooLongText;
  auto storeTexts = [&](const std::string& text, CVector<std::string>& out) {
    splitter.Split(text, [&](int index, std::string_view field) {
      if (index > req.columns) return false;
      if (field.size() > static_cast<size_t>(kMaxColumnText)) {
        if (tooLongText.empty()) tooLongText.assign(field);
        return false;
      }
      out(index).assign(field);
      return true;
    });
  };
  if (headerLines >= 2) storeTexts(header.headings, rep.headings);
  if (headerLines >= 1) storeTexts(header.units, rep.units);
  if (!tooLongText.empty()) {
    db.RemoveLastReplicate();
    // Quoted up to a little beyond the limit: the text may be a whole line.
    if (tooLongText.size() > static_cast<size_t>(kMaxColumnText) + 10)
      tooLongText = tooLongText.substr(0, static_cast<size_t>(kMaxColumnText) + 10) + "...";
    return fail(Format("the column heading or unit \"%s\" is longer than %d characters.",
                       tooLongText.c_str(), kMaxColumnText));
  }
  if (errorLine > 0) {
    db.RemoveLastReplicate();
    return fail(CEngineError::Text(kErrInvalidInput,
                                   static_cast<int>(std::min<long long>(errorLine, INT_MAX))));
  }

  // The rows into one matrix.  Each slice's region begins at or after the
  // row its data take, so moving the regions down in order closes the gaps;
  // a slice that overflowed its region needs a fresh matrix instead.
  const size_t cols = static_cast<size_t>(req.columns);
  const auto slicesUsed = std::span(slices).first(static_cast<size_t>(used));
  const bool fits = std::all_of(slicesUsed.begin(), slicesUsed.end(),
                                [](const CSlice& s) { return s.overflow.empty(); });
  if (fits) {
    for (const CSlice& s : slicesUsed) {
      double* to = block.get() + 1 + static_cast<size_t>(s.firstRow) * cols;
      if (s.rows > 0 && to != s.region)
        std::memmove(to, s.region, static_cast<size_t>(s.rows) * cols * sizeof(double));
    }
    rep.raw.Adopt(std::move(block), static_cast<int>(rows), req.columns);
  } else {
    rep.raw.SetSize(static_cast<int>(rows), req.columns);
    if (rep.raw.GetRows() != rows) {  // allocation failed (already reported)
      db.RemoveLastReplicate();
      return false;
    }
    for (const CSlice& s : slicesUsed) {
      const long long inRegion = std::min(s.rows, s.regionRows);
      double* to = s.rows > 0 ? rep.raw.Row(static_cast<int>(s.firstRow) + 1) : nullptr;
      if (inRegion > 0)
        std::memcpy(to, s.region, static_cast<size_t>(inRegion) * cols * sizeof(double));
      if (!s.overflow.empty())
        std::memcpy(to + static_cast<size_t>(inRegion) * cols, s.overflow.data(),
                    static_cast<size_t>(s.rows - inRegion) * cols * sizeof(double));
    }
  }

  if (stopLine != LLONG_MAX)
    ShowMessage(req.path + ": " +
                Format("Another block starts on line %lld; it was not read.", stopLine));
  rep.SetTitle(req.title);
  rep.SetXYColumns(req.xColumn, req.yColumn);
  if (req.updateExtents) db.WidenExtents(r);
  return true;
}

std::vector<std::string> PreviewLines(const std::string& path, int count) {
  std::vector<std::string> out;
  CFile file(path);
  if (file.Fd() < 0) return out;
  CLineReader reader(file.Fd(), 0, LLONG_MAX, LineBreakOf(file.Fd()));
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
