#pragma once
// COutputFile: a text file written beside its target and renamed into place.
//
// Open() creates "<path>.olmtmp"; Write() appends to it; Commit() flushes,
// closes and renames it over the target.  A file that is never committed (or
// whose writing failed) is removed, so an older file of the same name is
// never destroyed by a failed write.
#include <cstdio>
#include <string>
#include <string_view>

namespace olm {

class COutputFile {
 public:
  COutputFile() = default;
  ~COutputFile();
  COutputFile(const COutputFile&) = delete;
  COutputFile& operator=(const COutputFile&) = delete;

  // Creates the temporary file; false when it cannot be created.
  bool Open(const std::string& path);
  bool IsOpen() const { return m_file != nullptr; }
  // Appends text; a failure is remembered and reported by Commit().
  void Write(std::string_view text);
  // Closes and renames into place; false when any write, the close or the
  // rename failed (the temporary file is then removed).
  bool Commit();
  // Closes and removes the temporary file without touching the target.
  void Discard();

 private:
  std::string m_path;
  std::string m_tempPath;
  std::FILE* m_file = nullptr;
  bool m_failed = false;
};

// Writes a whole text through COutputFile; false on any failure.
bool WriteTextFile(const std::string& path, std::string_view text);

}  // namespace olm
