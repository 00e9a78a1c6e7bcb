#pragma once
// COutputFile: the one way an output file is written.
//
// Open() refuses an existing target that is not a regular file (a device, a
// FIFO, a folder) and a target that is the same file (same device and inode)
// as any input of the command, then creates a temporary file beside the
// target.  Write() and WriteAt() check every write; Commit() flushes,
// optionally syncs, closes and renames the temporary file over the target.
// On any failure the temporary file is removed and the old file is kept.
// A link as target replaces the file it points to, not the link.
#include <cstdint>
#include <cstdio>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace olm {

class COutputFile {
 public:
  COutputFile() = default;
  ~COutputFile();
  COutputFile(const COutputFile&) = delete;
  COutputFile& operator=(const COutputFile&) = delete;

  // Checks the target against the inputs and creates the temporary file;
  // false (with Error() set) when refused or when it cannot be created.
  bool Open(const std::string& path, const std::vector<std::string>& inputs = {});
  bool IsOpen() const { return m_fd >= 0; }
  // Another input the target must not be (checked again by Commit()), for
  // inputs known only after Open(), such as included files.
  void AddInput(const std::string& input) { m_inputs.push_back(input); }
  // Appends bytes; false on failure, which is also remembered for Commit().
  bool Write(std::string_view bytes);
  // Writes bytes at an offset of the temporary file (for formats that patch
  // a header after the body); false on failure, remembered for Commit().
  bool WriteAt(uint64_t offset, const void* data, size_t n);
  // Renames into place; false when a write, the sync, the close or the rename
  // failed, or the target became unacceptable (the temporary file is then
  // removed and the target left as it was).
  bool Commit(bool sync = false);
  // Closes and removes the temporary file without touching the target.
  void Discard();

  // Why the last step failed, naming the path ("Cannot write ..."); empty
  // when nothing failed.
  const std::string& Error() const { return m_error; }

 private:
  bool Fail(const std::string& why);
  bool Fail(int error);

  std::string m_path;
  std::string m_target;
  std::string m_tempPath;
  std::vector<std::string> m_inputs;
  std::string m_error;
  int m_fd = -1;
  uint64_t m_end = 0;
};

// A stream buffer that hands what a std::ostream writes to an output file.
class COutputFileBuffer : public std::streambuf {
 public:
  explicit COutputFileBuffer(COutputFile& file);
  ~COutputFileBuffer() override;
  COutputFileBuffer(const COutputFileBuffer&) = delete;
  COutputFileBuffer& operator=(const COutputFileBuffer&) = delete;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  bool Drain();

  COutputFile& m_file;
  std::vector<char> m_buffer;
};

// Why path may not be written as an output of a command that reads inputs:
// an existing target that is not a regular file, or the same file as one of
// the inputs.  Empty when it may be written.
std::string OutputTargetProblem(const std::string& path, const std::vector<std::string>& inputs);

// Why path cannot be read as a text input: it exists but is not a regular
// file (a FIFO would block, a device such as /dev/zero never ends), or it is
// larger than maxBytes.  The message names the file; empty when it may be
// read (a missing file is left to the opener to report).
std::string InputFileProblem(const std::string& path, unsigned long long maxBytes);
// The size limit of the small text inputs (distribution and model files).
constexpr unsigned long long kMaxTextInputBytes = 64ull << 20;

// Writes a whole text through COutputFile; false on any failure, with the
// reason in *error when error is not null.
bool WriteTextFile(const std::string& path, std::string_view text,
                   const std::vector<std::string>& inputs = {}, std::string* error = nullptr);

// Makes a file-size limit an ordinary write error (EFBIG) instead of a signal
// that ends the process.
void IgnoreFileSizeSignal();

}  // namespace olm
