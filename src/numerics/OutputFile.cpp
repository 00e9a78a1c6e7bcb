#include "numerics/OutputFile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "numerics/UserInterface.hpp"

namespace olm {

namespace fs = std::filesystem;

namespace {

// The file a path names, following links: false when it does not exist.
bool StatOf(const std::string& path, struct stat& st) {
  return ::stat(path.c_str(), &st) == 0;
}

// A link is replaced through: the file it points to is the target.
std::string ResolveTarget(const std::string& path) {
  std::error_code ec;
  if (fs::is_symlink(path, ec)) {
    const fs::path resolved = fs::weakly_canonical(path, ec);
    if (!ec) return resolved.string();
  }
  return path;
}

// The permissions the written file gets: those of the file it replaces, or
// what a newly created file would get.
mode_t WrittenFileMode(const std::string& target) {
  struct stat st {};
  if (StatOf(target, st)) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::string OutputTargetProblem(const std::string& path, const std::vector<std::string>& inputs) {
  if (path.empty()) return "Cannot write a file without a name.";
  struct stat target {};
  if (!StatOf(path, target)) return {};
  if (!S_ISREG(target.st_mode))
    return Format("Cannot write %s: it is not a regular file.", path.c_str());
  for (const std::string& input : inputs) {
    struct stat in {};
    if (StatOf(input, in) && in.st_dev == target.st_dev && in.st_ino == target.st_ino)
      return input == path
                 ? Format("Cannot write %s: it is an input of this command.", path.c_str())
                 : Format("Cannot write %s: it is the same file as the input %s.", path.c_str(),
                          input.c_str());
  }
  return {};
}

std::string InputFileProblem(const std::string& path, unsigned long long maxBytes) {
  struct stat st {};
  if (!StatOf(path, st)) return {};
  if (!S_ISREG(st.st_mode))
    return Format("%s: not a regular file; the file was not read.", path.c_str());
  if (static_cast<unsigned long long>(st.st_size) > maxBytes)
    return Format("%s: the file is larger than %llu MiB; it was not read.", path.c_str(),
                  maxBytes >> 20);
  return {};
}

COutputFile::~COutputFile() {
  Discard();
}

bool COutputFile::Fail(const std::string& why) {
  if (m_error.empty()) m_error = why;
  return false;
}

bool COutputFile::Fail(int error) {
  return Fail(Format("Cannot write %s: %s.", m_path.c_str(), std::strerror(error)));
}

bool COutputFile::Open(const std::string& path, const std::vector<std::string>& inputs) {
  Discard();
  m_path = path;
  m_inputs = inputs;
  m_error.clear();
  m_end = 0;
  const std::string problem = OutputTargetProblem(path, inputs);
  if (!problem.empty()) return Fail(problem);
  m_target = ResolveTarget(path);

  fs::path target(m_target);
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  const std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  m_fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (m_fd < 0) return Fail(errno);
  m_tempPath.assign(name.data());
  if (::fchmod(m_fd, WrittenFileMode(m_target)) != 0) {
    const int error = errno;
    Discard();
    return Fail(error);
  }
  return true;
}

bool COutputFile::Write(std::string_view bytes) {
  if (!WriteAt(m_end, bytes.data(), bytes.size())) return false;
  return true;
}

bool COutputFile::WriteAt(uint64_t offset, const void* data, size_t n) {
  if (m_fd < 0) return Fail(m_error.empty() ? Format("Cannot write %s.", m_path.c_str()) : m_error);
  if (!m_error.empty()) return false;
  const char* p = static_cast<const char*>(data);
  uint64_t at = offset;
  size_t left = n;
  while (left > 0) {
    const ssize_t k = ::pwrite(m_fd, p, left, static_cast<off_t>(at));
    if (k < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    if (k == 0) return Fail(ENOSPC);
    p += k;
    at += static_cast<uint64_t>(k);
    left -= static_cast<size_t>(k);
  }
  if (at > m_end) m_end = at;
  return true;
}

bool COutputFile::Commit(bool sync) {
  if (m_fd < 0) return Fail(m_error.empty() ? Format("Cannot write %s.", m_path.c_str()) : m_error);
  bool ok = m_error.empty();
  if (ok && sync && ::fsync(m_fd) != 0) ok = Fail(errno);
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0 && ok) ok = Fail(errno);
  if (ok) {
    // The target may have been replaced while the file was written.
    const std::string problem = OutputTargetProblem(m_path, m_inputs);
    if (!problem.empty()) ok = Fail(problem);
  }
  if (ok && ::rename(m_tempPath.c_str(), m_target.c_str()) != 0) ok = Fail(errno);
  if (!ok) ::unlink(m_tempPath.c_str());
  m_tempPath.clear();
  return ok;
}

void COutputFile::Discard() {
  if (m_fd < 0) return;
  ::close(m_fd);
  m_fd = -1;
  ::unlink(m_tempPath.c_str());
  m_tempPath.clear();
}

COutputFileBuffer::COutputFileBuffer(COutputFile& file) : m_file(file), m_buffer(64 * 1024) {
  setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

COutputFileBuffer::~COutputFileBuffer() {
  Drain();
}

bool COutputFileBuffer::Drain() {
  const std::ptrdiff_t n = pptr() - pbase();
  setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
  return n == 0 || m_file.Write(std::string_view(m_buffer.data(), static_cast<size_t>(n)));
}

COutputFileBuffer::int_type COutputFileBuffer::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize COutputFileBuffer::xsputn(const char* s, std::streamsize n) {
  if (n <= epptr() - pptr()) {
    std::copy(s, s + n, pptr());
    pbump(static_cast<int>(n));
    return n;
  }
  if (!Drain() || !m_file.Write(std::string_view(s, static_cast<size_t>(n)))) return 0;
  return n;
}

int COutputFileBuffer::sync() {
  return Drain() ? 0 : -1;
}

bool WriteTextFile(const std::string& path, std::string_view text,
                   const std::vector<std::string>& inputs, std::string* error) {
  COutputFile file;
  const bool ok = file.Open(path, inputs) && file.Write(text) && file.Commit();
  if (!ok && error) *error = file.Error();
  return ok;
}

void IgnoreFileSizeSignal() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace olm
